#include "pathfinder/student_distance.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <type_traits>

#include "core/bit_ops.h"
#include "core/kernel_level.h"

namespace qv {

namespace {

constexpr std::int64_t kOne = Currency::kScale;

// Bits 0 .. count-1 of word w set.
std::uint64_t wordMask(int count, int w) {
    const int below = count - 64 * w;
    if (below <= 0) return 0;
    if (below >= 64) return ~std::uint64_t{0};
    return (std::uint64_t{1} << below) - 1;
}

// Items counted for one student: answered correctly and inside both the table
// and the item count.
std::vector<std::uint64_t> countedItems(const ItemConceptBits& table,
                                        const std::vector<std::uint64_t>& correct, int itemCount) {
    const int limit = std::min(itemCount, table.itemCount);
    std::vector<std::uint64_t> counted(static_cast<std::size_t>(table.words));
    for (int w = 0; w < table.words; ++w) {
        const std::uint64_t c = static_cast<std::size_t>(w) < correct.size() ? correct[w] : 0;
        counted[w] = c & wordMask(limit, w);
    }
    return counted;
}

// The cell values: Currency, or whole numbers in 16 bits.
Currency cellValue(std::int64_t count, const Currency*) {
    return Currency::fromRaw(count * kOne);
}
std::int16_t cellValue(std::int64_t count, const std::int16_t*) {
    return static_cast<std::int16_t>(count);
}

// Fewer than 65 items: each concept's counted items fit one word.
template <bool kPopcnt, typename T>
[[gnu::always_inline]] inline void singleWord(const ItemConceptBits& table, std::uint64_t counted,
                                              T unrelated, Matrix<T>& d) {
    const int n = table.conceptCount;
    d.resizeSquare(n);
    std::uint64_t onStack[256];
    std::vector<std::uint64_t> onHeap(n > 256 ? static_cast<std::size_t>(n) : 0);
    std::uint64_t* col = n > 256 ? onHeap.data() : onStack;
    for (int c = 0; c < n; ++c)
        col[c] = table.words ? table.conceptBits(c)[0] & counted : 0;
    for (int i = 0; i < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            const T v = (col[i] | col[j]) == 0 ? unrelated
                                               : cellValue(countBitsWith<kPopcnt>(col[i] ^ col[j]),
                                                           static_cast<const T*>(nullptr));
            d(i, j) = d(j, i) = v;
        }
    }
}

template <bool kPopcnt, typename T>
[[gnu::always_inline]] inline void multiWord(const ItemConceptBits& table,
                                             const std::vector<std::uint64_t>& counted, T unrelated,
                                             Matrix<T>& d) {
    const int n = table.conceptCount;
    const int words = table.words;
    d.resizeSquare(n);
    // Each concept's counted items once per student rather than once per pair.
    thread_local std::vector<std::uint64_t> columns;
    thread_local std::vector<char> empty;
    columns.resize(static_cast<std::size_t>(n) * static_cast<std::size_t>(words));
    empty.resize(static_cast<std::size_t>(n));
    for (int c = 0; c < n; ++c) {
        const std::uint64_t* from = table.conceptBits(c);
        std::uint64_t* to = columns.data() + static_cast<std::size_t>(c) * words;
        std::uint64_t any = 0;
        for (int w = 0; w < words; ++w) {
            to[w] = from[w] & counted[w];
            any |= to[w];
        }
        empty[static_cast<std::size_t>(c)] = any == 0;
    }
    for (int i = 0; i < n; ++i) {
        const std::uint64_t* a = columns.data() + static_cast<std::size_t>(i) * words;
        for (int j = i + 1; j < n; ++j) {
            const std::uint64_t* b = columns.data() + static_cast<std::size_t>(j) * words;
            std::int64_t differ = 0;
            for (int w = 0; w < words; ++w)
                differ += countBitsWith<kPopcnt>(a[w] ^ b[w]);
            d(i, j) = d(j, i) =
                empty[static_cast<std::size_t>(i)] && empty[static_cast<std::size_t>(j)]
                    ? unrelated
                    : cellValue(differ, static_cast<const T*>(nullptr));
        }
    }
}

// Item by item: |a xor b| = |a| + |b| - 2 |a and b|, |a and b| counting the
// right answers whose item covers both concepts, and |a| = |a and a|.
template <typename T>
[[gnu::always_inline]] inline void byItem(const ItemConceptBits& table,
                                          const std::vector<std::uint64_t>& correct, int itemCount,
                                          T unrelated, Matrix<T>& d) {
    const int n = table.conceptCount;
    const auto size = static_cast<std::size_t>(n);
    const int limit = std::min(itemCount, table.itemCount);
    // n x n, both halves, and the spare cells the padding counts into.
    thread_local std::vector<std::int16_t> both;
    both.assign(size * size + static_cast<std::size_t>(table.cellStride), 0);
    const std::int32_t* concepts = table.itemConcepts.data();
    const auto stride = static_cast<std::size_t>(table.cellStride);
    for (int w = 0; w < table.words; ++w) {
        std::uint64_t right =
            (static_cast<std::size_t>(w) < correct.size() ? correct[w] : 0) & wordMask(limit, w);
        while (right != 0) {
            const auto item = static_cast<std::size_t>(64 * w + std::countr_zero(right));
            right &= right - 1;
            if (stride > 0) {
                // The same steps for every item: no branch to mispredict.
                const std::int32_t* cells = table.itemCells.data() + item * stride;
                for (std::size_t k = 0; k < stride; ++k)
                    ++both[static_cast<std::size_t>(cells[k])];
                continue;
            }
            const std::int32_t end = table.itemStart[item + 1];
            for (std::int32_t a = table.itemStart[item]; a < end; ++a) {
                std::int16_t* cells = both.data() + static_cast<std::size_t>(concepts[a]) * size;
                for (std::int32_t b = table.itemStart[item]; b < end; ++b)
                    ++cells[concepts[b]];
            }
        }
    }
    thread_local std::vector<std::int16_t> own;
    own.resize(size);
    for (std::size_t c = 0; c < size; ++c)
        own[c] = both[c * size + c];
    d.resizeSquare(n);
    const std::int16_t* __restrict owns = own.data();
    for (int i = 0; i < n; ++i) {
        const std::int16_t* __restrict cells = both.data() + static_cast<std::size_t>(i) * size;
        const std::int16_t oi = owns[i];
        T* __restrict di = d.rowData(i);
        if constexpr (std::is_same_v<T, std::int16_t>) {
            // Whole units stay below 2^13, so the sum fits 16-bit lanes.
            for (int j = 0; j < n; ++j) {
                const auto v = static_cast<std::int16_t>(oi + owns[j] - 2 * cells[j]);
                di[j] = (oi | owns[j]) == 0 ? unrelated : v;
            }
        } else {
            for (int j = 0; j < n; ++j)
                di[j] = (oi | owns[j]) == 0 ? unrelated
                                            : cellValue(std::int64_t{oi} + owns[j] - 2 * cells[j],
                                                        static_cast<const T*>(nullptr));
        }
        di[i] = T{};
    }
}

// The counts, in a portable form and one compiled for POPCNT and AVX2.
template <bool kPopcnt, typename T>
[[gnu::always_inline]] inline void distanceWith(const ItemConceptBits& table,
                                                const std::vector<std::uint64_t>& correct,
                                                int itemCount, T unrelated, Matrix<T>& out) {
    if (table.countByItem) {
        byItem(table, correct, itemCount, unrelated, out);
        return;
    }
    if (table.words <= 1) {
        const std::uint64_t first = correct.empty() ? 0 : correct[0];
        singleWord<kPopcnt>(table, first & wordMask(std::min(itemCount, table.itemCount), 0),
                            unrelated, out);
        return;
    }
    multiWord<kPopcnt>(table, countedItems(table, correct, itemCount), unrelated, out);
}

template <typename T>
void portableDistance(const ItemConceptBits& table, const std::vector<std::uint64_t>& correct,
                      int itemCount, T unrelated, Matrix<T>& out) {
    distanceWith<false>(table, correct, itemCount, unrelated, out);
}

template <typename T>
QV_AVX2_TARGET void avx2Distance(const ItemConceptBits& table,
                                 const std::vector<std::uint64_t>& correct, int itemCount,
                                 T unrelated, Matrix<T>& out) {
    distanceWith<true>(table, correct, itemCount, unrelated, out);
}

template <typename T>
void distanceInto(const ItemConceptBits& table, const std::vector<std::uint64_t>& correct,
                  int itemCount, T unrelated, Matrix<T>& out) {
    if (useAvx2Kernels()) return avx2Distance(table, correct, itemCount, unrelated, out);
    portableDistance(table, correct, itemCount, unrelated, out);
}

}  // namespace

std::optional<ItemConceptBits> makeItemConceptBits(const ItemMatrix& itemConcept) {
    return makeItemConceptBits(itemConcept, itemConcept.cols());
}

std::optional<ItemConceptBits> makeItemConceptBits(const ItemMatrix& itemConcept,
                                                   int conceptCount) {
    ItemConceptBits table;
    table.itemCount = itemConcept.rows();
    table.conceptCount = std::max(conceptCount, 0);
    table.words = (table.itemCount + 63) / 64;
    table.bits.assign(static_cast<std::size_t>(table.conceptCount) * table.words, 0);
    for (int k = 0; k < itemConcept.rows(); ++k) {
        for (int c = 0; c < itemConcept.cols(); ++c) {
            const Currency v = itemConcept(k, c);
            if (v.isZero()) continue;
            if (v != Currency::fromInt(1)) return std::nullopt;
            if (c < table.conceptCount)
                table.bits[static_cast<std::size_t>(c) * table.words + k / 64] |= std::uint64_t{1}
                                                                                  << (k % 64);
        }
    }
    table.itemStart.assign(static_cast<std::size_t>(table.itemCount) + 1, 0);
    std::int64_t itemPairs = 0;
    for (int k = 0; k < table.itemCount; ++k) {
        std::int64_t covered = 0;
        for (int c = 0; c < table.conceptCount; ++c) {
            if (!((table.conceptBits(c)[k / 64] >> (k % 64)) & 1u)) continue;
            table.itemConcepts.push_back(c);
            ++covered;
        }
        table.itemStart[static_cast<std::size_t>(k) + 1] =
            static_cast<std::int32_t>(table.itemConcepts.size());
        itemPairs += covered * (covered + 1) / 2;
    }
    const std::int64_t n = table.conceptCount;
    // Item by item also clears and walks an n x n table of 16-bit counts.
    table.countByItem = table.words > 1 && table.itemCount <= INT16_MAX &&
                        itemPairs + n * n <= n * (n - 1) / 2 * table.words;
    constexpr int kMostCells = 16;
    int widest = 0;
    for (int k = 0; k < table.itemCount; ++k)
        widest = std::max(widest, table.itemStart[static_cast<std::size_t>(k) + 1] -
                                      table.itemStart[static_cast<std::size_t>(k)]);
    if (widest * widest <= kMostCells) {
        table.cellStride = widest * widest;
        // Each unused slot counts into its own spare cell, so that the
        // padding does not chain one item's increments to the next's.
        table.itemCells.resize(static_cast<std::size_t>(table.itemCount) * table.cellStride);
        for (int k = 0; k < table.itemCount; ++k) {
            std::int32_t* cells =
                table.itemCells.data() + static_cast<std::size_t>(k) * table.cellStride;
            for (int slot = 0; slot < table.cellStride; ++slot)
                cells[slot] = static_cast<std::int32_t>(n * n + slot);
            const std::int32_t first = table.itemStart[static_cast<std::size_t>(k)];
            const std::int32_t last = table.itemStart[static_cast<std::size_t>(k) + 1];
            for (std::int32_t a = first; a < last; ++a)
                for (std::int32_t b = first; b < last; ++b)
                    *cells++ = static_cast<std::int32_t>(table.itemConcepts[a] * n +
                                                         table.itemConcepts[b]);
        }
    }
    return table;
}

void studentDistanceInto(const ItemConceptBits& table, const std::vector<std::uint64_t>& correct,
                         int itemCount, DistanceMatrix& out) {
    distanceInto(table, correct, itemCount,
                 Currency::fromInt(static_cast<std::int64_t>(itemCount) + 1), out);
}

bool studentUnitsInto(const ItemConceptBits& table, const std::vector<std::uint64_t>& correct,
                      int itemCount, WholeDistanceMatrix& out) {
    if (itemCount < 0 || itemCount + 1 >= kWholeDistanceLimit) return false;
    out.resizeSquare(table.conceptCount, kUnitRowAlign);
    distanceInto(table, correct, itemCount, static_cast<std::int16_t>(itemCount + 1), out);
    return true;
}

}  // namespace qv
