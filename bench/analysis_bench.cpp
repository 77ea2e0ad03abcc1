// The analysis run on generated classes of 20 concepts and 40 items: the
// standard network, every student's network, comparison and row text.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>

#include "analysis/run.h"
#include "analysis/synthetic_class.h"
#include "data/loaders.h"

namespace {

qv::AppState loadGenerated(std::int32_t students) {
    const qv::SyntheticClassFiles f = qv::makeSyntheticClass({students, 20, 40, 2024});
    qv::AppState s;
    if (!qv::loadClass(s, qv::ClassText{f.conceptFile, f.itemConceptFile, f.studentFile}))
        std::abort();
    return s;
}

// One loaded class per size, shared by the benchmarks.
qv::AppState& generatedClass(std::int32_t students) {
    static std::map<std::int32_t, qv::AppState> classes;
    auto it = classes.find(students);
    if (it == classes.end()) it = classes.emplace(students, loadGenerated(students)).first;
    return it->second;
}

void run(benchmark::State& st, qv::RunMethod method) {
    const auto students = static_cast<std::int32_t>(st.range(0));
    qv::AppState& state = generatedClass(students);
    qv::RunOptions options;
    options.method = method;
    options.keepStudentMatrices = false;
    std::size_t bytes = 0;
    for (auto _ : st) {
        auto text = qv::runAnalysis(state, options);
        if (!text) std::abort();
        bytes = text->size();
        benchmark::DoNotOptimize(text->data());
    }
    st.counters["students/s"] = benchmark::Counter(static_cast<double>(students),
                                                   benchmark::Counter::kIsIterationInvariantRate);
    st.counters["text bytes"] = static_cast<double>(bytes);
}

void BM_TriangleRun(benchmark::State& st) {
    run(st, qv::RunMethod::Triangle);
}
void BM_PathSearchRun(benchmark::State& st) {
    run(st, qv::RunMethod::PathSearch);
}

}  // namespace

BENCHMARK(BM_TriangleRun)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PathSearchRun)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
