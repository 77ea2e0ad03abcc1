#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/matrix.h"
#include "pathfinder/network_limits.h"

namespace qv {

// A directed link: it leaves `first` and enters `second`.
struct ConceptPair {
    std::int16_t first = 0;
    std::int16_t second = 0;
    friend bool operator==(const ConceptPair&, const ConceptPair&) = default;
};

// The pair-by-pair steps that define DCNetwork. DCNetwork itself gets the same
// answer from each concept's shortest links, without calling them.

// Every ordered pair of distinct concepts: (a, b) with a < b, a ascending and
// b ascending within a; then the same pairs reversed in the same order.
std::vector<ConceptPair> BuildPairList(int n);

// Replaces `shortLinks` with the entries of `pairs`, in their order, whose
// distance D(first, second) is strictly below `limit`. Returns true when there
// is none. The buffer is the caller's so that it is reused from pair to pair.
bool CollectShorterLinks(std::vector<ConceptPair>& shortLinks,
                         const std::vector<ConceptPair>& pairs, const DistanceMatrix& d,
                         Currency limit);

// Replaces `positions` with the positions in `shortLinks` of the links leaving
// `from`. Returns true when there is none.
bool CollectLinksFrom(const std::vector<ConceptPair>& shortLinks, int from,
                      std::vector<int>& positions);

// True when one, two or three distinct short links, the first leaving i and
// the last entering j, add up to strictly less than `limit`. The links need
// not meet: the middle link of three may be any other short link.
bool ShortCombinationExists(const std::vector<ConceptPair>& shortLinks, const DistanceMatrix& d,
                            Currency limit, int i, int j);

// The DC network: a pair i < j stays linked when D(i, j) is 0, or it is not
// `unlinkedDistance` and no combination of links shorter than D(i, j) beats
// it (CollectShorterLinks, then ShortCombinationExists). Symmetric; n^2 steps.
// Needs 0 <= n <= the matrix size and n <= kMaxDcConcepts (see checkDcConceptCount).
LinkMatrix DCNetwork(const DistanceMatrix& d, int n, Currency unlinkedDistance);

// The same, giving up (no result) soon after `cancel` is set.
std::optional<LinkMatrix> DCNetwork(const DistanceMatrix& d, int n, Currency unlinkedDistance,
                                    const CancelFlag& cancel);

}  // namespace qv
