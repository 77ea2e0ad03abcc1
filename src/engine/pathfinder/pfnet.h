#pragma once

#include <functional>
#include <string>

#include "core/expected.h"
#include "core/matrix.h"
#include "pathfinder/whole_distances.h"

namespace qv {

// How the length of a path is taken: the sum of its link distances (r = 1) or
// the longest of them (r = infinity).
enum class PfnetR { One, Infinity };

struct PfnetParams {
    PfnetR r = PfnetR::Infinity;
    // The most links a path may have; 0 stands for n - 1, which gives the
    // minimal network.
    int q = 0;
    friend bool operator==(const PfnetParams&, const PfnetParams&) = default;
};

// q as it applies to n concepts: 0 (and anything past n - 1) is n - 1.
int pfnetHops(PfnetParams params, int n);

// "PFNET(r=∞, q=19)" for n = 20.
std::string pfnetName(PfnetParams params, int n);

// The largest q below n - 1 that checkPfnetParams takes for n concepts (1
// when none): such a q costs up to 2 log2 q products of n^3 steps, kept
// within kMaxPfnetBoundedSteps. n - 1 itself is always taken.
int pfnetMostBoundedHops(int n);

// Refuses a q other than 0 outside 2 .. n - 1, and one between
// pfnetMostBoundedHops(n) and n - 1.
Expected<void> checkPfnetParams(PfnetParams params, int n);

// How a refusal names cell (row, col), 0-based: "第 2 列第 3 欄" of the matrix
// by default; a reader of a file names the line and the field instead.
using CellName = std::function<std::string(int row, int col)>;
std::string matrixCellName(int row, int col);

// Refuses what PfnetNetwork refuses about the matrix: a concept count outside
// the matrix, a negative entry, an entry that differs from its mirror.
Expected<void> checkPfnetMatrix(const DistanceMatrix& d, int n,
                                const CellName& cellName = matrixCellName);

// PFNET(r, q) of a symmetric, non-negative distance matrix: concepts i != j are
// linked exactly when no path of at most q links between them is strictly
// shorter than D(i, j). Comparisons are exact on the fixed-point values; a path
// of equal length does not cut a link. The diagonal is not read.
//
// By case: r = infinity, q = n - 1 from a minimum spanning tree, O(n^2) (a
// pair is linked when its distance does not exceed the longest link on the
// tree path between them); r = 1, q = n - 1 from the pairs in ascending
// order, each cut by a path already found, by two links or by searches from
// both ends over the network found so far (all shortest paths at once, n^3,
// up to 256 concepts); any other q from powers of D in the min-max or
// min-plus algebra, n^3 log q. (Schvaneveldt, Pathfinder Associative Networks, 1990; the r = 1
// searches follow the idea of Karger, Koller and Phillips's hidden paths, 1993.)
//
// Refusals: checkPfnetMatrix, checkPfnetParams.
Expected<LinkMatrix> PfnetNetwork(const DistanceMatrix& d, int n, PfnetParams params);

// The same without the checks, for matrices built by the run (symmetric and
// non-negative); q may be any value of at least 1 (1 links every pair), 0 for
// n - 1. `out` becomes n x n, its storage reused when it already has the size.
void PfnetNetworkInto(const DistanceMatrix& d, int n, PfnetParams params, LinkMatrix& out);
void PfnetNetworkInto(const WholeDistanceMatrix& d, int n, PfnetParams params, LinkMatrix& out);

}  // namespace qv
