#include "verify/p272.h"

#include <initializer_list>
#include <utility>

#include "compare/graph_distance.h"
#include "compare/indices.h"
#include "compare/link_flags.h"
#include "core/number_text.h"

namespace qv {

namespace {

enum Concept { A, B, C, D, E, F, G };

LinkMatrix network(std::initializer_list<std::pair<int, int>> links) {
    LinkMatrix m(kExampleConcepts, kExampleConcepts);
    for (const auto& [a, b] : links)
        m(a, b) = m(b, a) = 1;
    return m;
}

constexpr std::array<const char*, 3> kHeaders = {"網路一", "網路二", "網路三"};
constexpr std::array<const char*, 2> kPairHeaders = {"網路一與網路二", "網路一與網路三"};

// An index or rate as the box shows it; the fixed examples always have one.
std::string valueText(const std::optional<double>& value) {
    return numberText(value.value_or(0));
}

}  // namespace

LinkMatrix ExampleNet1() {
    return network({{A, B}, {A, C}, {B, D}, {B, E}, {C, F}, {C, G}});
}
LinkMatrix ExampleNet2() {
    return network({{A, B}, {A, D}, {A, E}, {B, C}, {C, F}, {C, G}});
}
LinkMatrix ExampleNet3() {
    return network({{A, B}, {B, D}, {B, E}, {C, F}, {C, G}});
}

std::vector<std::string> ExampleLabels() {
    return {"A", "B", "C", "D", "E", "F", "G"};
}

P272Examples::P272Examples() : nets_{ExampleNet1(), ExampleNet2(), ExampleNet3()} {}

std::string P272Examples::graphDistanceText(std::string_view lineBreak) {
    std::string text;
    for (std::size_t p = 0; p < nets_.size(); ++p) {
        distances_[p] = PointDistanceNO(nets_[p], kExampleConcepts);
        text.append(kHeaders[p]).append(lineBreak);
        for (int r = 0; r < kExampleConcepts; ++r) {
            for (int c = 0; c < kExampleConcepts; ++c)
                text.append(std::to_string(distances_[p](r, c))).append(" ");
            text.append(lineBreak);
        }
    }
    return text;
}

std::string P272Examples::indexText(std::string_view lineBreak) {
    if (!hasGraphDistances()) {
        for (std::size_t p = 0; p < nets_.size(); ++p)
            distances_[p] = PointDistanceNO(nets_[p], kExampleConcepts);
    }
    std::string text;
    for (std::size_t row = 0; row < 2; ++row) {
        const auto pfc = PfcIndex(nets_[0], nets_[row + 1], kExampleConcepts);
        const auto gtd = GtdIndex(distances_[0], distances_[row + 1], kExampleConcepts);
        results_[row][0] = pfc.value_or(0);
        results_[row][1] = gtd.value_or(0);
        text.append(kPairHeaders[row]).append(lineBreak);
        text.append("PFC=").append(valueText(pfc)).append(lineBreak);
        text.append("GTD=").append(valueText(gtd)).append(lineBreak);
    }
    return text;
}

std::string P272Examples::rateBlock(int row, std::string_view lineBreak) {
    static constexpr std::array<const char*, 6> kLabels = {
        "MatchLinks on STD=",    "MissLinks on STD=",    "OverLinks on STD=",
        "MatchLinks on Target=", "MissLinks on Target=", "OverLinks on Target="};
    LinkFlagCounts counts{};
    CountLinkFlags(nets_[0], nets_[static_cast<std::size_t>(row) + 1], kExampleConcepts, counts);
    const std::array<std::optional<double>, 6> rates = {
        linkRate(counts[kMatch], counts[kStdLinks]),
        linkRate(counts[kMiss], counts[kStdLinks]),
        linkRate(counts[kOver], counts[kStdLinks]),
        linkRate(counts[kMatch], counts[kTargetLinks]),
        linkRate(counts[kMiss], counts[kTargetLinks]),
        linkRate(counts[kOver], counts[kTargetLinks])};
    std::string text;
    text.append(kPairHeaders[static_cast<std::size_t>(row)]).append(lineBreak);
    for (std::size_t r = 0; r < rates.size(); ++r) {
        results_[static_cast<std::size_t>(row)][r + 2] = rates[r].value_or(0);
        text.append(kLabels[r]).append(valueText(rates[r])).append("%").append(lineBreak);
    }
    return text;
}

std::string P272Examples::linkRateText(std::string_view lineBreak) {
    return rateBlock(0, lineBreak) + rateBlock(1, lineBreak);
}

}  // namespace qv
