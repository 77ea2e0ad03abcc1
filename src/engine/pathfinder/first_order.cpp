#include "pathfinder/first_order.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "core/currency.h"
#include "core/kernels.h"
#include "core/link_rows.h"
#include "core/whole_units.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qv {

namespace {

// The n x n block of D as integers, for the test "some k other than i and j
// has D(i, k) + D(k, j) < D(i, j)": whole units in 16 bits when the values
// allow (the quiz data always do: eight lanes per vector), raw units in 64 or
// 128 bits otherwise. With every value in [-H, H) the far value 2H - 1 plus
// any value is at least H - 1, so it never makes a strictly shorter path, and
// two far values still fit the type. The diagonal holds it, so that k = i and
// k = j need no skipping, and so does the padding of each row to whole vectors.
// The reads D(k, j) over k come from `columns`: a transposed copy, or the rows
// themselves when D is symmetric.
template <typename T>
class Work {
  public:
    static constexpr bool kVector = sizeof(T) <= 8;
    static constexpr int kLanes = kVector ? static_cast<int>(16 / sizeof(T)) : 1;

    Work(int n, T far)
        : n_(n),
          stride_((n + kLanes - 1) / kLanes * kLanes),
          far_(far),
          rows_(static_cast<std::size_t>(n) * stride_, far) {}

    bool symmetric() const { return symmetric_; }
    T* row(int i) { return rows_.data() + static_cast<std::size_t>(i) * stride_; }
    const T* row(int i) const { return rows_.data() + static_cast<std::size_t>(i) * stride_; }

    // Called once the rows are filled.
    void finish(bool symmetric) {
        symmetric_ = symmetric;
        for (int i = 0; i < n_; ++i)
            row(i)[i] = far_;
        if (symmetric_) return;
        columns_.assign(rows_.size(), far_);
        for (int k = 0; k < n_; ++k)
            for (int j = 0; j < n_; ++j)
                columns_[static_cast<std::size_t>(j) * stride_ + k] = row(k)[j];
    }

    // Calls visit(cut), cut(i, j) telling whether some k makes a strictly
    // shorter path; the row length is fixed at compile time for up to 32
    // concepts, so the per-pair test carries no dispatch.
    template <typename Visit>
    void withCut(Visit visit) const {
        if constexpr (kVector) {
            switch (stride_ / kLanes) {
                case 1:
                    return visit(cutOf<1>());
                case 2:
                    return visit(cutOf<2>());
                case 3:
                    return visit(cutOf<3>());
                case 4:
                    return visit(cutOf<4>());
                default:
                    return visit(cutOf<0>());
            }
        } else {
            visit([this](int i, int j) {
                const T* ri = row(i);
                return scalarCut(ri, column(j), ri[j]);
            });
        }
    }

  private:
    typedef T Lanes __attribute__((vector_size(16)));

    const T* column(int j) const {
        return (symmetric_ ? rows_.data() : columns_.data()) +
               static_cast<std::size_t>(j) * stride_;
    }

    template <int kBlocks>
    auto cutOf() const {
        return [this](int i, int j) {
            const T* ri = row(i);
            return shorterIn<kBlocks>(ri, column(j), ri[j]);
        };
    }

    // Blocks of lanes, fixed (unrolled) or, for 0, all of the row.
    template <int kBlocks>
    bool shorterIn(const T* ri, const T* cj, T direct) const {
        const Lanes limit = Lanes{} + direct;
        Lanes shorter{};
        const int end = kBlocks > 0 ? kBlocks * kLanes : stride_;
        for (int kb = 0; kb < end; kb += kLanes) {
            Lanes a, b;
            std::memcpy(&a, ri + kb, sizeof a);
            std::memcpy(&b, cj + kb, sizeof b);
            shorter |= (a + b) < limit;
        }
        std::uint64_t halves[2];
        std::memcpy(halves, &shorter, sizeof halves);
        return (halves[0] | halves[1]) != 0;
    }

    bool scalarCut(const T* ri, const T* cj, T direct) const {
        bool shorter = false;
        for (int k = 0; k < n_; ++k)
            shorter = shorter || ri[k] + cj[k] < direct;
        return shorter;
    }

    int n_;
    int stride_;
    T far_;
    bool symmetric_ = false;
    std::vector<T> rows_;
    std::vector<T> columns_;
};

// Fills the rows with units(raw) of D: the upper triangle, mirrored, and the
// lower triangle on its own only when D turns out not to be symmetric.
template <typename T, typename Units>
void fillRows(Work<T>& work, const DistanceMatrix& d, int n, Units units) {
    std::int64_t asymmetric = 0;
    for (int i = 0; i < n; ++i) {
        const Currency* di = d.rowData(i);
        T* ri = work.row(i);
        for (int j = i + 1; j < n; ++j) {
            asymmetric |= di[j].raw() ^ d(j, i).raw();
            ri[j] = work.row(j)[i] = units(di[j].raw());
        }
    }
    if (asymmetric != 0) {
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < i; ++j)
                work.row(i)[j] = units(d(i, j).raw());
    }
    work.finish(asymmetric == 0);
}

// Whole values in [-2^13, 2^13) in 16 bits; empty when some value is not
// whole or out of that range.
std::optional<Work<std::int16_t>> wholeWork(const DistanceMatrix& d, int n) {
    Work<std::int16_t> work(n, (std::int16_t{1} << 14) - 1);
    std::uint64_t rejected = 0;
    fillRows(work, d, n, [&rejected](std::int64_t raw) {
        const std::int64_t units = wholeUnits(raw);
        rejected |= notWholeBelow(raw, units, 13);
        return static_cast<std::int16_t>(units);
    });
    if (rejected != 0) return std::nullopt;
    return work;
}

template <typename T>
Work<T> rawWork(const DistanceMatrix& d, int n, T far) {
    Work<T> work(n, far);
    fillRows(work, d, n, [](std::int64_t raw) { return static_cast<T>(raw); });
    return work;
}

// Raw values in [-2^61, 2^61) fit 64 bits; the rest take 128.
bool fits64(const DistanceMatrix& d, int n) {
    constexpr std::int64_t kBelow = std::int64_t{1} << 61;
    for (int i = 0; i < n; ++i)
        for (int k = 0; k < n; ++k)
            if (d(i, k).raw() >= kBelow || d(i, k).raw() < -kBelow) return false;
    return true;
}

template <typename Run>
void withWork(const DistanceMatrix& d, int n, Run run) {
    if (auto whole = wholeWork(d, n)) return run(*whole);
    if (fits64(d, n)) return run(rawWork<std::int64_t>(d, n, (std::int64_t{1} << 62) - 1));
    return run(rawWork<Int128>(d, n, (Int128{1} << 100) - 1));
}

// The largest of 0 and D(0, 1) ... D(0, n); D(0, n) is the spare entry, 0
// unless the caller's matrix is wider than n.
template <typename V>
V rowZeroThreshold(const Matrix<V>& d, int n) {
    V m{};
    for (int j = 1; j <= n; ++j)
        m = std::max(m, j < d.cols() ? d(0, j) : V{});
    return m;
}

template <typename T, typename V>
void triangle(const Work<T>& work, const Matrix<V>& d, int n, LinkMatrix& links) {
    const V threshold = rowZeroThreshold(d, n);
    work.withCut([&](auto cut) {
        for (int i = 0; i + 1 < n; ++i) {
            const V* di = d.rowData(i);
            for (int j = i + 1; j < n; ++j) {
                const bool kept = (i == 0 || di[j] <= threshold) && !cut(i, j);
                links(i, j) = links(j, i) = kept ? 1 : 0;
            }
        }
    });
}

template <typename T>
void pathSearch(const Work<T>& work, int n, LinkMatrix& links) {
    // On a symmetric D the visits (i, j) and (j, i) test the same sums.
    const bool symmetric = work.symmetric();
    work.withCut([&](auto cut) {
        for (int i = 0; i < n; ++i) {
            for (int j = symmetric ? i + 1 : 0; j < n; ++j) {
                if (j == i) continue;
                const std::uint8_t kept = cut(i, j) ? 0 : 1;
                links(i, j) = kept;
                if (symmetric) links(j, i) = kept;
            }
        }
    });
}

}  // namespace

LinkMatrix FirstOrderTriangle(const DistanceMatrix& d, int n) {
    LinkMatrix links;
    FirstOrderTriangleInto(d, n, links);
    return links;
}

LinkMatrix FirstOrderPathSearch(const DistanceMatrix& d, int n) {
    LinkMatrix links;
    FirstOrderPathSearchInto(d, n, links);
    return links;
}

void FirstOrderTriangleInto(const DistanceMatrix& d, int n, LinkMatrix& out) {
    n = std::max(n, 0);
    assert(d.rows() >= n && d.cols() >= n);
    out.resizeSquare(n);
    if (n < 2) return;
    withWork(d, n, [&](const auto& work) { triangle(work, d, n, out); });
}

void FirstOrderPathSearchInto(const DistanceMatrix& d, int n, LinkMatrix& out) {
    n = std::max(n, 0);
    assert(d.rows() >= n && d.cols() >= n);
    out.resizeSquare(n);
    if (n < 2) return;
    withWork(d, n, [&](const auto& work) { pathSearch(work, n, out); });
}

namespace {

// 16 whole-unit cells; padded rows hold whole pairs of them.
typedef std::int16_t UnitLanes __attribute__((vector_size(32)));
typedef std::int8_t UnitLaneBytes __attribute__((vector_size(16)));
static_assert(kUnitRowAlign % 16 == 0);

// Bit m set when byte m is all ones (every byte all ones or all clear). On
// x86-64 one SSE2 instruction, which every clone has; elsewhere a multiply
// gathers eight bytes at a time.
[[gnu::always_inline]] inline std::uint64_t setBytesBits(const UnitLaneBytes& bytes) {
#if defined(__SSE2__)
    return static_cast<std::uint16_t>(_mm_movemask_epi8(std::bit_cast<__m128i>(bytes)));
#else
    constexpr std::uint64_t kGather = 0x0102040810204080;  // bit 8m -> bit 56 + m
    std::uint64_t halves[2];
    std::memcpy(halves, &bytes, sizeof halves);
    return ((halves[0] & 0x0101010101010101) * kGather) >> 56 |
           ((halves[1] & 0x0101010101010101) * kGather) >> 56 << 8;
#endif
}

// One row's cells at most `value`, or equal to it, as bits, the bits past n
// clear; `atFar` gathers which cells equal `far`. The row is read 16 cells
// at a time, into its padding: a sighting of `far` there only costs the
// exact look that follows. kChunks fixes the 16-cell chunks of a row of one
// word at compile time (0: rows of any length, four chunks a word).
template <bool kEqual, int kChunks>
[[gnu::always_inline]] inline void rowBits(const std::int16_t* cells, int n, std::int16_t value,
                                           std::int16_t far, UnitLanes& atFar,
                                           std::uint64_t* bits) {
    // No cell is above `far`: at or above it every cell is kept.
    const bool every = !kEqual && value >= far;
    const int words = kChunks > 0 ? 1 : (n + 63) / 64;
    for (int w = 0; w < words; ++w) {
        const int left = n - 64 * w;
        std::uint64_t word = 0;
        for (int c = 0; c < (kChunks > 0 ? kChunks : 4); ++c) {
            if (kChunks == 0 && 16 * c >= left) break;
            UnitLanes lanes, hit;
            std::memcpy(&lanes, cells + 64 * w + 16 * c, sizeof lanes);
            atFar |= lanes == far;
            if (every) {
                word |= std::uint64_t{0xFFFF} << (16 * c);
                continue;
            }
            if constexpr (kEqual)
                hit = lanes == value;
            else
                hit = lanes <= value;
            word |= setBytesBits(__builtin_convertvector(hit, UnitLaneBytes)) << (16 * c);
        }
        bits[w] = left < 64 ? word & ((std::uint64_t{1} << left) - 1) : word;
    }
}

// The first-order rows; the rule is in FirstOrderOfCountsInto. Most students
// leave no two concepts unanswered, so the cells at `unrelated` are picked
// out only when the first pass saw one.
template <int kChunks>
[[gnu::always_inline]] inline void rowsOfCounts(bool triangle, const WholeDistanceMatrix& counts,
                                                int n, std::int16_t threshold,
                                                std::int16_t unrelated, LinkRows& out) {
    const int words = out.words;
    UnitLanes atFar{};
    for (int i = 0; i < n; ++i) {
        std::uint64_t* kept = out.bits.data() + static_cast<std::size_t>(i) * words;
        rowBits<false, kChunks>(counts.rowData(i), n, triangle && i != 0 ? threshold : unrelated,
                                unrelated, atFar, kept);
        kept[0] |= 1;
        kept[i / 64] &= ~(std::uint64_t{1} << (i % 64));
    }
    std::uint64_t anyFar[4];
    std::memcpy(anyFar, &atFar, sizeof anyFar);
    if ((anyFar[0] | anyFar[1] | anyFar[2] | anyFar[3]) == 0) return;
    thread_local std::vector<std::uint64_t> farBits;
    farBits.assign(static_cast<std::size_t>(n) * static_cast<std::size_t>(words), 0);
    int firstUnrelated = -1;
    for (int i = 0; i < n; ++i) {
        std::uint64_t* far = farBits.data() + static_cast<std::size_t>(i) * words;
        rowBits<true, kChunks>(counts.rowData(i), n, unrelated, unrelated, atFar, far);
        for (int w = 0; w < words && firstUnrelated < 0; ++w)
            if (far[w] != 0) firstUnrelated = i;
    }
    if (firstUnrelated < 0) return;
    // Two concepts without answered items stand `unrelated` apart, and a
    // concept with some stands |k| from each: the path through it is 2 |k|.
    const std::int16_t* ce = counts.rowData(firstUnrelated);
    bool cut = false;
    for (int k = 0; k < n; ++k)
        cut = cut || (k != firstUnrelated && ce[k] != unrelated && 2 * ce[k] < unrelated);
    if (!cut) return;
    for (std::size_t w = 0; w < out.bits.size(); ++w)
        out.bits[w] &= ~farBits[w];
}

QV_KERNEL void firstOrderRows(bool triangle, const WholeDistanceMatrix& counts, int n,
                              std::int16_t threshold, std::int16_t unrelated, LinkRows& out) {
    switch ((n + 15) / 16) {
        case 1:
            return rowsOfCounts<1>(triangle, counts, n, threshold, unrelated, out);
        case 2:
            return rowsOfCounts<2>(triangle, counts, n, threshold, unrelated, out);
        case 3:
            return rowsOfCounts<3>(triangle, counts, n, threshold, unrelated, out);
        case 4:
            return rowsOfCounts<4>(triangle, counts, n, threshold, unrelated, out);
        default:
            return rowsOfCounts<0>(triangle, counts, n, threshold, unrelated, out);
    }
}

}  // namespace

void FirstOrderOfCountsInto(bool triangle, const WholeDistanceMatrix& counts, int n,
                            std::int16_t unrelated, LinkRows& out) {
    n = std::max(n, 0);
    assert(counts.rows() >= n && counts.cols() >= n);
    out.n = n;
    out.words = (n + 63) / 64;
    out.bits.resize(static_cast<std::size_t>(n) * static_cast<std::size_t>(out.words));
    if (n < 2) {
        std::fill(out.bits.begin(), out.bits.end(), 0);
        return;
    }
    const std::int16_t threshold = triangle ? rowZeroThreshold(counts, n) : unrelated;
    // The kernel reads whole padded rows, past n, where the cells are zero.
    if (counts.stride() % kUnitRowAlign == 0) {
        firstOrderRows(triangle, counts, n, threshold, unrelated, out);
        return;
    }
    thread_local WholeDistanceMatrix padded;
    padded.resizeSquare(n, kUnitRowAlign);
    for (int i = 0; i < n; ++i)
        std::copy_n(counts.rowData(i), n, padded.rowData(i));
    firstOrderRows(triangle, padded, n, threshold, unrelated, out);
}

void FirstOrderOfCountsInto(bool triangle, const WholeDistanceMatrix& counts, int n,
                            std::int16_t unrelated, LinkMatrix& out) {
    thread_local LinkRows rows;
    FirstOrderOfCountsInto(triangle, counts, n, unrelated, rows);
    linkMatrixInto(rows, out);
}

}  // namespace qv
