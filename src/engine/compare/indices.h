#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "compare/graph_distance.h"
#include "core/link_rows.h"
#include "core/matrix.h"
#include "pathfinder/whole_distances.h"

namespace qv {

// The three similarity indices, STD first and Target second, each rounded to
// three decimals by roundIndex. An empty result means the index has no value
// for these networks (a concept linked in neither network for PFC; n < 2; for
// PRX one side's distances all equal).
std::optional<double> PfcIndex(const LinkMatrix& stdLinks, const LinkMatrix& target, int n);
// The same for networks read as rows (both of one size).
std::optional<double> PfcIndex(const LinkRows& stdLinks, const LinkRows& target);
std::optional<double> GtdIndex(const GraphDistanceMatrix& stdDist,
                               const GraphDistanceMatrix& target, int n);
std::optional<double> PrxIndex(const DistanceMatrix& stdDist, const DistanceMatrix& target, int n);

// GtdIndex of many targets against one standard, equal to
// GtdIndex(stdDist, target, n) of the target's graph distances; the standard
// is read once, into its sums and bit planes.
class GtdAgainst {
  public:
    GtdAgainst(const GraphDistanceMatrix& stdDist, int n);
    // Of the target's network (n concepts), searching it as the sums are taken.
    std::optional<double> index(const LinkRows& target) const;

  private:
    int n_;
    // The standard's own sums, and its upper triangle as bit planes: bit b of
    // cell (i, j) at bit j of planes_[(i * planeCount_ + b) * words_].
    std::int64_t sx_ = 0, sxx_ = 0;
    int planeCount_ = 0, words_ = 0;
    std::vector<std::uint64_t> planes_;
};

// PrxIndex of many targets against one standard, equal to
// PrxIndex(stdDist, target, n); whether the standard is in whole units is
// found once. The standard must outlive it. Whole-unit targets have no cell
// beyond `largestTarget` in magnitude (a run's: the item count + 1).
class PrxAgainst {
  public:
    PrxAgainst(const DistanceMatrix& stdDist, int n, int largestTarget = kWholeDistanceLimit - 1);
    std::optional<double> index(const DistanceMatrix& target) const;
    // Of whole-number distances (each below kWholeDistanceLimit in magnitude).
    // Rows padded to kUnitRowAlign are read whole: the matrix must then be
    // symmetric with a zero diagonal, as studentUnitsInto gives it.
    std::optional<double> index(const WholeDistanceMatrix& target) const;

  private:
    const DistanceMatrix& std_;
    int n_;
    std::optional<WholeDistanceMatrix> units_;  // the standard, when all whole
    std::int64_t sx_ = 0, sxx_ = 0;             // and its own sums then
    std::size_t block_ = 0;                     // and the cells summed in 32 bits
};

// Pearson's r over the cells i < j of two matrices of any size of values,
// whose sums PrxIndex's fixed-point steps cannot hold (a summed referent, a
// group's summed matrix): the sums taken exactly in whole ten-thousandths, one
// division at the end. Empty when a side has every cell equal, or n < 2.
std::optional<double> summedCorrelation(const DistanceMatrix& x, const DistanceMatrix& y, int n);
// PRX against a referent's summed matrix: summedCorrelation rounded by roundIndex.
std::optional<double> summedPrxIndex(const DistanceMatrix& referent, const DistanceMatrix& target,
                                     int n);

// The correlations behind GtdIndex and PrxIndex before r itself is rounded:
// the sums and Q carry their fixed rounding, r does not. Empty when n < 2 or
// when one side's upper-triangle cells are all equal.
std::optional<double> gtdCorrelation(const GraphDistanceMatrix& stdDist,
                                     const GraphDistanceMatrix& target, int n);
std::optional<double> prxCorrelation(const DistanceMatrix& stdDist, const DistanceMatrix& target,
                                     int n);

}  // namespace qv
