#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/matrix.h"
#include "pathfinder/whole_distances.h"

namespace qv {

// The item-concept table as one bitset over the items per concept, for the
// per-student distances: with 0/1 data the squared column difference summed
// over the counted items is the popcount of an XOR.
struct ItemConceptBits {
    int itemCount = 0;                // rows of the table
    int conceptCount = 0;             // columns; concepts beyond the table's columns are empty
    int words = 0;                    // 64-bit words per concept
    std::vector<std::uint64_t> bits;  // conceptCount x words
    // Whether a student's distances are counted item by item, from the pairs
    // of concepts each right answer covers, rather than pair by pair over the
    // bitsets: chosen by makeItemConceptBits when the items' concept pairs are
    // few, as in quizzes of a few concepts per item.
    bool countByItem = false;
    // For counting by item: the row stride of the counts, padded as the
    // whole-unit matrices are, and every ordered pair of distinct concepts
    // that an item covers, as its cell (row * countRowStride + column) and
    // the item.
    int countRowStride = 0;
    std::vector<std::int32_t> sharedCells;
    std::vector<std::int32_t> sharedItems;

    const std::uint64_t* conceptBits(int c) const {
        return bits.data() + static_cast<std::size_t>(c) * words;
    }
};

// Built once per run. Empty when some entry is neither 0 nor 1, which no
// loader gives and a run refuses. conceptCount defaults to the
// table's columns; `byItem` sets the way of counting instead of the cost
// estimate (both give the same distances).
std::optional<ItemConceptBits> makeItemConceptBits(const ItemMatrix& itemConcept);
std::optional<ItemConceptBits> makeItemConceptBits(const ItemMatrix& itemConcept, int conceptCount,
                                                   std::optional<bool> byItem = std::nullopt);

// A student's concept distances into `out`, reusing its storage when it
// already has the size: for two concepts, the number of counted items (right
// answers among the first itemCount) that cover exactly one of them, or
// itemCount + 1 when no counted item covers either; the diagonal 0.
// `correct` is the student's correct-answer bitset (bit m of word m / 64 for
// item m + 1); words it lacks count as wrong answers.
void studentDistanceInto(const ItemConceptBits& table, const std::vector<std::uint64_t>& correct,
                         int itemCount, DistanceMatrix& out);

// The same distances as whole numbers (every one is: a count of items, or the
// item count + 1 for concepts without counted items), for the run's integer
// work. False, `out` untouched, when the item count is 2^13 - 1 or more.
bool studentUnitsInto(const ItemConceptBits& table, const std::vector<std::uint64_t>& correct,
                      int itemCount, WholeDistanceMatrix& out);

}  // namespace qv
