#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "analysis/run.h"
#include "analysis/synthetic_class.h"
#include "sample_files.h"

namespace qv {
namespace {

TEST(SampleClass, CompiledBytesAreTheShippedFilesAndLoad) {
    const std::pair<std::string_view, const char*> files[] = {
        {samples::studentFile(), "Data"},
        {samples::conceptFile(), "ConceptNote"},
        {samples::itemConceptFile(), "ItemConcept"}};
    for (const auto& [bytes, folder] : files) {
        std::ifstream in(test::shippedSample(folder), std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), bytes) << folder;
    }
    ClassPtr loaded;
    ASSERT_TRUE(test::loadShippedSample(loaded));
    const ClassData& s = *loaded;
    EXPECT_EQ(s.conceptCount, 20);
    EXPECT_EQ(s.itemCount, 40);
    EXPECT_EQ(s.studentCount, 35);
    EXPECT_EQ(s.conceptNames.front(), " 正負數");
    EXPECT_TRUE(loadWarnings(s).empty());
}

TEST(SyntheticClass, IsReproducibleAndRuns) {
    const SyntheticClassOptions options{300, 12, 70, 42};
    const SyntheticClassFiles a = makeSyntheticClass(options);
    EXPECT_EQ(a.studentFile, makeSyntheticClass(options).studentFile);
    EXPECT_NE(a.studentFile, makeSyntheticClass({300, 12, 70, 43}).studentFile);
    test::ClassFiles f;
    ASSERT_TRUE(f.loadClass(a.conceptFile, a.itemConceptFile, a.studentFile));
    EXPECT_EQ(f.state().studentCount, 300);
    EXPECT_EQ(f.state().students[299].id, "90000300");
    int total = 0;
    for (const Student& r : f.state().students)
        total += r.score;
    EXPECT_GT(total, 300 * 15);  // better than guessing on average
    EXPECT_LT(total, 300 * 65);
    EXPECT_TRUE(runAnalysis(f.data, RunOptions{}).ok());
}

}  // namespace
}  // namespace qv
