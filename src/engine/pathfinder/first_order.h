#pragma once

#include "core/link_rows.h"
#include "core/matrix.h"
#include "pathfinder/whole_distances.h"

namespace qv {

// First-order triangle network over pairs i < j, with the threshold taken
// from row 0 (the largest of 0, D(0,1), ..., D(0,n-1)); both halves written.
// O(n^3).
LinkMatrix FirstOrderTriangle(const DistanceMatrix& d, int n);

// First-order network over every ordered pair, no threshold; each half is
// decided on its own visit. O(n^3).
LinkMatrix FirstOrderPathSearch(const DistanceMatrix& d, int n);

// The same into `out`, reusing its storage when it already has the size.
void FirstOrderTriangleInto(const DistanceMatrix& d, int n, LinkMatrix& out);
void FirstOrderPathSearchInto(const DistanceMatrix& d, int n, LinkMatrix& out);

// The same two networks, in n^2 steps, of whole-number distances that count the items in
// which two concepts' answered items differ, `unrelated` standing for two
// concepts with none (what studentUnitsInto gives). Such counts obey the
// triangle inequality, so a two-link path can only cut a pair at `unrelated`.
void FirstOrderOfCountsInto(bool triangle, const WholeDistanceMatrix& counts, int n,
                            std::int16_t unrelated, LinkMatrix& out);
// The same as bit rows, as the run reads them.
void FirstOrderOfCountsInto(bool triangle, const WholeDistanceMatrix& counts, int n,
                            std::int16_t unrelated, LinkRows& out);

}  // namespace qv
