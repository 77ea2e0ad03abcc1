#pragma once

#include <optional>

#include "core/matrix.h"
#include "pathfinder/network_limits.h"

namespace qv {

// The reference Pathfinder network: a pair i < j stays linked when D(i, j) is
// 0, or it is not `unlinkedDistance` and no simple path of two to ten links
// (up to nine intermediate concepts) is strictly shorter. The search is a
// plain depth-first enumeration with each path's length summed afresh, kept
// unpruned on purpose: it is the yardstick the faster variants are timed
// against. D is read in the direction of the path, so asymmetric and
// negative matrices are handled as they stand. The result is symmetric.
// Needs 0 <= n <= the matrix size (see checkConceptCount).
LinkMatrix ExhaustivePathFinder(const DistanceMatrix& d, int n, Currency unlinkedDistance);

// The same search, giving up (no result) soon after `cancel` is set.
std::optional<LinkMatrix> ExhaustivePathFinder(const DistanceMatrix& d, int n,
                                               Currency unlinkedDistance, const CancelFlag& cancel);

}  // namespace qv
