#pragma once

#include <optional>

#include "core/matrix.h"
#include "pathfinder/network_limits.h"

namespace qv {

// The reference Pathfinder network: a pair i < j stays linked when D(i, j) is
// 0, or it is not `unlinkedDistance` and no simple path of two to ten links
// (up to nine intermediate concepts) is strictly shorter. D is read in the
// direction of the path, so asymmetric matrices are handled as they stand.
// The result is symmetric.
// Without a negative distance off the diagonal the answer comes from the
// shortest walks of at most ten links, about 9 n^3 steps. With a negative
// distance a path can shorten as it grows, so nothing is cut early: every
// simple path is enumerated depth first, up to n^9 of them per pair.
// Needs 0 <= n <= the matrix size (see checkConceptCount).
LinkMatrix ExhaustivePathFinder(const DistanceMatrix& d, int n, Currency unlinkedDistance);

// The same search, giving up (no result) soon after `cancel` is set.
std::optional<LinkMatrix> ExhaustivePathFinder(const DistanceMatrix& d, int n,
                                               Currency unlinkedDistance, const CancelFlag& cancel);

}  // namespace qv
