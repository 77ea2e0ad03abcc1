#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "analysis/student_matrices.h"
#include "core/expected.h"
#include "core/state.h"
#include "stats/pair_tests.h"

namespace qv {

// How the two groups of a comparison were formed.
enum class CompareDesign {
    TwoClasses,  // A and B are two classes on the same concepts
    Paired,      // A and B are two occasions of the same students, matched by ID
    ScoreSplit,  // one class, its top and its bottom P % by score
    IdSplit,     // one class, the IDs listed in a file against the rest
};

// The students of one side: a run and which of its records belong.
struct CompareGroup {
    std::string name;              // as the JSON, the table and the picture name the side
    const RunResults* run = nullptr;
    std::vector<int> students;     // indices into run->students, in file order
    // The run's method: PFNET's r and q make the mean networks. Both sides
    // must have been run by the same one.
    RunMethod method;
};

// A's records matched with B's by ID; the IDs found on one side only.
struct Matching {
    std::vector<std::array<int, 2>> pairs;  // (index in A, index in B), in A's order
    std::array<std::vector<std::string>, 2> unmatched;
};
// Refuses an ID found twice in one class.
Expected<Matching> matchById(const RunResults& a, const RunResults& b);
// The top and bottom P % (thousandths of a percent) of a class by score;
// refused when the two overlap or P is outside 0 < P <= 100 %.
Expected<std::array<std::vector<int>, 2>> splitByScore(const RunResults& run,
                                                       std::int64_t thousandths);
// The students whose ID is listed against the rest; refused when either side
// is empty.
Expected<std::array<std::vector<int>, 2>> splitByIds(const RunResults& run,
                                                     const std::vector<std::string>& ids);

// The IDs of an ID list file's bytes (any encoding the loaders read): the
// first word of each line that is not blank.
std::vector<std::string> parseIdList(std::string bytes);

// How the sides of a split are named: "前 27%" and "後 27%" for a score split,
// "名單" and "其餘" for an ID list.
std::array<std::string, 2> scoreSplitNames(std::int64_t thousandths);
inline const std::array<std::string, 2> kIdSplitNames{"名單", "其餘"};

struct CompareSide {
    std::string name;
    int students = 0;
    std::vector<std::array<int, 2>> majority;     // 0-based pairs, row by row
    std::vector<std::array<int, 2>> meanNetwork;  // PFNET runs only
};

// One matched student of a paired comparison.
struct StudentChange {
    std::string id;
    std::vector<std::array<int, 2>> gained, lost;  // 0-based pairs, row by row
    std::array<std::optional<double>, 3> first, second;  // PFC, GTD, PRX
};

struct CompareResults {
    CompareDesign design = CompareDesign::TwoClasses;
    RunMethod method;
    std::string methodName;   // e.g. "PFNET(r=∞, q=19)", empty for first-order runs
    std::string referentKey;  // "design", "best:27", ...
    int conceptCount = 0;
    std::vector<std::string> labels;
    std::array<CompareSide, 2> sides;
    PairTests tests;
    std::uint64_t seed = 0;
    bool hasMeanNetwork = false;  // PFNET runs
    std::optional<double> meanCorrelation;
    // Paired only.
    std::array<std::vector<std::string>, 2> unmatched;
    std::vector<StudentChange> changes;
    std::array<SignFlipTest, 3> indexTests;  // PFC, GTD, PRX
    // The network whose layout every panel of the picture shares: A's standard.
    LinkMatrix layoutLinks;
};

// Paired designs give `matching` (the groups' `students` are then not read:
// both sides are the matched records, in A's order); the groups' runs must
// hold their students, and for PFNET their matrices. Refused: concept labels that differ, an empty side,
// a refusal of the tests (a cancel among them).
Expected<CompareResults> compareGroups(CompareDesign design, const CompareGroup& a,
                                       const CompareGroup& b, const Matching* matching,
                                       const PermutationOptions& options);

// The comparison as JSON (UTF-8, LF): concepts 1-based, numbers as the
// results table writes them, index changes in the indices' units.
std::string compareJson(const CompareResults& results);
// The pair table (UTF-8 with BOM, CR LF): i, j, concept i, concept j, A, B,
// p, q, then Method.
std::string compareCsv(const CompareResults& results);

}  // namespace qv
