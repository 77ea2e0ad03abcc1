// The exhaustive, DC and PFNET networks on the speed test's random matrices.
#include <benchmark/benchmark.h>

#include <random>

#include "pathfinder/dc_network.h"
#include "pathfinder/exhaustive.h"
#include "pathfinder/pfnet.h"
#include "verify/speed_test.h"

namespace {

// Whole distances 1 .. max + 1, as the speed test draws them; a small max
// gives many ties.
qv::DistanceMatrix randomMatrix(int n, std::int32_t max) {
    std::mt19937_64 engine(static_cast<std::uint64_t>(n) * 1000 + static_cast<std::uint64_t>(max));
    const qv::UniformSource uniform = [&engine] {
        return static_cast<double>(engine() >> 11) * 0x1.0p-53;
    };
    return qv::RandomSymmetricMatrix({static_cast<double>(n), n, max}, uniform);
}

template <qv::LinkMatrix (*Network)(const qv::DistanceMatrix&, int, qv::Currency)>
void network(benchmark::State& st) {
    const int n = static_cast<int>(st.range(0));
    const auto max = static_cast<std::int32_t>(st.range(1));
    const qv::DistanceMatrix d = randomMatrix(n, max);
    const qv::Currency unlinked = qv::Currency::fromInt(max + 2);
    for (auto _ : st) {
        qv::LinkMatrix links = Network(d, n, unlinked);
        benchmark::DoNotOptimize(links);
    }
}

void BM_Exhaustive(benchmark::State& st) {
    network<qv::ExhaustivePathFinder>(st);
}
void BM_DC(benchmark::State& st) {
    network<qv::DCNetwork>(st);
}

// Arguments: n, max, r (0 for infinity, 1), q (0 for n - 1).
void BM_Pfnet(benchmark::State& st) {
    const int n = static_cast<int>(st.range(0));
    const qv::DistanceMatrix d = randomMatrix(n, static_cast<std::int32_t>(st.range(1)));
    const qv::PfnetParams params{st.range(2) == 0 ? qv::PfnetR::Infinity : qv::PfnetR::One,
                                 static_cast<int>(st.range(3))};
    qv::LinkMatrix links;
    for (auto _ : st) {
        qv::PfnetNetworkInto(d, n, params, links);
        benchmark::DoNotOptimize(links);
    }
    int count = 0;
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            count += links(i, j);
    st.counters["links"] = count;
}

}  // namespace

BENCHMARK(BM_Pfnet)
    ->ArgNames({"n", "max", "r", "q"})
    ->ArgsProduct({{20, 181, 2000}, {9, 100}, {0, 1}, {0}})
    ->Args({181, 100, 0, 3})
    ->Args({181, 100, 1, 3})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Exhaustive)->ArgsProduct({{13, 20, 60, 181}, {9, 100}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DC)->ArgsProduct({{60, 181}, {9, 100}})->Unit(benchmark::kMillisecond);
