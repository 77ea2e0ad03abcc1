#include "pathfinder/first_order.h"

#include <gtest/gtest.h>

#include <random>

namespace qv {
namespace {

// The two variants written out step by step, on a matrix with the spare row
// and column n that the caller's matrix may lack (it reads as 0).
struct Padded {
    Padded(const DistanceMatrix& d, int count) : n(count), p(count + 1, count + 1) {
        for (int i = 0; i < std::min(d.rows(), n + 1); ++i)
            for (int j = 0; j < std::min(d.cols(), n + 1); ++j) p(i, j) = d(i, j);
    }
    bool cutBy(int i, int j, int k) const { return p(i, j) > p(i, k) + p(k, j); }
    LinkMatrix trim(const LinkMatrix& l) const {
        LinkMatrix out(n, n);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) out(i, j) = l(i, j);
        return out;
    }
    int n;
    DistanceMatrix p;
};

LinkMatrix plainTriangle(const DistanceMatrix& d, int n) {
    const Padded pd(d, n);
    const DistanceMatrix& p = pd.p;
    LinkMatrix l(n + 1, n + 1);
    Currency m;
    for (int i = 0; i <= n - 2; ++i) {
        for (int j = i + 1; j <= n - 1; ++j) {
            if (i == 0) {
                if (p(0, j) >= m || p(0, j + 1) >= m)
                    m = p(0, j) < p(0, j + 1) ? p(0, j + 1) : p(0, j);
                l(0, j) = l(j, 0) = 1;
            } else {
                l(i, j) = l(j, i) = p(i, j) > m ? 0 : 1;
            }
            for (int k = 0; k <= n - 1; ++k)
                if (k != i && k != j && pd.cutBy(i, j, k)) l(i, j) = l(j, i) = 0;
        }
    }
    return pd.trim(l);
}

LinkMatrix plainPathSearch(const DistanceMatrix& d, int n) {
    const Padded pd(d, n);
    LinkMatrix l(n + 1, n + 1);
    for (int i = 0; i <= n - 1; ++i) {
        for (int j = 0; j <= n - 1; ++j) {
            l(i, j) = 1;
            for (int k = 0; k <= n - 1; ++k)
                if (k != i && k != j && pd.cutBy(i, j, k)) l(i, j) = 0;
            if (i == j) l(i, j) = 0;
        }
    }
    return pd.trim(l);
}

TEST(FirstOrder, AgreesWithTheStepByStepDefinition) {
    std::mt19937 rng(20240517);
    struct Kind {
        const char* name;
        bool symmetric;
        std::int64_t maxRaw;  // raw fixed-point values in [-negRaw, maxRaw]
        std::int64_t negRaw;
        std::int64_t step;
        int extraCols;
        bool zeroDiagonal = true;
    };
    const Kind kinds[] = {
        {"small whole, many ties", true, 40000, 0, 10000, 0},
        {"decimals", true, 99999, 0, 1, 0},
        {"asymmetric", false, 60000, 0, 10000, 0},
        {"asymmetric with negatives", false, 50000, 30000, 5000, 0},
        {"beyond 32 bits", true, std::int64_t{1} << 40, 0, std::int64_t{1} << 30, 0},
        {"asymmetric beyond 32 bits", false, std::int64_t{1} << 38, 0, std::int64_t{1} << 33, 0},
        {"wider than n", true, 50000, 0, 10000, 2},
        {"any diagonal", false, 50000, 20000, 10000, 0, false},
        {"whole, past 16 bits", true, 100000000, 0, 10000, 0},
        {"past 61 bits", true, 15 * (std::int64_t{1} << 58), 15 * (std::int64_t{1} << 58),
         std::int64_t{1} << 58, 0},
        {"asymmetric decimals, any diagonal", false, 99999, 99999, 7, 0, false},
        {"whole, the units' full range", false, 81910000, 81910000, 10000, 2, false},
    };
    // Buffers kept across trials, as a run keeps them from student to student.
    LinkMatrix reusedTriangle, reusedPathSearch, fromUnits;
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        for (int trial = 0; trial < 150; ++trial) {
            const int n = static_cast<int>(rng() % 26);
            DistanceMatrix d(n, n + kind.extraCols);
            std::uniform_int_distribution<std::int64_t> value(-kind.negRaw / kind.step,
                                                              kind.maxRaw / kind.step);
            for (int i = 0; i < n; ++i) {
                for (int j = 0; j < n + kind.extraCols; ++j) {
                    if (kind.symmetric && j < n && j < i) continue;
                    const Currency v = Currency::fromRaw(value(rng) * kind.step);
                    d(i, j) = (i == j && kind.zeroDiagonal) ? Currency{} : v;
                    if (kind.symmetric && j < n) d(j, i) = d(i, j);
                }
            }
            const LinkMatrix triangle = plainTriangle(d, n), pathSearch = plainPathSearch(d, n);
            ASSERT_EQ(FirstOrderTriangle(d, n), triangle) << "n = " << n;
            ASSERT_EQ(FirstOrderPathSearch(d, n), pathSearch) << "n = " << n;
            reusedTriangle.fill(1);
            reusedPathSearch.fill(1);
            FirstOrderTriangleInto(d, n, reusedTriangle);
            FirstOrderPathSearchInto(d, n, reusedPathSearch);
            ASSERT_EQ(reusedTriangle, triangle) << "n = " << n << ", reused buffer";
            ASSERT_EQ(reusedPathSearch, pathSearch) << "n = " << n << ", reused buffer";
            // Whole numbers below the units' limit also as whole units.
            if (kind.step % 10000 != 0 || kind.maxRaw >= kWholeDistanceLimit * 10000) continue;
            WholeDistanceMatrix units(d.rows(), d.cols());
            for (int i = 0; i < d.rows(); ++i)
                for (int j = 0; j < d.cols(); ++j)
                    units(i, j) = static_cast<std::int16_t>(d(i, j).raw() / 10000);
            fromUnits.fill(1);
            FirstOrderTriangleInto(units, n, fromUnits);
            ASSERT_EQ(fromUnits, triangle) << "n = " << n << ", whole units";
            fromUnits.fill(1);
            FirstOrderPathSearchInto(units, n, fromUnits);
            ASSERT_EQ(fromUnits, pathSearch) << "n = " << n << ", whole units";
        }
    }
}

}  // namespace
}  // namespace qv
