// The analysis run on generated classes: the standard network, every
// student's network, comparison and row text, on one core.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>
#include <tuple>

#include "analysis/run.h"
#include "analysis/synthetic_class.h"
#include "data/loaders.h"

namespace {

using Shape = std::tuple<std::int32_t, std::int32_t, std::int32_t>;  // students, concepts, items

qv::ClassPtr loadGenerated(const Shape& shape) {
    const auto [students, concepts, items] = shape;
    const qv::SyntheticClassFiles f = qv::makeSyntheticClass({students, concepts, items, 2024});
    qv::ClassPtr s;
    if (!qv::loadClass(s, qv::ClassText{f.conceptFile, f.itemConceptFile, f.studentFile}))
        std::abort();
    return s;
}

// One loaded class per shape, shared by the benchmarks.
const qv::ClassPtr& generatedClass(const Shape& shape) {
    static std::map<Shape, qv::ClassPtr> classes;
    auto it = classes.find(shape);
    if (it == classes.end()) it = classes.emplace(shape, loadGenerated(shape)).first;
    return it->second;
}

void run(benchmark::State& st, qv::RunMethod method) {
    const Shape shape{static_cast<std::int32_t>(st.range(0)),
                      static_cast<std::int32_t>(st.range(1)),
                      static_cast<std::int32_t>(st.range(2))};
    const qv::ClassPtr& state = generatedClass(shape);
    qv::RunOptions options;
    options.method = method;
    options.keepStudentMatrices = false;
    options.threads = 1;  // a rate per core
    std::size_t bytes = 0;
    for (auto _ : st) {
        auto run = qv::runAnalysis(state, options);
        if (!run) std::abort();
        bytes = run->text.size();
        benchmark::DoNotOptimize(run->text.data());
    }
    st.counters["students/s"] = benchmark::Counter(static_cast<double>(std::get<0>(shape)),
                                                   benchmark::Counter::kIsIterationInvariantRate);
    st.counters["text bytes"] = static_cast<double>(bytes);
}

void BM_TriangleRun(benchmark::State& st) {
    run(st, qv::RunMethod::Triangle);
}
void BM_PathSearchRun(benchmark::State& st) {
    run(st, qv::RunMethod::PathSearch);
}
void BM_PfnetRun(benchmark::State& st) {
    run(st, qv::RunMethod::pfnet({}));
}
void BM_PfnetR1Run(benchmark::State& st) {
    run(st, qv::RunMethod::pfnet({qv::PfnetR::One, 0}));
}

// Students, concepts, items: the per-core rows of the performance table
// (20 x 40, 60 x 200, 181 x 1000), each class large enough for a steady rate.
void shapes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"students", "concepts", "items"});
    b->Args({100000, 20, 40});
    b->Args({10000, 60, 200});
    b->Args({200, 181, 1000});
    b->Unit(benchmark::kMillisecond);
    b->UseRealTime();
}

}  // namespace

BENCHMARK(BM_TriangleRun)->Apply(shapes);
BENCHMARK(BM_PathSearchRun)->Apply(shapes);
BENCHMARK(BM_PfnetRun)->Apply(shapes);
BENCHMARK(BM_PfnetR1Run)->Apply(shapes);

BENCHMARK_MAIN();
