#pragma once

#include <string>

#include "core/expected.h"
#include "core/matrix.h"

namespace qv {

// The ordinary product A x B in fixed point: each term rounded to four
// decimals, the sum exact. When the inner sizes differ the product is refused
// with the message "(3x4)x(5x2)是無效的矩陣相乘" (the four sizes of A and B).
Expected<ItemMatrix> MatrixMultiply(const ItemMatrix& a, const ItemMatrix& b);

// Concept distances from an item x concept matrix: for i != j the sum over
// rows 0..rowCount-1 of the squared difference of columns i and j, or
// itemCount + 1 when both columns are zero on every one of those rows. The
// result is n x n, symmetric, with a zero diagonal.
DistanceMatrix ColumnDistanceMatrix(const ItemMatrix& x, int rowCount, int n, int itemCount);

}  // namespace qv
