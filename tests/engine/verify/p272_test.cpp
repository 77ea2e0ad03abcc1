#include "verify/p272.h"

#include <gtest/gtest.h>

#include "compare/link_flags.h"
#include "core/state.h"

namespace qv {
namespace {

const std::string kLb(kLineBreak);

// Seven rows of seven entries, each entry followed by one blank.
std::string rows(const std::array<const char*, 7>& r) {
    std::string text;
    for (const char* row : r) {
        for (const char* c = row; *c != '\0'; ++c)
            text += std::string(1, *c) + " ";
        text += kLb;
    }
    return text;
}

TEST(P272, NetworksAndLabels) {
    const std::array nets = {ExampleNet1(), ExampleNet2(), ExampleNet3()};
    const std::array<int, 3> linkCounts = {6, 6, 5};
    for (std::size_t p = 0; p < 3; ++p) {
        ASSERT_EQ(nets[p].rows(), 7);
        int links = 0;
        for (int i = 0; i < 7; ++i)
            for (int j = 0; j < 7; ++j) {
                EXPECT_EQ(nets[p](i, j), nets[p](j, i));
                if (i < j && nets[p](i, j)) ++links;
            }
        EXPECT_EQ(links, linkCounts[p]);
    }
    EXPECT_TRUE(nets[0](0, 2) && !nets[2](0, 2));  // A-C only in the standard
    EXPECT_EQ(ExampleLabels(), (std::vector<std::string>{"A", "B", "C", "D", "E", "F", "G"}));
}

TEST(P272, GraphDistanceText) {
    P272Examples examples;
    EXPECT_FALSE(examples.hasGraphDistances());
    const std::string expected =
        "網路一" + kLb +
        rows({"0112222", "1021133", "1203311", "2130244", "2132044", "2314402", "2314420"}) +
        "網路二" + kLb +
        rows({"0121133", "1012222", "2103311", "1230244", "1232044", "3214402", "3214420"}) +
        "網路三" + kLb +
        rows({"0102200", "1001100", "0000011", "2100200", "2102000", "0010002", "0010020"});
    EXPECT_EQ(examples.graphDistanceText(kLb), expected);
    EXPECT_TRUE(examples.hasGraphDistances());
    EXPECT_EQ(examples.graphDistanceText(kLb), expected);  // recomputed, same
}

TEST(P272, IndexTextStoresPfcAndGtd) {
    const std::string expected = "網路一與網路二" + kLb + "PFC=0.429" + kLb + "GTD=0.794" + kLb +
                                 "網路一與網路三" + kLb + "PFC=0.881" + kLb + "GTD=-0.491" + kLb;
    P272Examples examples;
    EXPECT_EQ(examples.results(), ExampleResultsTable{});
    // Without the distances of the first command they are computed first.
    EXPECT_EQ(examples.indexText(kLb), expected);
    EXPECT_TRUE(examples.hasGraphDistances());
    EXPECT_DOUBLE_EQ(examples.results()[0][0], 0.429);
    EXPECT_DOUBLE_EQ(examples.results()[0][1], 0.794);
    EXPECT_DOUBLE_EQ(examples.results()[1][0], 0.881);
    EXPECT_DOUBLE_EQ(examples.results()[1][1], -0.491);
    EXPECT_EQ(examples.results()[0][2], 0.0);  // rates untouched

    P272Examples afterDistances;
    afterDistances.graphDistanceText(kLb);
    EXPECT_EQ(afterDistances.indexText(kLb), expected);
}

TEST(P272, LinkCountsAndRates) {
    LinkFlagCounts c12{}, c13{};
    CountLinkFlags(ExampleNet1(), ExampleNet2(), 7, c12);
    CountLinkFlags(ExampleNet1(), ExampleNet3(), 7, c13);
    EXPECT_EQ(c12, (LinkFlagCounts{3, 3, 3, 12, 6, 6}));
    EXPECT_EQ(c13, (LinkFlagCounts{5, 1, 0, 15, 6, 5}));

    const std::string expected =
        "網路一與網路二" + kLb + "MatchLinks on STD=50%" + kLb + "MissLinks on STD=50%" + kLb +
        "OverLinks on STD=50%" + kLb + "MatchLinks on Target=50%" + kLb +
        "MissLinks on Target=50%" + kLb + "OverLinks on Target=50%" + kLb + "網路一與網路三" + kLb +
        "MatchLinks on STD=83.333%" + kLb + "MissLinks on STD=16.667%" + kLb +
        "OverLinks on STD=0%" + kLb + "MatchLinks on Target=100%" + kLb +
        "MissLinks on Target=20%" + kLb + "OverLinks on Target=0%" + kLb;
    P272Examples examples;
    EXPECT_EQ(examples.linkRateText(kLb), expected);
    EXPECT_EQ(examples.linkRateText(kLb), expected);
    const std::array<double, 6> row1 = {83.333, 16.667, 0, 100, 20, 0};
    for (std::size_t c = 0; c < 6; ++c) {
        EXPECT_DOUBLE_EQ(examples.results()[0][c + 2], 50);
        EXPECT_DOUBLE_EQ(examples.results()[1][c + 2], row1[c]);
    }
    EXPECT_EQ(examples.results()[0][0], 0.0);  // indices untouched
}

}  // namespace
}  // namespace qv
