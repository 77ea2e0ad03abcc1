#include "report/compare_drawing.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qv {
namespace {

using Kind = CanvasOp::Kind;

// n concepts; A's network 0-1, 1-2; B's 0-1, 2-3; only 2-3 significant.
CompareResults results(int n, CompareDesign design = CompareDesign::TwoClasses) {
    CompareResults r;
    r.design = design;
    r.conceptCount = n;
    for (int c = 0; c < n; ++c)
        r.labels.push_back("概念" + std::to_string(c + 1));
    r.sides[0] = {"甲班", 5, {{0, 1}, {1, 2}}, {}};
    r.sides[1] = {"乙班", 6, {{0, 1}, {2, 3}}, {}};
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            r.tests.pairs.push_back({i, j, 1, 2, 0, 0.5, 0.9});
    for (PairTest& t : r.tests.pairs)
        if (t.i == 2 && t.j == 3) t.p = t.q = 0.01;
    r.tests.permutations = 462;
    return r;
}

struct DrawnLine {
    LayoutPoint from, to;
    Rgb colour;
    int width;
};

std::vector<DrawnLine> linesOf(const RecordingCanvas& c) {
    std::vector<DrawnLine> out;
    int width = 1;
    for (const CanvasOp& op : c.ops()) {
        if (op.kind == Kind::LineWidth) width = op.width;
        if (op.kind == Kind::ColourLine) out.push_back({op.from, op.to, op.colour, width});
    }
    return out;
}

std::vector<LayoutPoint> dotsOf(const RecordingCanvas& c) {
    std::vector<LayoutPoint> out;
    for (const CanvasOp& op : c.ops())
        if (op.kind == Kind::Dot) out.push_back(op.from);
    return out;
}

std::vector<std::string> textsOf(const RecordingCanvas& c) {
    std::vector<std::string> out;
    for (const CanvasOp& op : c.ops())
        if (op.kind == Kind::StyledText) out.push_back(op.text);
    return out;
}

// The link between two dots, and how it is drawn.
std::optional<DrawnLine> linkBetween(const RecordingCanvas& c, LayoutPoint a, LayoutPoint b) {
    for (const DrawnLine& l : linesOf(c))
        if ((l.from == a && l.to == b) || (l.from == b && l.to == a)) return l;
    return std::nullopt;
}

TEST(CompareDrawing, NetworksShareOnePlaceAndColourWhatDiffers) {
    const std::vector<PlanePoint> positions{{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0.5, 2}};
    for (const bool mean : {false, true}) {
        CompareResults r = results(5);
        if (mean) {
            // The mean networks are drawn instead: A gains 3-4, the majority's 1-2 goes.
            r.hasMeanNetwork = true;
            r.sides[0].meanNetwork = {{0, 1}, {3, 4}};
            r.sides[1].meanNetwork = {{0, 1}, {2, 3}};
        }
        RecordingCanvas c;
        DrawComparePage(c, r, positions, 1);
        const std::vector<LayoutPoint> dots = dotsOf(c);
        ASSERT_EQ(dots.size(), 10U);
        const int shift = dots[5].x - dots[0].x;
        EXPECT_GT(shift, 0);
        for (std::size_t i = 0; i < 5; ++i)
            EXPECT_EQ(dots[i + 5], (LayoutPoint{dots[i].x + shift, dots[i].y}));
        const auto a = [&](int i) { return dots[static_cast<std::size_t>(i)]; };
        const auto b = [&](int i) { return dots[static_cast<std::size_t>(i) + 5]; };
        const auto both = linkBetween(c, a(0), a(1));
        ASSERT_TRUE(both && linkBetween(c, b(0), b(1)));
        EXPECT_EQ(both->colour, (Rgb{0, 0, 0}));
        EXPECT_EQ(both->width, 1);
        const auto onlyA = mean ? linkBetween(c, a(3), a(4)) : linkBetween(c, a(1), a(2));
        ASSERT_TRUE(onlyA);
        EXPECT_GT(onlyA->colour.r, 200);  // red: lost
        EXPECT_EQ(linkBetween(c, a(1), a(2)).has_value(), !mean);
        const auto onlyB = linkBetween(c, b(2), b(3));
        ASSERT_TRUE(onlyB);
        EXPECT_GT(onlyB->colour.g, onlyB->colour.r);  // green: gained
        EXPECT_EQ(onlyB->width, 3);                   // q < 0.05
        EXPECT_FALSE(linkBetween(c, a(2), a(3)));
        const auto texts = textsOf(c);
        const std::string_view kind = mean ? "平均網路" : "多數網路";
        EXPECT_EQ(std::count_if(texts.begin(), texts.end(),
                                [&](const std::string& t) { return t.find(kind) != t.npos; }),
                  2);
    }
}

TEST(CompareDrawing, TableSortsByPThenPairAndSaysWhatIsLeftOut) {
    CompareResults r = results(12);  // 66 pairs, more than fit
    r.tests.pairs[10].p = 0.2;
    r.tests.pairs[3].p = 0.2;
    r.tests.pairs[40].p = 0.00001;
    RecordingCanvas c;
    DrawComparePage(c, r, {}, 2);
    std::vector<std::string> pairs;
    std::string leftOut;
    for (const std::string& t : textsOf(c)) {
        if (t.find("–") != t.npos) pairs.push_back(t);
        if (t.starts_with("另有")) leftOut = t;
    }
    ASSERT_GT(pairs.size(), 5U);
    ASSERT_LT(pairs.size(), 66U);
    // Pair 40 row by row is 5-8 (0-based 4, 7); then 3-4 at p = 0.01.
    EXPECT_EQ(pairs[0], "5–8");
    EXPECT_EQ(pairs[1], "3–4");
    EXPECT_EQ(pairs[2], "1–5");  // pair 3 before pair 10 at the same p
    EXPECT_EQ(pairs[3], "1–12");
    EXPECT_EQ(pairs[4], "1–2");
    EXPECT_EQ(leftOut, "另有 " + std::to_string(66 - pairs.size()) + " 對未列出（p 較大）");
    EXPECT_EQ(pValueText(0.00001), "< 0.0001");
    EXPECT_EQ(pValueText(0.049996), "0.05");
    EXPECT_EQ(pValueText(0), "0");
}

TEST(CompareDrawing, PairedDesignsAddTheSlopeChart) {
    CompareResults r = results(4, CompareDesign::Paired);
    EXPECT_EQ(comparePageCount(results(4)), 2);
    ASSERT_EQ(comparePageCount(r), 3);
    for (const auto& [first, second] : std::vector<std::pair<std::optional<double>, double>>{
             {0.2, 0.6}, {0.5, 0.1}, {0.4, 0.4001}, {std::nullopt, 0.9}}) {
        StudentChange change;
        change.first[0] = first;
        change.second[0] = second;
        r.changes.push_back(change);
    }
    RecordingCanvas c;
    DrawComparePage(c, r, {}, 3);
    EXPECT_EQ(dotsOf(c).size(), 6U);  // the last has no first PFC
    const auto texts = textsOf(c);
    for (const char* count : {"上升：1 人", "下降：1 人", "不變：1 人"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), count), texts.end()) << count;
    RecordingCanvas beyond;
    DrawComparePage(beyond, results(4), {}, 3);
    EXPECT_TRUE(beyond.empty());
}

}  // namespace
}  // namespace qv
