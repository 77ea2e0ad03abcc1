#include "pathfinder/student_distance.h"

#include <gtest/gtest.h>

#include <random>

#include "defined_distances.h"
#include "pathfinder/first_order.h"

namespace qv {
namespace {

ItemMatrix randomTable(std::mt19937& rng, int items, int concepts, unsigned density) {
    ItemMatrix m(items, concepts);
    for (int k = 0; k < items; ++k)
        for (int c = 0; c < concepts; ++c)
            if (rng() % 100 < density) m(k, c) = Currency::fromInt(1);
    return m;
}

std::vector<std::uint64_t> randomAnswers(std::mt19937& rng, int items, unsigned rightPercent) {
    std::vector<std::uint64_t> correct(static_cast<std::size_t>((items + 63) / 64));
    for (int k = 0; k < items; ++k)
        if (rng() % 100 < rightPercent) correct[k / 64] |= std::uint64_t{1} << (k % 64);
    return correct;
}

TEST(StudentDistance, CurrencyAndWholeUnitsFollowTheDefinition) {
    std::mt19937 rng(1234);
    // One buffer of each through all trials, as a run reuses them: stale
    // cells, the diagonal included, must not survive.
    DistanceMatrix reused;
    WholeDistanceMatrix units;
    for (int trial = 0; trial < 150; ++trial) {
        const int items = static_cast<int>(rng() % 150);
        // Some rows of more than one padded block.
        const int concepts = static_cast<int>(trial % 6 == 0 ? 30 + rng() % 60 : rng() % 24);
        const ItemMatrix table = randomTable(rng, items, concepts, 3 + rng() % 30);
        // Both ways of counting, whichever the table would choose.
        for (int s = 0; s < 4; ++s) {
            const auto bits = makeItemConceptBits(table, concepts, s % 2 == 0);
            ASSERT_TRUE(bits.has_value());
            const auto correct = randomAnswers(rng, items, static_cast<unsigned>(rng() % 101));
            const DistanceMatrix expected =
                test::definedDistances(table, items, concepts, [&](int m) {
                    return (correct[static_cast<std::size_t>(m / 64)] >> (m % 64)) & 1u;
                });
            reused.fill(Currency::fromInt(s + 3));
            studentDistanceInto(*bits, correct, items, reused);
            ASSERT_EQ(reused, expected) << items << " items, " << concepts << " concepts";
            units.fill(static_cast<std::int16_t>(s + 3));
            ASSERT_TRUE(studentUnitsInto(*bits, correct, items, units));
            for (int i = 0; i < concepts; ++i)
                for (int j = 0; j < concepts; ++j)
                    ASSERT_EQ(Currency::fromInt(units(i, j)), expected(i, j)) << i << "-" << j;
            // Kernels read the rows whole: the padding must stay zero.
            ASSERT_EQ(units.stride() % kUnitRowAlign, 0);
            for (int i = 0; i < concepts; ++i)
                for (int j = concepts; j < units.stride(); ++j)
                    ASSERT_EQ(units.rowData(i)[j], 0);
        }
    }
}

TEST(StudentDistance, NetworksOfCountsEqualTheGeneralFirstOrderTest) {
    std::mt19937 rng(99);
    WholeDistanceMatrix units;
    LinkMatrix fast, general;
    LinkRows rows;
    for (int trial = 0; trial < 400; ++trial) {
        // Few items and sparse tables leave concepts without answered items,
        // the only pairs a path can cut; some tables take rows of two or
        // three words.
        const int items = static_cast<int>(rng() % 12);
        const int concepts = 2 + static_cast<int>(trial % 8 == 0 ? 60 + rng() % 80 : rng() % 40);
        const auto bits = makeItemConceptBits(randomTable(rng, items, concepts, 2 + rng() % 40));
        const auto correct = randomAnswers(rng, items, static_cast<unsigned>(rng() % 101));
        ASSERT_TRUE(studentUnitsInto(*bits, correct, items, units));
        DistanceMatrix money;
        studentDistanceInto(*bits, correct, items, money);
        const auto unrelated = static_cast<std::int16_t>(items + 1);
        // The padded rows the run gets, and plain rows.
        WholeDistanceMatrix plain(concepts, concepts);
        for (int i = 0; i < concepts; ++i)
            for (int j = 0; j < concepts; ++j)
                plain(i, j) = units(i, j);
        for (const bool triangle : {true, false}) {
            if (triangle)
                FirstOrderTriangleInto(money, concepts, general);
            else
                FirstOrderPathSearchInto(money, concepts, general);
            for (const WholeDistanceMatrix* counts : {&units, &plain}) {
                FirstOrderOfCountsInto(triangle, *counts, concepts, unrelated, fast);
                ASSERT_EQ(fast, general) << trial << (triangle ? " triangle" : " path search");
                FirstOrderOfCountsInto(triangle, *counts, concepts, unrelated, rows);
                ASSERT_EQ(rows, linkRows(general, concepts)) << trial;
            }
        }
    }
}

TEST(StudentDistance, BitsOnlyForZeroOneTablesAndUnitsBelowTheirLimit) {
    ItemMatrix table(2, 2);
    table(0, 0) = Currency::fromInt(2);
    EXPECT_FALSE(makeItemConceptBits(table).has_value());
    table(0, 0) = Currency::fromDouble(0.5);
    EXPECT_FALSE(makeItemConceptBits(table).has_value());
    table(0, 0) = Currency::fromInt(1);
    const auto bits = makeItemConceptBits(table);
    ASSERT_TRUE(bits.has_value());
    // Unmarked concepts stand at the item count + 1, which must stay below the limit.
    WholeDistanceMatrix units(1, 1, 9);
    EXPECT_FALSE(studentUnitsInto(*bits, {}, kWholeDistanceLimit - 1, units));
    EXPECT_EQ(units, WholeDistanceMatrix(1, 1, 9));
    EXPECT_TRUE(studentUnitsInto(*bits, {}, kWholeDistanceLimit - 2, units));
    EXPECT_EQ(units(0, 1), kWholeDistanceLimit - 1);
}

}  // namespace
}  // namespace qv
