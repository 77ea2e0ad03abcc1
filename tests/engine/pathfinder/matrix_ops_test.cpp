#include "pathfinder/matrix_ops.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

ItemMatrix fromRows(std::initializer_list<std::initializer_list<double>> rows) {
    ItemMatrix m(static_cast<int>(rows.size()), static_cast<int>(rows.begin()->size()));
    int i = 0;
    for (const auto& row : rows) {
        int j = 0;
        for (double v : row)
            m(i, j++) = Currency::fromDouble(v);
        ++i;
    }
    return m;
}

TEST(MatrixMultiply, EachTermRoundedThenSummedExactly) {
    const ItemMatrix b = fromRows({{1, 2, 3}, {0.5, -1, 0.0001}, {9, 8, 7}});
    EXPECT_EQ(*MatrixMultiply(fromRows({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}), b), b);
    // 0.0001 x 0.5 twice: each term is a tie rounded to 0, not 0.0001 in all.
    EXPECT_EQ((*MatrixMultiply(fromRows({{0.0001, 0.0001}}), fromRows({{0.5}, {0.5}})))(0, 0),
              Currency{});
    EXPECT_EQ(*MatrixMultiply(fromRows({{1.5, -2}, {0, 3}}), fromRows({{2, 1}, {0.25, 4}})),
              fromRows({{2.5, -6.5}, {0.75, 12}}));
    const auto refused = MatrixMultiply(ItemMatrix(3, 4), ItemMatrix(5, 2));
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().message(), "(3x4)x(5x2)是無效的矩陣相乘");
}

TEST(ColumnDistanceMatrix, SquaredDifferencesOverTheCountedRows) {
    // Three items over four concepts; concept 3 occurs in no item.
    const DistanceMatrix d =
        ColumnDistanceMatrix(fromRows({{1, 1, 0, 0}, {0, 1, 1, 0}, {0, 0, 1, 0}}), 3, 4, 3);
    EXPECT_EQ(d(0, 1), Currency::fromInt(1));
    EXPECT_EQ(d(1, 0), Currency::fromInt(1));
    EXPECT_EQ(d(0, 2), Currency::fromInt(3));
    EXPECT_EQ(d(0, 3), Currency::fromInt(1));  // one side empty is a real distance
    EXPECT_EQ(d(2, 2), Currency{});
    // Identical columns are at 0; both empty on the counted rows, item count + 1.
    EXPECT_EQ(ColumnDistanceMatrix(fromRows({{1, 1}, {0, 0}}), 2, 2, 2)(0, 1), Currency{});
    EXPECT_EQ(ColumnDistanceMatrix(ItemMatrix(2, 3), 2, 3, 40)(1, 2), Currency::fromInt(41));
    EXPECT_EQ(ColumnDistanceMatrix(fromRows({{0, 0}, {1, 0}}), 1, 2, 7)(0, 1),
              Currency::fromInt(8));
    // Each square is rounded to four decimals: 0.015^2 = 0.000225 -> 0.0002.
    EXPECT_EQ(ColumnDistanceMatrix(fromRows({{0.015, 0}, {0, 0.5}, {1.2, 1.2}}), 3, 2, 3)(0, 1),
              Currency::fromDouble(0.2502));
    EXPECT_EQ(ColumnDistanceMatrix(fromRows({{0.0003, 0}, {0, 0.0003}}), 2, 2, 2)(0, 1),
              Currency{});
}

}  // namespace
}  // namespace qv
