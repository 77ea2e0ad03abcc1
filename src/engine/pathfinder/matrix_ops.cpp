#include "pathfinder/matrix_ops.h"

#include <algorithm>
#include <cmath>

namespace qv {

namespace {

std::string sizeMessage(const ItemMatrix& a, const ItemMatrix& b) {
    return "(" + std::to_string(a.rows()) + "x" + std::to_string(a.cols()) + ")x(" +
           std::to_string(b.rows()) + "x" + std::to_string(b.cols()) + ")是無效的矩陣相乘";
}

// The value of X(k, c), or 0 outside the matrix: the spare rows and columns a
// caller may count in are zero by construction.
Currency entryOrZero(const ItemMatrix& x, int k, int c) {
    return (k < x.rows() && c < x.cols()) ? x(k, c) : Currency{};
}

Currency squared(Currency diff) {
    const double d = diff.toDouble();
    return Currency::fromDouble(std::pow(d, 2.0));
}

}  // namespace

Expected<ItemMatrix> MatrixMultiply(const ItemMatrix& a, const ItemMatrix& b) {
    if (a.cols() != b.rows()) return errorText(sizeMessage(a, b));
    ItemMatrix c(a.rows(), b.cols());
    // i-k-j order: each term is rounded on its own and the sum is exact, so the
    // order of accumulation does not change the result; zero terms are skipped.
    for (int i = 0; i < a.rows(); ++i) {
        Currency* out = c.rowData(i);
        for (int k = 0; k < a.cols(); ++k) {
            const Currency aik = a(i, k);
            if (aik.isZero()) continue;
            const Currency* bk = b.rowData(k);
            for (int j = 0; j < b.cols(); ++j)
                out[j] += aik * bk[j];
        }
    }
    return c;
}

DistanceMatrix ColumnDistanceMatrix(const ItemMatrix& x, int rowCount, int n, int itemCount) {
    DistanceMatrix d(std::max(n, 0), std::max(n, 0));
    const Currency unrelated = Currency::fromInt(static_cast<std::int64_t>(itemCount) + 1);
    for (int i = 0; i + 1 < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            Currency sum;
            bool bothEmpty = true;
            for (int k = 0; k < rowCount; ++k) {
                const Currency xi = entryOrZero(x, k, i);
                const Currency xj = entryOrZero(x, k, j);
                sum += squared(xj - xi);
                if (!(xj.isZero() && xi.isZero())) bothEmpty = false;
            }
            d(i, j) = d(j, i) = bothEmpty ? unrelated : sum;
        }
    }
    return d;
}

}  // namespace qv
