#pragma once

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/currency.h"

namespace qv {

// Dense row-major matrix. Sizes are the real counts (an n-concept matrix is
// n x n); indices run from 0 to count - 1. Rows may be padded to a multiple of
// `rowAlign` cells, for vector kernels that take whole rows; the padding cells
// stay T{} unless such a kernel writes them, and equality ignores them.
template <typename T>
class Matrix {
  public:
    Matrix() = default;
    Matrix(int rows, int cols, T init = T{}, int rowAlign = 1)
        : rows_(rows),
          cols_(cols),
          stride_(paddedCols(cols, rowAlign)),
          rowAlign_(rowAlign),
          data_(static_cast<std::size_t>(rows) * stride_, init) {
        assert(rows >= 0 && cols >= 0 && rowAlign >= 1);
        if (stride_ != cols_)
            for (int r = 0; r < rows_; ++r)
                std::fill(rowData(r) + cols_, rowData(r) + stride_, T{});
    }

    int rows() const { return rows_; }
    int cols() const { return cols_; }
    // Cells from one row's start to the next's.
    int stride() const { return stride_; }
    bool empty() const { return data_.empty(); }

    T& operator()(int r, int c) { return data_[index(r, c)]; }
    const T& operator()(int r, int c) const { return data_[index(r, c)]; }

    T* rowData(int r) { return data_.data() + static_cast<std::size_t>(r) * stride_; }
    const T* rowData(int r) const { return data_.data() + static_cast<std::size_t>(r) * stride_; }

    void fill(T value) {
        if (stride_ == cols_) {
            data_.assign(data_.size(), value);
            return;
        }
        for (int r = 0; r < rows_; ++r)
            std::fill(rowData(r), rowData(r) + cols_, value);
    }

    // Makes the matrix rows x cols. When it already has that size its storage
    // and cells are kept (callers that reuse buffers overwrite them); otherwise
    // every cell is T{}. The row padding stays as it was.
    void resize(int rows, int cols) {
        if (rows == rows_ && cols == cols_) return;
        *this = Matrix(rows, cols, T{}, rowAlign_);
    }

    // resize to n x n with a zero diagonal; buffers reused across students
    // keep their storage and have every other cell overwritten by the caller.
    void resizeSquare(int n) {
        resize(n, n);
        for (int i = 0; i < n; ++i)
            (*this)(i, i) = T{};
    }
    // The same, with rows padded to a multiple of rowAlign cells.
    void resizeSquare(int n, int rowAlign) {
        if (rowAlign != rowAlign_) *this = Matrix(n, n, T{}, rowAlign);
        resizeSquare(n);
    }

    friend bool operator==(const Matrix& a, const Matrix& b) {
        if (a.rows_ != b.rows_ || a.cols_ != b.cols_) return false;
        for (int r = 0; r < a.rows_; ++r)
            if (!std::equal(a.rowData(r), a.rowData(r) + a.cols_, b.rowData(r))) return false;
        return true;
    }

  private:
    static int paddedCols(int cols, int rowAlign) {
        return (cols + rowAlign - 1) / rowAlign * rowAlign;
    }
    std::size_t index(int r, int c) const {
        assert(r >= 0 && r < rows_ && c >= 0 && c < cols_);
        return static_cast<std::size_t>(r) * stride_ + c;
    }

    int rows_ = 0;
    int cols_ = 0;
    int stride_ = 0;
    int rowAlign_ = 1;
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
