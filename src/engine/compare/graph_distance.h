#pragma once

#include "compare/link_rows.h"
#include "core/matrix.h"

namespace qv {

// Links on a shortest path between every two concepts, when that number is at
// most 7; 0 otherwise (and on the diagonal). Breadth-first, O(n^2) per source.
GraphDistanceMatrix PointDistanceNO(const LinkMatrix& links, int n);

// The same into `out`, reusing its storage when it already has the size.
void PointDistanceNOInto(const LinkMatrix& links, int n, GraphDistanceMatrix& out);
// The same for a network read as rows.
void PointDistanceNOInto(const LinkRows& links, GraphDistanceMatrix& out);

}  // namespace qv
