#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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
    // Worker threads, 0 for one per core. The results are the same for any count.
    int threads = 0;
    // Receives the progress values, 0 to kProgressMax, at each step of the run,
    // always on the calling thread and in the same sequence whatever `threads`.
    std::function<void(int)> progress;
    // Read between blocks of students: once it is set the run stops soon and
    // is refused with kRunCancelled, and its results are dropped.
    const std::atomic<bool>* cancel = nullptr;
    // Receives the results holding the standard network and no students yet,
    // on the calling thread, before any student is analysed: what an output
    // must write ahead of the students.
    std::function<void(const RunResults& standard)> standardReady;
    // The summed matrix of a matrix referent (method.referent of kind Matrix),
    // conceptCount x conceptCount.
    DistanceMatrix referentMatrix;
};

// The refusal of a cancelled run.
inline constexpr std::string_view kRunCancelled = "分析已取消。";

// Whether a run can start on this state; the refusal says why not: a file not
// loaded, fewer than two concepts, an item-concept matrix sized for another
// concept count, or item counts that differ between the student file and the
// item-concept file.
Expected<void> checkRunnable(const ClassData& data);
// The same without the students, for a class read in blocks (runInBlocks).
Expected<void> checkClassRunnable(const ClassData& data);

// Students a worker takes at a time: at most kStudentBlockSize, and a
// multiple of kStudentBlockGrain small enough that a small class still gives
// every worker a few blocks, and that the blocks in flight of a class with
// many concepts keep their matrices (and the JSON of them) in bounded memory.
inline constexpr std::size_t kStudentBlockSize = 1024;
inline constexpr std::size_t kStudentBlockGrain = 16;
std::size_t studentBlockSize(std::size_t students, int threads, int conceptCount);

// Analyses the whole class: the standard network (with another referent than
// the design's, the referent's summed matrix and its network) and its name, every
// student's results, and the text of the results box (header and one row per
// student, each line ending with kLineBreak). The class is only read; a
// refused run (checkRunnable, checkRunMethod, a cancel) returns the refusal.
Expected<RunResults> runAnalysis(ClassPtr data, const RunOptions& options);

// A class read a block of records at a time, so that it never has to be held
// whole. read() refills the vector (its records are reused from block to
// block); it is called from worker threads, for different blocks at once.
struct StudentBlocks {
    std::size_t count = 0;
    std::function<void(std::size_t block, std::vector<StudentRecord>& records)> read;
};
// Appends a record's output to its block's text; called from worker threads.
using RecordWriter = std::function<void(std::string& out, const StudentRecord& record)>;

// runAnalysis over blocks: the class's students are not read and its
// studentCount gives the class size. Each block's output goes to emit() on the
// calling thread, in block order. The results hold the standard network and
// neither students nor text. The refusals are those of checkRunnable apart
// from the students, which the blocks supply.
Expected<RunResults> runInBlocks(ClassPtr data, const RunOptions& options,
                                 const StudentBlocks& blocks, const RecordWriter& write,
                                 const std::function<void(std::string_view)>& emit);

// Analyses records of a class on the calling thread by the run's own steps,
// without text, progress or matrices: each record's Student part is read and
// the rest filled in. For callers that run many small classes side by side
// (the bootstrap's replicates). The class must pass checkClassRunnable and
// the method checkRunMethod, with the design's referent.
void analyseRecords(const ClassData& data, const RunMethod& method,
                    std::span<StudentRecord> records);

// The two run commands.
Expected<RunResults> Level1TriangleRun(ClassPtr data, std::function<void(int)> progress = {});
Expected<RunResults> Level1PathSearchRun(ClassPtr data, std::function<void(int)> progress = {});

}  // namespace qv
