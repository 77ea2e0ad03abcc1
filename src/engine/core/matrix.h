#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/currency.h"

namespace qv {

// Dense row-major matrix. Sizes are the real counts (an n-concept matrix is
// n x n); indices run from 0 to count - 1.
template <typename T>
class Matrix {
  public:
    Matrix() = default;
    Matrix(int rows, int cols, T init = T{})
        : rows_(rows), cols_(cols), data_(static_cast<std::size_t>(rows) * cols, init) {
        assert(rows >= 0 && cols >= 0);
    }

    int rows() const { return rows_; }
    int cols() const { return cols_; }
    bool empty() const { return data_.empty(); }

    T& operator()(int r, int c) { return data_[index(r, c)]; }
    const T& operator()(int r, int c) const { return data_[index(r, c)]; }

    T* rowData(int r) { return data_.data() + static_cast<std::size_t>(r) * cols_; }
    const T* rowData(int r) const { return data_.data() + static_cast<std::size_t>(r) * cols_; }

    void fill(T value) { data_.assign(data_.size(), value); }

    // Makes the matrix rows x cols. When it already has that size its storage
    // and cells are kept (callers that reuse buffers overwrite them); otherwise
    // every cell is T{}.
    void resize(int rows, int cols) {
        if (rows == rows_ && cols == cols_) return;
        *this = Matrix(rows, cols);
    }

    // resize to n x n with a zero diagonal; buffers reused across students
    // keep their storage and have every other cell overwritten by the caller.
    void resizeSquare(int n) {
        resize(n, n);
        for (int i = 0; i < n; ++i)
            (*this)(i, i) = T{};
    }

    friend bool operator==(const Matrix&, const Matrix&) = default;

  private:
    std::size_t index(int r, int c) const {
        assert(r >= 0 && r < rows_ && c >= 0 && c < cols_);
        return static_cast<std::size_t>(r) * cols_ + c;
    }

    int rows_ = 0;
    int cols_ = 0;
    std::vector<T> data_;
};

// Concept distances; zero diagonal, symmetric when built by the system.
using DistanceMatrix = Matrix<Currency>;
// Item x concept and item x item matrices of 0/1 values.
using ItemMatrix = Matrix<Currency>;
// 1 where two concepts are linked in a Pathfinder network; the diagonal is 0.
using LinkMatrix = Matrix<std::uint8_t>;
// Links on a shortest path when at most 7, otherwise 0.
using GraphDistanceMatrix = Matrix<std::int16_t>;

}  // namespace qv
