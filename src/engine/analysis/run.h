#pragma once

#include <functional>
#include <optional>
#include <string>

#include "analysis/student_matrices.h"
#include "core/expected.h"
#include "core/limits.h"
#include "core/state.h"

namespace qv {

struct RunOptions {
    RunMethod method = RunMethod::Triangle;
    // When false, the records keep their links, counts, values and texts but
    // not their distance and graph-distance matrices: those cost about 4 KB a
    // student at 20 concepts, hundreds of MB for a class of 100,000. They can
    // be derived again with StudentNetworkBuilder.
    bool keepStudentMatrices = true;
    // Receives the progress values, 0 to kProgressMax, at each step of the run.
    std::function<void(int)> progress;
};

// Whether a run can start on this state; the refusal says why not: a file not
// loaded, fewer than two concepts, an item-concept matrix sized for another
// concept count, or item counts that differ between the student file and the
// item-concept file.
Expected<void> checkRunnable(const AppState& state);

// Analyses the whole class: the standard network into stdDistance, stdLinks
// and stdGraphDistance, every record's results, and the text of the results
// box (header and one row per student, each line ending with the line break).
// A refused run returns the refusal and leaves the state as it was.
Expected<std::string> runAnalysis(AppState& state, const RunOptions& options);

// The two run commands.
Expected<std::string> Level1TriangleRun(AppState& state, std::function<void(int)> progress = {});
Expected<std::string> Level1PathSearchRun(AppState& state, std::function<void(int)> progress = {});

}  // namespace qv
