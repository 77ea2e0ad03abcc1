#include "pathfinder/student_distance.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

// The distances themselves are checked through the run, against their
// definition; here what decides between the bit table and whole units.
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

// Buffers reused from student to student: no stale cell, the diagonal
// included, survives.
TEST(StudentDistance, ReusedBuffersEqualFreshOnes) {
    for (int items : {40, 150}) {
        ItemMatrix table(items, 9);
        for (int k = 0; k < items; ++k) table(k, (k * 7) % 9) = table(k, k % 4) = Currency::fromInt(1);
        const auto bits = makeItemConceptBits(table);
        const std::vector<std::uint64_t> correct = {0x5555'5555'5555'5555u, 0x0F0F'0F0Fu, 7u};
        DistanceMatrix fresh, reused(9, 9, Currency::fromInt(77));
        WholeDistanceMatrix freshUnits, reusedUnits(9, 9, 77);
        studentDistanceInto(*bits, correct, items, fresh);
        studentDistanceInto(*bits, correct, items, reused);
        EXPECT_EQ(reused, fresh);
        ASSERT_TRUE(studentUnitsInto(*bits, correct, items, freshUnits));
        ASSERT_TRUE(studentUnitsInto(*bits, correct, items, reusedUnits));
        EXPECT_EQ(reusedUnits, freshUnits);
        EXPECT_EQ(fresh(4, 4), Currency{});
    }
}

}  // namespace
}  // namespace qv
