#pragma once

#include <string>
#include <vector>

#include "analysis/group_compare.h"
#include "layout/force_layout.h"
#include "report/canvas.h"

namespace qv {

// The pages of a comparison of two groups, drawn like every other drawing so
// that the window, the printout and the command line's files show one picture:
//   1  both sides' networks side by side, the concepts at the same places;
//   2  the pairs sorted by p, as many as fit;
//   3  (paired only) each matched student's PFC at both occasions.
int comparePageCount(const CompareResults& results);

// `positions` come from ForceLayout(results.layoutLinks); the circle when they
// do not hold one point per concept. A page beyond the count draws nothing.
void DrawComparePage(Canvas& canvas, const CompareResults& results,
                     const std::vector<PlanePoint>& positions, int page);

// The pairs in the order of the table: by p, then by pair.
std::vector<const PairTest*> pairsByP(const CompareResults& results);

// How the table page and the window write a p- or q-value: four decimals, and
// "< 0.0001" for a value that would round to 0.
std::string pValueText(double p);

// What the side's panel shows: the mean network when there is one, else the
// majority network.
const std::vector<std::array<int, 2>>& shownNetwork(const CompareResults& results, int side);

// The pair tests count a difference as significant below this q.
inline constexpr double kCompareAlpha = 0.05;

}  // namespace qv
