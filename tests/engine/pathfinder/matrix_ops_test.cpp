#include "pathfinder/matrix_ops.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

Currency cur(double v) {
    return Currency::fromDouble(v);
}

ItemMatrix fromRows(std::initializer_list<std::initializer_list<double>> rows) {
    const int r = static_cast<int>(rows.size());
    const int c = r ? static_cast<int>(rows.begin()->size()) : 0;
    ItemMatrix m(r, c);
    int i = 0;
    for (const auto& row : rows) {
        int j = 0;
        for (double v : row)
            m(i, j++) = cur(v);
        ++i;
    }
    return m;
}

TEST(MatrixMultiply, IdentityAndRoundedTerms) {
    const ItemMatrix id = fromRows({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}});
    const ItemMatrix b = fromRows({{1, 2, 3, 4, 5}, {0.5, 0, -1, 7, 0.0001}, {9, 8, 7, 6, 5}});
    const auto product = MatrixMultiply(id, b);
    ASSERT_TRUE(product.ok());
    EXPECT_EQ(*product, b);

    // Each term is rounded before the exact sum: 0.0001 x 0.5 twice gives
    // 0.00005 + 0.00005, each rounded to 0 (ties to even), not 0.0001.
    const auto halves = MatrixMultiply(fromRows({{0.0001, 0.0001}}), fromRows({{0.5}, {0.5}}));
    ASSERT_TRUE(halves.ok());
    EXPECT_EQ((*halves)(0, 0), Currency{});
    const auto general =
        MatrixMultiply(fromRows({{1.5, -2}, {0, 3}}), fromRows({{2, 1}, {0.25, 4}}));
    ASSERT_TRUE(general.ok());
    EXPECT_EQ(*general, fromRows({{2.5, -6.5}, {0.75, 12}}));
}

TEST(MatrixMultiply, RefusesMismatchedSizesWithTheirMessage) {
    const auto refused = MatrixMultiply(ItemMatrix(3, 4), ItemMatrix(5, 2));
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error(), "(3x4)x(5x2)是無效的矩陣相乘");
    const auto empty = MatrixMultiply(ItemMatrix(0, 1), ItemMatrix(0, 0));
    ASSERT_FALSE(empty.ok());
    EXPECT_EQ(empty.error(), "(0x1)x(0x0)是無效的矩陣相乘");
    EXPECT_TRUE(MatrixMultiply(ItemMatrix(0, 0), ItemMatrix(0, 3)).ok());
}

TEST(ColumnDistanceMatrix, DistancesOfColumns) {
    // Three items over four concepts; concept 3 occurs in no item.
    const ItemMatrix x = fromRows({{1, 1, 0, 0}, {0, 1, 1, 0}, {0, 0, 1, 0}});
    const DistanceMatrix d = ColumnDistanceMatrix(x, 3, 4, 3);
    ASSERT_EQ(d.rows(), 4);
    ASSERT_EQ(d.cols(), 4);
    EXPECT_EQ(d(0, 1), cur(1));  // 0/1 columns: the items on which they differ
    EXPECT_EQ(d(0, 2), cur(3));
    EXPECT_EQ(d(1, 2), cur(2));
    EXPECT_EQ(d(0, 3), cur(1));  // one side empty is a real distance
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(d(i, i), Currency{});
        for (int j = 0; j < 4; ++j)
            EXPECT_EQ(d(i, j), d(j, i));
    }

    // Identical non-zero columns are at distance 0, not "unrelated".
    const DistanceMatrix same = ColumnDistanceMatrix(fromRows({{1, 1}, {0, 0}, {1, 1}}), 3, 2, 3);
    EXPECT_EQ(same(0, 1), Currency{});

    // Both columns empty: the item count + 1, whatever the counted rows.
    const ItemMatrix blank(4, 3);
    EXPECT_EQ(ColumnDistanceMatrix(blank, 4, 3, 4)(0, 2), cur(5));
    EXPECT_EQ(ColumnDistanceMatrix(blank, 2, 3, 40)(1, 2), cur(41));
    // Rows past rowCount are not counted: concept 0 only occurs there.
    const ItemMatrix late = fromRows({{0, 0}, {1, 0}});
    EXPECT_EQ(ColumnDistanceMatrix(late, 1, 2, 7)(0, 1), cur(8));

    EXPECT_EQ(ColumnDistanceMatrix(x, 3, 1, 3), DistanceMatrix(1, 1));
    EXPECT_EQ(ColumnDistanceMatrix(x, 3, 0, 3), DistanceMatrix(0, 0));
}

TEST(ColumnDistanceMatrix, EachSquareRoundedToFourDecimals) {
    // 0.015^2 = 0.000225 -> 0.0002; 0.5^2 = 0.25; summed exactly.
    const ItemMatrix x = fromRows({{0.015, 0}, {0, 0.5}, {1.2, 1.2}});
    EXPECT_EQ(ColumnDistanceMatrix(x, 3, 2, 3)(0, 1), cur(0.2502));
    // Two squares of 0.0003^2 = 0.00000009 each vanish; the pair is still not empty.
    const ItemMatrix tiny = fromRows({{0.0003, 0}, {0, 0.0003}});
    EXPECT_EQ(ColumnDistanceMatrix(tiny, 2, 2, 2)(0, 1), Currency{});
}

}  // namespace
}  // namespace qv
