#include "pathfinder/first_order.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace qv {
namespace {

DistanceMatrix symmetric(int n, std::initializer_list<std::initializer_list<double>> upper) {
    DistanceMatrix d(n, n);
    int i = 0;
    for (const auto& row : upper) {
        int j = i + 1;
        for (double v : row)
            d(i, j) = d(j, i) = Currency::fromDouble(v), ++j;
        ++i;
    }
    return d;
}

std::string linkText(const LinkMatrix& l) {
    std::string s;
    for (int i = 0; i < l.rows(); ++i) {
        for (int j = 0; j < l.cols(); ++j)
            s += l(i, j) ? '1' : '0';
        s += '/';
    }
    return s;
}

// The two variants written out step by step, on a matrix with the spare row
// and column n that the caller's matrix may lack (it reads as 0).
struct Padded {
    Padded(const DistanceMatrix& d, int count) : n(count), p(count + 1, count + 1) {
        for (int i = 0; i < std::min(d.rows(), n + 1); ++i)
            for (int j = 0; j < std::min(d.cols(), n + 1); ++j)
                p(i, j) = d(i, j);
    }
    bool cutBy(int i, int j, int k) const { return p(i, j) > p(i, k) + p(k, j); }
    LinkMatrix trim(const LinkMatrix& l) const {
        LinkMatrix out(n, n);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                out(i, j) = l(i, j);
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

TEST(FirstOrder, SmallCases) {
    // {matrix, triangle, path search}
    DistanceMatrix wide(3, 4);  // wider than n: the threshold reads (0, n)
    wide(0, 1) = wide(1, 0) = wide(0, 2) = wide(2, 0) = Currency::fromInt(1);
    wide(1, 2) = wide(2, 1) = Currency::fromDouble(1.5);
    wide(0, 3) = Currency::fromInt(2);
    const std::tuple<DistanceMatrix, const char*, const char*> cases[] = {
        {DistanceMatrix(1, 1), "0/", "0/"},
        // Two concepts are linked whatever their distance.
        {symmetric(2, {{1000}}), "01/10/", "01/10/"},
        // A distance equal to a two-step path is not cut, a longer one is.
        {symmetric(3, {{1, 2}, {1}}), "011/101/110/", "011/101/110/"},
        {symmetric(3, {{1, 3}, {1}}), "010/101/010/", "010/101/010/"},
        // The row-0 threshold (1) drops 1-2, which no triangle cuts.
        {symmetric(3, {{1, 1}, {1.5}}), "011/100/100/", "011/101/110/"},
        {wide, "011/101/110/", "011/101/110/"}};
    for (const auto& [d, triangle, pathSearch] : cases) {
        EXPECT_EQ(linkText(FirstOrderTriangle(d, d.rows())), triangle);
        EXPECT_EQ(linkText(FirstOrderPathSearch(d, d.rows())), pathSearch);
    }
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
    };
    // Buffers kept across trials, as a run keeps them from student to student.
    LinkMatrix reusedTriangle, reusedPathSearch;
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
        }
    }
}

}  // namespace
}  // namespace qv
