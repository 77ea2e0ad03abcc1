#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "analysis/group_compare.h"
#include "core/expected.h"
#include "layout/force_layout.h"

namespace qv::app {

// What the comparison window asks for: the loaded class as A, and B from a
// second class folder or from A itself.
struct CompareRequest {
    CompareDesign design = CompareDesign::TwoClasses;
    ClassPtr classA;
    std::string nameA;
    std::filesystem::path folderB;      // TwoClasses and Paired
    std::int64_t thousandths = 27'000;  // ScoreSplit: P as thousandths of a percent
    std::filesystem::path idFile;       // IdSplit: one ID a line
    // With its referent: the main window's, once it can choose one other than
    // the design's (a matrix referent would also need its summed matrix in
    // the runs' options).
    RunMethod method;
    std::uint64_t permutations = 10'000;
    std::uint64_t seed = 1;
};

// A finished comparison and where its concepts stand in the picture.
struct CompareOutcome {
    CompareResults results;
    std::vector<PlanePoint> positions;
};

// Why the request cannot start (a missing folder or file, a class not ready
// to run); nothing when it can. Checked on the window's thread.
std::optional<std::string> compareRequestProblem(const CompareRequest& request);

// Runs both groups and compares them: loading B, the runs, the split or the
// matching, the tests and the layout, with progress from 0 to kProgressMax.
// Refusals are those of each step, in Traditional Chinese.
Expected<CompareOutcome> runComparison(const CompareRequest& request,
                                       const std::atomic<bool>& cancel,
                                       const std::function<void(int)>& progress);

}  // namespace qv::app
