#include "core/state.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(State, LineBreakIsLfCrLf) {
    AppState state;
    ASSERT_EQ(state.lineBreak.size(), 3u);
    EXPECT_EQ(state.lineBreak[0], '\n');
    EXPECT_EQ(state.lineBreak[1], '\r');
    EXPECT_EQ(state.lineBreak[2], '\n');
}

TEST(State, SampleMatrixIsTheBuiltInTable) {
    const AppState state;
    const DistanceMatrix& m = state.sampleMatrix;
    ASSERT_EQ(m.rows(), 5);
    EXPECT_EQ(m(1, 4), Currency::fromInt(6));
    EXPECT_EQ(m(4, 1), Currency::fromInt(6));
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(m(i, i), Currency{});
        for (int j = 0; j < 5; ++j) EXPECT_EQ(m(i, j), m(j, i));
    }
}

TEST(State, StartsEmpty) {
    const AppState state;
    EXPECT_EQ(state.studentCount + state.itemCount + state.conceptCount, 0);
    EXPECT_TRUE(state.students.empty());
    EXPECT_FALSE(state.dataLoaded || state.conceptsLoaded || state.itemConceptLoaded);
}

TEST(State, ItemMatrixIsTheCorrectAnswerDiagonal) {
    StudentRecord r;
    r.correct = {0b101};
    const ItemMatrix m = itemMatrix(r, 3);
    EXPECT_EQ(m(0, 0), Currency::fromInt(1));
    EXPECT_EQ(m(1, 1), Currency{});
    EXPECT_EQ(m(2, 2), Currency::fromInt(1));
    EXPECT_EQ(m(0, 2), Currency{});
}

}  // namespace
}  // namespace qv
