#pragma once

#include <optional>

#include "core/matrix.h"
#include "pathfinder/network_limits.h"

namespace qv {

// The DC network: a pair i < j stays linked when D(i, j) is 0, or it is not
// `unlinkedDistance` and no one, two or three distinct links, each shorter
// than D(i, j), the first leaving i and the last entering j (they need not
// meet), add up to less. Symmetric; n^2 steps.
// Needs 0 <= n <= the matrix size and n <= kMaxDcConcepts (see checkDcConceptCount).
LinkMatrix DCNetwork(const DistanceMatrix& d, int n, Currency unlinkedDistance);

// The same, giving up (no result) soon after `cancel` is set.
std::optional<LinkMatrix> DCNetwork(const DistanceMatrix& d, int n, Currency unlinkedDistance,
                                    const CancelFlag& cancel);

}  // namespace qv
