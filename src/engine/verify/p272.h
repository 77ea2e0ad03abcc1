#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/matrix.h"

namespace qv {

// The fixed seven-concept example (concepts A to G) that the verification
// window checks the comparison algorithms and the drawing on.
inline constexpr int kExampleConcepts = 7;

// The standard: A-B, A-C, B-D, B-E, C-F, C-G (a tree rooted at A).
LinkMatrix ExampleNet1();
// A-B, A-D, A-E, B-C, C-F, C-G.
LinkMatrix ExampleNet2();
// A-B, B-D, B-E, C-F, C-G: two separate parts.
LinkMatrix ExampleNet3();
// "A" ... "G".
std::vector<std::string> ExampleLabels();

// Row 0 compares networks 1 and 2, row 1 networks 1 and 3. Columns: PFC, GTD,
// Match/Miss/Over on STD, Match/Miss/Over on Target (percentages).
using ExampleResultsTable = std::array<std::array<double, 8>, 2>;

// What the verification window holds while it is open: the three networks,
// their graph distances once computed, and the results table.
class P272Examples {
  public:
    P272Examples();

    const LinkMatrix& network(int p) const { return nets_.at(static_cast<std::size_t>(p - 1)); }
    bool hasGraphDistances() const { return !distances_[0].empty(); }
    const ExampleResultsTable& results() const { return results_; }

    // The graph distances of the three networks, recomputed; the text that
    // replaces the result box: a header line and seven rows per network.
    std::string graphDistanceText(std::string_view lineBreak);

    // PFC and GTD of networks 1-2 and 1-3, stored in columns 0 and 1; the
    // text that replaces the result box. Computes the graph distances first
    // when they are missing.
    std::string indexText(std::string_view lineBreak);

    // The six link rates of networks 1-2 and 1-3, stored in columns 2 to 7;
    // the text that is appended to the result box.
    std::string linkRateText(std::string_view lineBreak);

  private:
    std::string rateBlock(int row, std::string_view lineBreak);

    std::array<LinkMatrix, 3> nets_;
    std::array<GraphDistanceMatrix, 3> distances_;
    ExampleResultsTable results_{};
};

}  // namespace qv
