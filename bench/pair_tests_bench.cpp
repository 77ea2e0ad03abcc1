// Pair permutation tests of two groups of random networks on 20 concepts
// (190 pairs): a class's top and bottom 27 % and two groups of a thousand.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "stats/pair_tests.h"

namespace {

std::vector<qv::LinkRows> randomNetworks(int students, int n, std::uint32_t seed) {
    std::mt19937 gen(seed);
    std::vector<qv::LinkRows> out;
    for (int s = 0; s < students; ++s) {
        qv::LinkMatrix m;
        m.resizeSquare(n);
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j)
                if (gen() % 4 == 0) m(i, j) = m(j, i) = 1;
        out.push_back(qv::linkRows(m, n));
    }
    return out;
}

qv::Networks pointers(const std::vector<qv::LinkRows>& rows) {
    qv::Networks out;
    for (const qv::LinkRows& r : rows)
        out.push_back(&r);
    return out;
}

// Arguments: students per group, permutations, threads (0 for one per core).
void BM_GroupPairTests(benchmark::State& st) {
    const auto students = static_cast<int>(st.range(0));
    const auto a = randomNetworks(students, 20, 1), b = randomNetworks(students, 20, 2);
    qv::PermutationOptions options;
    options.permutations = static_cast<std::uint64_t>(st.range(1));
    options.threads = static_cast<int>(st.range(2));
    for (auto _ : st) {
        auto tests = qv::groupPairTests(pointers(a), pointers(b), 20, options);
        if (!tests || tests->exact) std::abort();
        benchmark::DoNotOptimize(tests->pairs.data());
    }
}

void BM_PairedPairTests(benchmark::State& st) {
    const auto students = static_cast<int>(st.range(0));
    const auto a = randomNetworks(students, 20, 1), b = randomNetworks(students, 20, 2);
    qv::PermutationOptions options;
    options.permutations = static_cast<std::uint64_t>(st.range(1));
    options.threads = static_cast<int>(st.range(2));
    for (auto _ : st) {
        auto tests = qv::pairedPairTests(pointers(a), pointers(b), 20, options);
        if (!tests || tests->exact) std::abort();
        benchmark::DoNotOptimize(tests->pairs.data());
    }
}

}  // namespace

BENCHMARK(BM_GroupPairTests)
    ->Args({145, 10'000, 1})
    ->Args({145, 10'000, 0})
    ->Args({1000, 100'000, 1})
    ->Args({1000, 100'000, 0})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PairedPairTests)->Args({1000, 100'000, 1})->Unit(benchmark::kMillisecond);
