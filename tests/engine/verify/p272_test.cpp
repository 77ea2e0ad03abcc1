#include "verify/p272.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(examples.results()[1], (std::array<double, 8>{0.881, -0.491}));  // rates untouched

    P272Examples afterDistances;
    afterDistances.graphDistanceText(kLb);
    EXPECT_EQ(afterDistances.indexText(kLb), expected);
}

TEST(P272, LinkRatesAreAppended) {
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
    // Indices untouched.
    EXPECT_EQ(examples.results()[1], (std::array<double, 8>{0, 0, 83.333, 16.667, 0, 100, 20, 0}));
}

}  // namespace
}  // namespace qv
