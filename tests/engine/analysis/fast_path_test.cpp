#include <gtest/gtest.h>

#include "analysis/run.h"
#include "analysis/synthetic_class.h"
#include "pathfinder/matrix_ops.h"
#include "loaded_class.h"
#include "samples/sample_class.h"

namespace qv {
namespace {

AppState sampleClass() {
    return test::loadClass(samples::conceptFile(), samples::itemConceptFile(),
                           samples::studentFile());
}

AppState generatedClass(const SyntheticClassOptions& options) {
    const SyntheticClassFiles f = makeSyntheticClass(options);
    return test::loadClass(f.conceptFile, f.itemConceptFile, f.studentFile);
}

// Runs the class and checks every record against the plain definition: the
// product with the diagonal correct-answer matrix, then column distances.
void expectSameRuns(const AppState& loaded, RunMethod method) {
    AppState fast = loaded;
    RunOptions options;
    options.method = method;
    ASSERT_TRUE(runAnalysis(fast, options).ok());
    const int items = fast.itemCount, n = fast.conceptCount;
    for (const StudentRecord& r : fast.students) {
        const auto hits = MatrixMultiply(itemMatrix(r, items), fast.itemConcept);
        ASSERT_TRUE(hits.ok());
        const DistanceMatrix plain = ColumnDistanceMatrix(*hits, items, n, items);
        EXPECT_EQ(r.distance, plain) << r.id;
        EXPECT_EQ(r.links, methodNetwork(method, plain, n)) << r.id;
    }
}

TEST(FastPath, EqualsThePlainProduct) {
    const AppState sample = sampleClass();
    ASSERT_EQ(sample.studentCount, 35);
    for (RunMethod method : {RunMethod::Triangle, RunMethod::PathSearch}) {
        expectSameRuns(sample, method);
        // Wider and narrower tables: more than 64 items, few concepts.
        expectSameRuns(generatedClass({60, 12, 150, 7}), method);
        expectSameRuns(generatedClass({60, 3, 5, 8}), method);
    }
}

TEST(SampleClass, IsAFortyItemQuizOverTwentyConcepts) {
    const AppState s = sampleClass();
    EXPECT_TRUE(s.dataLoaded && s.conceptsLoaded && s.itemConceptLoaded);
    EXPECT_EQ(s.conceptCount, 20);
    EXPECT_EQ(s.itemCount, 40);
    EXPECT_EQ(s.answerKey.size(), 40u);
    ASSERT_EQ(s.studentCount, 35);
    EXPECT_EQ(s.students.front().id, "90702001");
    EXPECT_EQ(s.students.back().id, "90702035");
    EXPECT_EQ(s.conceptNames.front(), " 正負數");
    // Each item involves one to three concepts; every concept is used.
    for (int r = 0; r < s.itemCount; ++r) {
        int concepts = 0;
        for (int c = 0; c < s.conceptCount; ++c)
            concepts += s.itemConcept(r, c).isZero() ? 0 : 1;
        EXPECT_TRUE(concepts >= 1 && concepts <= 3) << "item " << r + 1;
    }
    for (int c = 0; c < s.conceptCount; ++c) {
        bool used = false;
        for (int r = 0; r < s.itemCount; ++r)
            used = used || !s.itemConcept(r, c).isZero();
        EXPECT_TRUE(used) << "concept " << c + 1;
    }
    // Some strong, some weak, one perfect paper; the missing-data code appears.
    int best = 0, worst = 40;
    bool missingCode = false;
    for (const StudentRecord& r : s.students) {
        best = std::max(best, r.score);
        worst = std::min(worst, r.score);
        missingCode = missingCode || r.answers.find(U'8') != std::u32string::npos;
    }
    EXPECT_EQ(best, 40);
    EXPECT_LT(worst, 15);
    EXPECT_TRUE(missingCode);
}

TEST(SampleClass, CompiledBytesAreTheShippedFiles) {
    const std::pair<std::string_view, const char*> files[] = {
        {samples::studentFile(), "Data"},
        {samples::conceptFile(), "ConceptNote"},
        {samples::itemConceptFile(), "ItemConcept"}};
    for (const auto& [bytes, folder] : files) {
        const std::string path = std::string(QV_SAMPLES_DIR) + "/" + folder + "/" +
                                 std::string(samples::studentFileName());
        std::FILE* f = std::fopen(path.c_str(), "rb");
        ASSERT_NE(f, nullptr) << path;
        std::string disk;
        char buf[4096];
        for (std::size_t got; (got = std::fread(buf, 1, sizeof buf, f)) > 0;)
            disk.append(buf, got);
        std::fclose(f);
        EXPECT_EQ(disk, bytes) << path;
    }
    // Written as the editors write: box lines end with LF CR LF, the box with CR LF.
    EXPECT_NE(samples::conceptFile().find("\n\r\n2 "), std::string_view::npos);
    EXPECT_TRUE(samples::studentFile().ends_with("\n\r\n\r\n"));
}

TEST(SyntheticClass, IsReproducibleAndReadable) {
    const SyntheticClassOptions options{500, 20, 40, 42};
    const SyntheticClassFiles a = makeSyntheticClass(options);
    EXPECT_EQ(a.studentFile, makeSyntheticClass(options).studentFile);
    EXPECT_NE(a.studentFile, makeSyntheticClass({500, 20, 40, 43}).studentFile);

    const AppState s = generatedClass(options);
    EXPECT_EQ(s.studentCount, 500);
    EXPECT_EQ(s.conceptCount, 20);
    EXPECT_EQ(s.itemCount, 40);
    EXPECT_EQ(s.students[499].id, "90000500");
    int total = 0;
    for (const StudentRecord& r : s.students)
        total += r.score;
    EXPECT_GT(total, 500 * 10);  // better than guessing on average
    EXPECT_LT(total, 500 * 35);
    EXPECT_TRUE(checkRunnable(s));
}

}  // namespace
}  // namespace qv
