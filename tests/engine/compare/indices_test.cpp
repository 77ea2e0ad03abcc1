#include "compare/indices.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "compare/graph_distance.h"
#include "core/number_text.h"
#include "link_networks.h"

namespace qv {
namespace {

using test::linkNetwork;

std::string text(const std::optional<double>& v) {
    return v ? numberText(*v) : "none";
}

DistanceMatrix distances3(double d01, double d02, double d12) {
    DistanceMatrix d(3, 3);
    d(0, 1) = d(1, 0) = Currency::fromDouble(d01);
    d(0, 2) = d(2, 0) = Currency::fromDouble(d02);
    d(1, 2) = d(2, 1) = Currency::fromDouble(d12);
    return d;
}

TEST(Indices, PrxExamples) {
    const DistanceMatrix std = distances3(1, 2, 3);
    EXPECT_EQ(text(PrxIndex(std, distances3(2, 4, 6), 3)), "1");
    EXPECT_EQ(text(PrxIndex(std, distances3(3, 2, 1), 3)), "-1");
    EXPECT_EQ(text(PrxIndex(std, distances3(1, 3, 2), 3)), "0.5");
    // One side's distances all equal: no value, whichever side.
    EXPECT_FALSE(PrxIndex(std, distances3(4, 4, 4), 3).has_value());
    EXPECT_FALSE(PrxIndex(distances3(4, 4, 4), std, 3).has_value());
}

TEST(Indices, PrxRoundsEachProductHalfToEven) {
    // 0.5 x 0.0067, 2.5 x 0.0189 and 2.5 x 0.0309 are ties; to even, the last
    // two go down and the sum of products is 0.0002 below what rounding away
    // from zero gives, which would move PRX to 0.863.
    const DistanceMatrix std = distances3(0.5, 2.5, 2.5);
    EXPECT_EQ(text(PrxIndex(std, distances3(0.0067, 0.0189, 0.0309), 3)), "0.856");
}

// A large quiz's distance sums square past Currency's range (9.2E14): the
// products must not wrap. A correlation does not change when a constant is
// added to every distance, so shifted matrices must give the same index.
TEST(Indices, PrxOfLargeDistancesDoesNotOverflow) {
    const int n = 181;
    DistanceMatrix a(n, n), b(n, n), bigA(n, n), bigB(n, n);
    const Currency shift = Currency::fromInt(20000);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            if (i != j) {
                a(i, j) = Currency::fromInt((i * 7 + j * 7) % 40);
                b(i, j) = Currency::fromInt((i * j + i + j) % 31);
                bigA(i, j) = a(i, j) + shift;
                bigB(i, j) = b(i, j) + shift;
            }
    ASSERT_TRUE(PrxIndex(a, b, n).has_value());
    EXPECT_EQ(PrxIndex(bigA, bigB, n), PrxIndex(a, b, n));
}

// Distances near 2^13 in padded rows, as a run of many items gives them: the
// whole-unit sums must not wrap, whatever their sign.
TEST(Indices, PrxOfLargeWholeUnitsMatchesTheDefinition) {
    const int n = 181;
    for (const int sign : {1, -1}) {
        DistanceMatrix standard(n, n), target(n, n);
        WholeDistanceMatrix units(n, n, 0, kUnitRowAlign);
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j) {
                const int x = kWholeDistanceLimit - 1 - (i * 5 + j) % 7;
                const int y = sign * (kWholeDistanceLimit - 1 - (i + j * 3) % 11);
                standard(i, j) = standard(j, i) = Currency::fromInt(x);
                target(i, j) = target(j, i) = Currency::fromInt(y);
                units(i, j) = units(j, i) = static_cast<std::int16_t>(y);
            }
        const auto expected = PrxIndex(standard, target, n);
        ASSERT_TRUE(expected.has_value());
        EXPECT_EQ(PrxAgainst(standard, n).index(units), expected) << sign;
    }
}

TEST(Indices, WithoutSpreadOrConcepts) {
    // Every pair linked on one side: its graph distances are all 1, GTD is 1.
    LinkMatrix full(7, 7, 1);
    for (int i = 0; i < 7; ++i)
        full(i, i) = 0;
    const LinkMatrix tree = linkNetwork(7, {{0, 1}, {1, 3}, {1, 4}, {2, 5}, {2, 6}});
    EXPECT_EQ(GtdIndex(PointDistanceNO(tree, 7), PointDistanceNO(full, 7), 7), 1.0);
    EXPECT_EQ(GtdIndex(PointDistanceNO(full, 7), PointDistanceNO(tree, 7), 7), 1.0);
    const LinkMatrix two = linkNetwork(2, {{0, 1}});
    EXPECT_EQ(GtdIndex(PointDistanceNO(two, 2), PointDistanceNO(two, 2), 2), 1.0);
    EXPECT_FALSE(PrxIndex(DistanceMatrix(2, 2), DistanceMatrix(2, 2), 2).has_value());
    for (int n : {0, 1}) {
        EXPECT_FALSE(GtdIndex(GraphDistanceMatrix(n, n), GraphDistanceMatrix(n, n), n));
        EXPECT_FALSE(GtdAgainst(GraphDistanceMatrix(n, n), n).index(linkRows(LinkMatrix(n, n), n)));
        EXPECT_FALSE(PrxIndex(DistanceMatrix(n, n), DistanceMatrix(n, n), n).has_value());
        EXPECT_FALSE(PrxAgainst(DistanceMatrix(n, n), n).index(WholeDistanceMatrix(n, n)));
        EXPECT_FALSE(PfcIndex(LinkMatrix(n, n), LinkMatrix(n, n), n).has_value());
    }
    // A concept linked in neither network.
    const LinkMatrix lone = linkNetwork(3, {{0, 1}});
    EXPECT_FALSE(PfcIndex(lone, lone, 3).has_value());
    EXPECT_EQ(text(PfcIndex(lone, linkNetwork(3, {{0, 1}, {1, 2}}), 3)), "0.5");
}

// Pearson r over the upper triangle, two-pass in plain doubles.
template <typename M, typename Value>
double plainPearson(const M& x, const M& y, int n, Value value) {
    std::vector<double> xs, ys;
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            xs.push_back(value(x(i, j)));
            ys.push_back(value(y(i, j)));
        }
    double mx = 0, my = 0;
    for (std::size_t k = 0; k < xs.size(); ++k)
        mx += xs[k], my += ys[k];
    mx /= static_cast<double>(xs.size());
    my /= static_cast<double>(xs.size());
    double cxy = 0, cxx = 0, cyy = 0;
    for (std::size_t k = 0; k < xs.size(); ++k) {
        cxy += (xs[k] - mx) * (ys[k] - my);
        cxx += (xs[k] - mx) * (xs[k] - mx);
        cyy += (ys[k] - my) * (ys[k] - my);
    }
    return cxy / std::sqrt(cxx * cyy);
}

// Sum of squared deviations over the upper triangle.
template <typename M, typename Value>
double spread(const M& y, int n, Value value) {
    double s = 0, s2 = 0, p = 0;
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            s += value(y(i, j)), s2 += value(y(i, j)) * value(y(i, j)), ++p;
    return s2 - s * s / p;
}

// Q is rounded to four decimals, which moves VY by up to 0.00005; that is
// the only rounding on whole-number cells.
double tolerance(double r, double spreadY) {
    return 1e-9 + std::abs(r) * 3e-5 / spreadY;
}

TEST(Indices, AgreeWithPlainComputationsOnRandomNetworks) {
    std::mt19937 rng(11);
    const auto whole = [](std::int16_t v) { return static_cast<double>(v); };
    const auto money = [](Currency v) { return v.toDouble(); };
    int comparedGtd = 0, comparedPrx = 0;
    for (int trial = 0; trial < 300; ++trial) {
        // One to three words per row for PFC; any non-zero cell is a link.
        const int n = 2 + static_cast<int>(trial % 10 == 0 ? 60 + rng() % 120 : rng() % 40);
        DistanceMatrix dx(n, n), dy(n, n), dz(n, n);
        LinkMatrix lx(n, n), ly(n, n);
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j) {
                dx(i, j) = dx(j, i) = Currency::fromInt(static_cast<int>(rng() % 12) - 2);
                dy(i, j) = dy(j, i) = Currency::fromRaw(static_cast<std::int64_t>(rng() % 90000));
                // Whole numbers, some beyond 2^13.
                dz(i, j) = dz(j, i) =
                    Currency::fromInt((rng() % 30) * (n < 42 && trial % 2 ? 300 : 1));
                lx(i, j) = lx(j, i) = static_cast<std::uint8_t>((rng() % 4 == 0) * (1 + rng() % 9));
                ly(i, j) = ly(j, i) = rng() % 3 == 0;
            }
        double pfc = 0;
        bool defined = true;
        for (int i = 0; i < n; ++i) {
            int both = 0, either = 0;
            for (int j = 0; j < n; ++j)
                both += lx(i, j) && ly(i, j), either += lx(i, j) || ly(i, j);
            defined = defined && either > 0;
            if (either) pfc += double(both) / either;
        }
        EXPECT_EQ(PfcIndex(lx, ly, n),
                  defined ? std::optional(roundIndex(pfc / n)) : std::nullopt);

        const auto gx = PointDistanceNO(lx, n), gy = PointDistanceNO(ly, n);
        EXPECT_EQ(GtdAgainst(gx, n).index(linkRows(ly, n)), GtdIndex(gx, gy, n)) << "n = " << n;
        if (const auto gtd = gtdCorrelation(gx, gy, n)) {
            const double plain = plainPearson(gx, gy, n, whole);
            EXPECT_NEAR(*gtd, plain, tolerance(plain, spread(gy, n, whole))) << "n = " << n;
            EXPECT_EQ(GtdIndex(gx, gy, n), roundIndex(Currency::fromDouble(*gtd).toDouble()));
            ++comparedGtd;
        }
        if (spread(dx, n, money) > 0 && spread(dy, n, money) > 0 && spread(dz, n, money) > 0) {
            // Whole-number distances, as the quiz data give: only Q is rounded.
            const double plainWhole = plainPearson(dx, dz, n, money);
            EXPECT_NEAR(*prxCorrelation(dx, dz, n), plainWhole,
                        tolerance(plainWhole, spread(dz, n, money)));
            // Four-decimal cells: every product moves by up to 0.00005 as well.
            const double plain = plainPearson(dx, dy, n, money);
            const double slack = 5e-5 * 3 * (n * (n - 1) / 2.0) /
                                 std::sqrt(spread(dx, n, money) * spread(dy, n, money));
            EXPECT_NEAR(*prxCorrelation(dx, dy, n), plain,
                        tolerance(plain, spread(dy, n, money)) + slack);
            EXPECT_EQ(PrxIndex(dx, dy, n), roundIndex(*prxCorrelation(dx, dy, n)));
            ++comparedPrx;
        }
        // The run's PRX against one standard, whole or not, for targets whole
        // (also as whole units, in plain rows and in padded rows read whole),
        // decimal, or beyond 2^13.
        WholeDistanceMatrix units(n, n), padded(n, n, 0, kUnitRowAlign);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                units(i, j) = padded(i, j) = static_cast<std::int16_t>(dx(i, j).raw() / 10000);
        for (const DistanceMatrix* standard : {&dx, &dy, &dz}) {
            const PrxAgainst against(*standard, n);
            for (const DistanceMatrix* target : {&dx, &dy, &dz})
                EXPECT_EQ(against.index(*target), PrxIndex(*standard, *target, n));
            EXPECT_EQ(against.index(units), PrxIndex(*standard, dx, n));
            EXPECT_EQ(against.index(padded), PrxIndex(*standard, dx, n));
        }
    }
    EXPECT_GT(comparedGtd, 200);
    EXPECT_GT(comparedPrx, 250);
}

}  // namespace
}  // namespace qv
