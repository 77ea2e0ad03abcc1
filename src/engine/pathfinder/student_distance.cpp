#include "pathfinder/student_distance.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "core/bit_ops.h"
#include "core/kernels.h"

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
// and the item count; into a buffer each thread reuses.
const std::uint64_t* countedItems(const ItemConceptBits& table,
                                  const std::vector<std::uint64_t>& correct, int itemCount) {
    thread_local std::vector<std::uint64_t> counted;
    const int limit = std::min(itemCount, table.itemCount);
    counted.resize(static_cast<std::size_t>(std::max(table.words, 1)));
    for (int w = 0; w < table.words; ++w) {
        const std::uint64_t c = static_cast<std::size_t>(w) < correct.size() ? correct[w] : 0;
        counted[static_cast<std::size_t>(w)] = c & wordMask(limit, w);
    }
    return counted.data();
}

// The cell values: Currency, or whole numbers in 16 bits.
Currency cellValue(std::int64_t count, const Currency*) {
    return Currency::fromRaw(count * kOne);
}
std::int16_t cellValue(std::int64_t count, const std::int16_t*) {
    return static_cast<std::int16_t>(count);
}

// Pair by pair: the popcount of the XOR of the two concepts' counted items.
// kWords fixes the words per concept at compile time (0: as the table has).
template <int kWords, typename T>
[[gnu::always_inline]] inline void pairByPair(const ItemConceptBits& table,
                                              const std::uint64_t* counted, T unrelated,
                                              Matrix<T>& d) {
    const int n = table.conceptCount;
    const int words = kWords > 0 ? kWords : table.words;
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
                differ += countBits(a[w] ^ b[w]);
            d(i, j) = d(j, i) =
                empty[static_cast<std::size_t>(i)] && empty[static_cast<std::size_t>(j)]
                    ? unrelated
                    : cellValue(differ, static_cast<const T*>(nullptr));
        }
    }
}

// Byte m of entry b is 2 when bit m of b is set, 0 otherwise.
constexpr auto kTwiceBytes = [] {
    std::array<std::uint64_t, 256> t{};
    for (std::size_t b = 0; b < 256; ++b)
        for (int m = 0; m < 8; ++m)
            if ((b >> m) & 1u) t[b] |= std::uint64_t{2} << (8 * m);
    return t;
}();

// Item by item: |a xor b| = |a| + |b| - 2 |a and b|. |a| and |b| are bit
// counts per concept; |a and b| counts the right answers whose item covers
// both concepts, which for a quiz of a few concepts per item is a short list
// of (cell, item) pairs fixed by the table. Cells go into rows of
// countRowStride, whose padding is left zero.
template <typename S>
[[gnu::always_inline]] inline void sharedItemCounts(const ItemConceptBits& table,
                                                    const std::uint64_t* counted, S unrelated,
                                                    S* cells) {
    const int n = table.conceptCount;
    const auto rowStride = static_cast<std::size_t>(table.countRowStride);
    thread_local std::vector<S> own, inRow;
    own.assign(rowStride, 0);
    inRow.assign(rowStride, 0);
    for (int c = 0; c < n; ++c) {
        const std::uint64_t* bits = table.conceptBits(c);
        std::int64_t count = 0;
        for (int w = 0; w < table.words; ++w)
            count += countBits(bits[w] & counted[w]);
        own[static_cast<std::size_t>(c)] = static_cast<S>(count);
        inRow[static_cast<std::size_t>(c)] = static_cast<S>(-1);
    }
    // A vector of lanes at a time: every row is whole vectors long.
    typedef S Lanes __attribute__((vector_size(32)));
    constexpr std::size_t kLanes = sizeof(Lanes) / sizeof(S);
    static_assert(kUnitRowAlign % kLanes == 0);
    const Lanes far = Lanes{} + unrelated;
    for (int i = 0; i < n; ++i) {
        S* row = cells + static_cast<std::size_t>(i) * rowStride;
        const Lanes oi = Lanes{} + own[static_cast<std::size_t>(i)];
        for (std::size_t j = 0; j < rowStride; j += kLanes) {
            Lanes oj, keep;
            std::memcpy(&oj, own.data() + j, sizeof oj);
            std::memcpy(&keep, inRow.data() + j, sizeof keep);
            const Lanes v = ((oi | oj) == 0 ? far : oi + oj) & keep;
            std::memcpy(row + j, &v, sizeof v);
        }
        row[i] = 0;
    }
    // Two for each right answer, a byte an item, eight items a lookup.
    thread_local std::vector<std::uint8_t> twice;
    twice.resize(static_cast<std::size_t>(table.words) * 64);
    for (int w = 0; w < table.words; ++w)
        for (int b = 0; b < 8; ++b)
            std::memcpy(twice.data() + 64 * w + 8 * b, &kTwiceBytes[(counted[w] >> (8 * b)) & 0xFF],
                        8);
    // Never a cell at `unrelated`: an item that covers both concepts gives each a count.
    const std::int32_t* at = table.sharedCells.data();
    const std::int32_t* items = table.sharedItems.data();
    const std::uint8_t* right = twice.data();
    const std::size_t pairs = table.sharedCells.size();
    for (std::size_t e = 0; e < pairs; ++e)
        cells[at[e]] = static_cast<S>(cells[at[e]] - right[items[e]]);
}

template <typename T>
[[gnu::always_inline]] inline void byItem(const ItemConceptBits& table,
                                          const std::uint64_t* counted, int itemCount, T unrelated,
                                          Matrix<T>& d) {
    const int n = table.conceptCount;
    d.resizeSquare(n);
    if constexpr (std::is_same_v<T, std::int16_t>) {
        // Rows padded alike take the counts in place.
        if (d.stride() == table.countRowStride && n > 0) {
            sharedItemCounts(table, counted, unrelated, d.rowData(0));
            return;
        }
    }
    // Counts up to the item count, below 2^15 for this way of counting.
    thread_local std::vector<std::int32_t> scratch;
    scratch.resize(static_cast<std::size_t>(n) * static_cast<std::size_t>(table.countRowStride));
    sharedItemCounts(table, counted, std::int32_t{itemCount} + 1, scratch.data());
    for (int i = 0; i < n; ++i) {
        const std::int32_t* from =
            scratch.data() + static_cast<std::size_t>(i) * table.countRowStride;
        T* to = d.rowData(i);
        for (int j = 0; j < n; ++j)
            to[j] = cellValue(from[j], static_cast<const T*>(nullptr));
    }
}

// Item by item when the table says so (few concept pairs per item), else
// pair by pair, with one word per concept fixed at compile time.
template <typename T>
[[gnu::always_inline]] inline void distanceWith(const ItemConceptBits& table,
                                                const std::vector<std::uint64_t>& correct,
                                                int itemCount, T unrelated, Matrix<T>& out) {
    const std::uint64_t* counted = countedItems(table, correct, itemCount);
    if (table.countByItem)
        byItem(table, counted, itemCount, unrelated, out);
    else if (table.words == 1)
        pairByPair<1>(table, counted, unrelated, out);
    else
        pairByPair<0>(table, counted, unrelated, out);
}

QV_KERNEL void moneyDistance(const ItemConceptBits& table,
                             const std::vector<std::uint64_t>& correct, int itemCount,
                             DistanceMatrix& out) {
    distanceWith(table, correct, itemCount,
                 Currency::fromInt(static_cast<std::int64_t>(itemCount) + 1), out);
}

QV_KERNEL void unitDistance(const ItemConceptBits& table, const std::vector<std::uint64_t>& correct,
                            int itemCount, WholeDistanceMatrix& out) {
    distanceWith(table, correct, itemCount, static_cast<std::int16_t>(itemCount + 1), out);
}

}  // namespace

std::optional<ItemConceptBits> makeItemConceptBits(const ItemMatrix& itemConcept) {
    return makeItemConceptBits(itemConcept, itemConcept.cols());
}

std::optional<ItemConceptBits> makeItemConceptBits(const ItemMatrix& itemConcept, int conceptCount,
                                                   std::optional<bool> byItem) {
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
    const std::int64_t n = table.conceptCount;
    table.countRowStride =
        static_cast<int>((n + kUnitRowAlign - 1) / kUnitRowAlign * kUnitRowAlign);
    // Every ordered pair of concepts an item covers, item by item.
    std::vector<int> covered;
    for (int k = 0; k < table.itemCount; ++k) {
        covered.clear();
        for (int c = 0; c < table.conceptCount; ++c)
            if ((table.conceptBits(c)[k / 64] >> (k % 64)) & 1u) covered.push_back(c);
        for (int a : covered)
            for (int b : covered) {
                if (a == b) continue;
                table.sharedCells.push_back(
                    static_cast<std::int32_t>(a * table.countRowStride + b));
                table.sharedItems.push_back(k);
            }
    }
    // Item by item walks those pairs and n rows of counts per student.
    const auto shared = static_cast<std::int64_t>(table.sharedCells.size());
    table.countByItem = byItem.value_or(table.words > 0 && shared + n * table.words + n * n / 8 <=
                                                               n * (n - 1) / 2 * table.words) &&
                        table.itemCount < INT16_MAX / 2;
    if (!table.countByItem) {
        table.sharedCells = {};
        table.sharedItems = {};
    }
    return table;
}

void studentDistanceInto(const ItemConceptBits& table, const std::vector<std::uint64_t>& correct,
                         int itemCount, DistanceMatrix& out) {
    moneyDistance(table, correct, itemCount, out);
}

bool studentUnitsInto(const ItemConceptBits& table, const std::vector<std::uint64_t>& correct,
                      int itemCount, WholeDistanceMatrix& out) {
    if (itemCount < 0 || itemCount + 1 >= kWholeDistanceLimit) return false;
    out.resizeSquare(table.conceptCount, kUnitRowAlign);
    unitDistance(table, correct, itemCount, out);
    return true;
}

}  // namespace qv
