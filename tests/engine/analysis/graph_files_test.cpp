#include <gtest/gtest.h>

#include "analysis/run.h"
#include "analysis/synthetic_class.h"
#include "class_files.h"
#include "data/graph_files.h"
#include "report/class_charts.h"

namespace qv {
namespace {

constexpr GraphFormat kFormats[] = {GraphFormat::GraphMl, GraphFormat::Gml, GraphFormat::Pajek};

// The file written here and igraph's agree to the byte, or both fail alike.
void expectIgraphsBytes(const GraphNetwork& net, const std::string& what) {
    for (GraphFormat format : kFormats) {
        const auto ours = graphFileBytes(format, net);
        const auto igraphs = igraphGraphFileBytes(format, net);
        ASSERT_EQ(bool(ours), bool(igraphs)) << what << " " << graphFileExtension(format);
        if (ours) {
            ASSERT_EQ(*ours, *igraphs) << what << " " << graphFileExtension(format);
        } else {
            EXPECT_EQ(ours.error().message(), igraphs.error().message());
        }
    }
}

TEST(GraphFiles, EveryNetworkOfAClassIsWhatIgraphWrites) {
    test::ClassFiles f;
    const SyntheticClassFiles files = makeSyntheticClass({120, 14, 30, 7});
    ASSERT_TRUE(f.loadClass(files.conceptFile, files.itemConceptFile, files.studentFile));
    const auto run = runAnalysis(f.data, {});
    ASSERT_TRUE(run);
    const int n = f.state().conceptCount;
    std::vector<std::string> labels;
    for (int k = 0; k < n; ++k)
        labels.push_back(conceptLabel(k, f.state().conceptNames));
    const LinkRows standard = linkRows(run->stdLinks, n);
    expectIgraphsBytes({labels, standard, run->stdDistance}, "standard");
    for (const StudentRecord& r : run->students)
        expectIgraphsBytes({labels, r.links, r.distance, &standard}, r.id);
}

TEST(GraphFiles, AwkwardLabelsAndDistancesAreWhatIgraphWrites) {
    constexpr int n = 4;
    LinkMatrix all(n, n, 1), none(n, n, 0), some(n, n, 0);
    some(0, 3) = some(3, 0) = some(1, 2) = some(2, 1) = 1;
    DistanceMatrix distance(n, n);
    const std::int64_t raws[] = {0, 1, 10, 1234, 120000, 12345678, 1234567890125000, -2500};
    for (int i = 0, k = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j, ++k)
            distance(i, j) = distance(j, i) = Currency::fromRaw(raws[k % std::size(raws)]);
    const LinkRows standard = linkRows(some, n);
    std::vector<std::string> labels = {"a<&>\"'b\\c", "概念 ∑ é", "tab\tline\nret\r", ""};
    for (const LinkMatrix* links : {&all, &none, &some}) {
        const LinkRows rows = linkRows(*links, n);
        expectIgraphsBytes({labels, rows, distance}, "plain");
        expectIgraphsBytes({labels, rows, distance, &standard}, "classed");
    }
    // Control characters, which XML forbids all but three of.
    const LinkRows rows = linkRows(some, n);
    for (char c = 1; c < 0x20; ++c) {
        labels[3] = std::string("x") + c + "y";
        expectIgraphsBytes({labels, rows, distance, &standard}, "control " + std::to_string(c));
    }
}

}  // namespace
}  // namespace qv
