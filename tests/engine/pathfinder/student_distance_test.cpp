#include "pathfinder/student_distance.h"

#include <gtest/gtest.h>

#include <random>

#include "core/state.h"
#include "pathfinder/matrix_ops.h"

namespace qv {
namespace {

ItemMatrix randomTable(std::mt19937& rng, int items, int concepts, unsigned density) {
    ItemMatrix m(items, concepts);
    for (int k = 0; k < items; ++k)
        for (int c = 0; c < concepts; ++c)
            if (rng() % 100 < density) m(k, c) = Currency::fromInt(1);
    return m;
}

StudentRecord randomStudent(std::mt19937& rng, int items, unsigned rightPercent) {
    StudentRecord r;
    r.correct.assign(static_cast<std::size_t>((items + 63) / 64), 0);
    for (int k = 0; k < items; ++k)
        if (rng() % 100 < rightPercent) r.correct[k / 64] |= std::uint64_t{1} << (k % 64);
    return r;
}

DistanceMatrix plainStudentDistance(const ItemMatrix& table, const StudentRecord& r, int items,
                                    int concepts) {
    const auto hits = MatrixMultiply(itemMatrix(r, items), table);
    EXPECT_TRUE(hits.ok());
    return ColumnDistanceMatrix(*hits, items, concepts, items);
}

TEST(StudentDistance, WorkedExample) {
    // Item 1: concepts 1, 2; item 2: concepts 2, 3; item 3: concept 3.
    ItemMatrix table(3, 3);
    table(0, 0) = table(0, 1) = table(1, 1) = table(1, 2) = table(2, 2) = Currency::fromInt(1);
    const auto bits = makeItemConceptBits(table);
    ASSERT_TRUE(bits.has_value());
    const DistanceMatrix std = standardDistance(*bits, 3);
    EXPECT_EQ(std(0, 1), Currency::fromInt(1));
    EXPECT_EQ(std(0, 2), Currency::fromInt(3));
    EXPECT_EQ(std(1, 2), Currency::fromInt(2));
    const DistanceMatrix onlyItem2 = studentDistance(*bits, {0b010}, 3);
    EXPECT_EQ(onlyItem2(0, 1), Currency::fromInt(1));
    EXPECT_EQ(onlyItem2(0, 2), Currency::fromInt(1));
    EXPECT_EQ(onlyItem2(1, 2), Currency{});
    const DistanceMatrix none = studentDistance(*bits, {}, 3);
    EXPECT_EQ(none(0, 1), Currency::fromInt(4));
    EXPECT_EQ(none(1, 2), Currency::fromInt(4));
    EXPECT_EQ(none(2, 2), Currency{});
}

TEST(StudentDistance, OnlyZeroOneTablesHaveBits) {
    ItemMatrix table(2, 2);
    table(0, 0) = Currency::fromInt(2);
    EXPECT_FALSE(makeItemConceptBits(table).has_value());
    table(0, 0) = Currency::fromDouble(0.5);
    EXPECT_FALSE(makeItemConceptBits(table).has_value());
    table(0, 0) = Currency::fromInt(1);
    EXPECT_TRUE(makeItemConceptBits(table).has_value());
    EXPECT_TRUE(makeItemConceptBits(ItemMatrix(0, 4)).has_value());
}

TEST(StudentDistance, AgreesWithTheMatrixOperations) {
    std::mt19937 rng(1234);
    for (int trial = 0; trial < 150; ++trial) {
        const int items = static_cast<int>(rng() % 150);
        const int concepts = static_cast<int>(rng() % 24);
        const ItemMatrix table = randomTable(rng, items, concepts, 3 + rng() % 30);
        const auto bits = makeItemConceptBits(table);
        ASSERT_TRUE(bits.has_value());
        ASSERT_EQ(standardDistance(*bits, items),
                  ColumnDistanceMatrix(table, items, concepts, items))
            << items << " items, " << concepts << " concepts";
        // One buffer through the students, as a run reuses it; stale cells
        // (the diagonal included) must not survive.
        DistanceMatrix reused;
        for (int s = 0; s < 5; ++s) {
            const StudentRecord r = randomStudent(rng, items, static_cast<unsigned>(rng() % 101));
            const DistanceMatrix plain = plainStudentDistance(table, r, items, concepts);
            ASSERT_EQ(studentDistance(*bits, r.correct, items), plain)
                << items << " items, " << concepts << " concepts";
            reused.fill(Currency::fromInt(s + 3));
            studentDistanceInto(*bits, r.correct, items, reused);
            ASSERT_EQ(reused, plain) << items << " items, " << concepts << " concepts, reused";
            WholeDistanceMatrix units(concepts, concepts, static_cast<std::int16_t>(s + 3));
            ASSERT_TRUE(studentUnitsInto(*bits, r.correct, items, units));
            for (int i = 0; i < concepts; ++i)
                for (int j = 0; j < concepts; ++j)
                    ASSERT_EQ(Currency::fromInt(units(i, j)), plain(i, j)) << i << "-" << j;
        }
    }
}

TEST(StudentDistance, WholeUnitsOnlyBelowTheirLimit) {
    std::mt19937 rng(5);
    const ItemMatrix table = randomTable(rng, 10, 4, 40);
    const auto bits = makeItemConceptBits(table);
    ASSERT_TRUE(bits);
    WholeDistanceMatrix units(1, 1, 9);
    // Concepts without counted items stand at the item count + 1.
    EXPECT_FALSE(studentUnitsInto(*bits, {}, kWholeDistanceLimit - 1, units));
    EXPECT_EQ(units, WholeDistanceMatrix(1, 1, 9));
    EXPECT_TRUE(studentUnitsInto(*bits, {}, kWholeDistanceLimit - 2, units));
    EXPECT_EQ(units(0, 1), kWholeDistanceLimit - 1);
}

TEST(StudentDistance, ConceptsBeyondTheTableAreEmpty) {
    std::mt19937 rng(99);
    const ItemMatrix table = randomTable(rng, 70, 5, 30);
    const auto bits = makeItemConceptBits(table, 8);
    ASSERT_TRUE(bits.has_value());
    const StudentRecord r = randomStudent(rng, 70, 60);
    const DistanceMatrix d = studentDistance(*bits, r.correct, 70);
    EXPECT_EQ(d, plainStudentDistance(table, r, 70, 8));
    EXPECT_EQ(d(6, 7), Currency::fromInt(71));
}

}  // namespace
}  // namespace qv
