#include "analysis/run.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "analysis/referent.h"
#include "analysis/results_text.h"
#include "compare/graph_distance.h"
#include "compare/indices.h"
#include "compare/link_flags.h"
#include "core/ordered_blocks.h"

namespace qv {

namespace {

using RunResult = Expected<RunResults>;

// Thrown between blocks to stop a cancelled run.
struct Cancelled {};

bool cancelled(const RunOptions& options) {
    return options.cancel && options.cancel->load(std::memory_order_relaxed);
}

// The progress bar's values: 0, then one step after each stage, kProgressMax at the end.
class Progress {
  public:
    Progress(std::int32_t studentCount, const std::function<void(int)>& report)
        : step_(static_cast<int>(double{kProgressMax} /
                                 ((static_cast<double>(studentCount) + 1) * 3))),
          report_(report) {}
    void start() { set(0); }
    void advance() { set(value_ + step_); }
    void finish() { set(kProgressMax); }

  private:
    void set(int value) {
        value_ = value;
        if (report_) report_(value_);
    }
    int step_;
    int value_ = 0;
    const std::function<void(int)>& report_;
};

std::string joined(const std::vector<const char*>& names) {
    std::string out;
    for (const char* name : names) {
        if (!out.empty()) out += "、";
        out += name;
    }
    return out;
}

Expected<void> checkLoaded(const ClassData& s) {
    std::vector<const char*> missing;
    if (!s.dataLoaded) missing.push_back("學生資料檔");
    if (!s.conceptsLoaded) missing.push_back("概念註解檔");
    if (!s.itemConceptLoaded) missing.push_back("題目所包含概念檔");
    if (missing.empty()) return {};
    return errorText("無法執行分析：尚未載入" + joined(missing) + "。三個檔案都載入後才能執行。");
}

// The loaders mark an item's concepts with 1 and nothing else; the
// distances are counted over that table as bits.
bool zeroOneTable(const ItemMatrix& table) {
    constexpr std::int64_t kOne = Currency::fromInt(1).raw();
    bool other = false;
    for (int m = 0; m < table.rows(); ++m) {
        const Currency* row = table.rowData(m);
        for (int c = 0; c < table.cols(); ++c)
            other |= (row[c].raw() != 0) & (row[c].raw() != kOne);
    }
    return !other;
}

bool recordsConsistent(const ClassData& s) {
    if (s.studentCount < 0 || static_cast<std::size_t>(s.studentCount) != s.students.size())
        return false;
    const std::size_t words = (static_cast<std::size_t>(s.itemCount) + 63) / 64;
    for (const Student& r : s.students) {
        if (r.correct.size() < words) return false;
    }
    return true;
}

std::size_t estimatedTextSize(const ClassData& data) {
    // Fields of their usual widths: three indices of 7 and six rates of 9.
    constexpr std::size_t kFields = 3 * 7 + 6 * 9;
    std::size_t size = kResultsHeader.size() + kLineBreak.size();
    for (const Student& r : data.students)
        size += r.id.size() + 1 + kFields + kLineBreak.size();
    return size;
}

// Whether every off-diagonal cell of the matrix holds the same value.
template <typename Matrix>
bool allOffDiagonalEqual(const Matrix& m) {
    if (m.rows() < 2) return false;
    const auto first = m(0, 1);
    for (int i = 0; i < m.rows(); ++i) {
        const auto* row = m.rowData(i);
        for (int j = 0; j < m.cols(); ++j)
            if (i != j && !(row[j] == first)) return false;
    }
    return true;
}

void storeMoney(const WholeDistanceMatrix& units, DistanceMatrix& out) {
    out.resize(units.rows(), units.cols());
    for (int i = 0; i < units.rows(); ++i) {
        const std::int16_t* from = units.rowData(i);
        Currency* to = out.rowData(i);
        for (int j = 0; j < units.cols(); ++j)
            to[j] = Currency::fromInt(from[j]);
    }
}

// What every worker reads: the class, the standard and the network builder.
struct SharedRun {
    const ClassData& state;
    const RunOptions& options;
    StudentNetworkBuilder builder;
    GtdAgainst gtdAgainst;
    PrxAgainst prxAgainst;
    LinkRows stdRows;
    // Any referent but the design's: PRX against its summed matrix.
    bool summed;
    const DistanceMatrix& referentSum;
    // A group referent: students scoring at least `cut` are its members, each
    // compared with the sum less its own distances.
    bool leaveOut;
    std::int32_t cut;

    SharedRun(const ClassData& s, const RunResults& standard, const RunOptions& o,
              std::int32_t memberCut)
        : state(s),
          options(o),
          builder(s, o.method),
          gtdAgainst(standard.stdGraphDistance, s.conceptCount),
          prxAgainst(standard.stdDistance, s.conceptCount, s.itemCount + 1),
          stdRows(linkRows(standard.stdLinks, s.conceptCount)),
          summed(!o.method.referent.isDesign()),
          referentSum(standard.stdDistance),
          leaveOut(o.method.referent.leavesOneOut()),
          cut(memberCut) {}
};

// One worker's buffers and text caches, reused from student to student.
class WorkerRun {
  public:
    explicit WorkerRun(const SharedRun& shared) : shared_(shared) {}

    void analyse(StudentRecord& record);

  private:
    void storeRates(StudentRecord& record);
    // The standard this record is compared with: the run's, or for a member of
    // a group referent its own, into record.referentLinks.
    const LinkRows& referentOf(StudentRecord& record, const DistanceMatrix& distance);

    const SharedRun& shared_;
    WholeDistanceMatrix units_;
    DistanceMatrix distance_;
    LinkMatrix linkCells_;  // the network before it is read into rows, off the whole-unit path
    DistanceMatrix ownReferent_;
    GraphDistanceMatrix ownGraph_;
};

const LinkRows& WorkerRun::referentOf(StudentRecord& record, const DistanceMatrix& distance) {
    if (!shared_.leaveOut || record.score < shared_.cut) {
        record.referentLinks = LinkRows();
        return shared_.stdRows;
    }
    const int n = shared_.state.conceptCount;
    ownReferent_ = shared_.referentSum;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            ownReferent_(i, j) -= distance(i, j);
    methodNetworkInto(shared_.options.method, ownReferent_, n, linkCells_);
    linkRowsInto(linkCells_, n, record.referentLinks);
    return record.referentLinks;
}

void WorkerRun::analyse(StudentRecord& record) {
    const int n = shared_.state.conceptCount;
    const RunMethod method = shared_.options.method;
    // The record keeps its network; the other matrices only when asked,
    // otherwise they live in buffers reused from student to student.
    const bool keep = shared_.options.keepStudentMatrices;
    DistanceMatrix& d = keep ? record.distance : distance_;
    GraphDistanceMatrix& g = record.graphDistance;
    LinkRows& links = record.links;
    // Whole-number distances when the data allow (loaded files always do):
    // the network and PRX then work on them without converting each cell.
    const bool whole = shared_.builder.unitsInto(record, units_);
    if (!whole)
        shared_.builder.distanceInto(record, d);
    else if (keep || shared_.summed)
        storeMoney(units_, d);
    record.undetermined = whole ? allOffDiagonalEqual(units_) : allOffDiagonalEqual(d);
    if (whole) {
        shared_.builder.unitsNetworkInto(units_, links);
    } else {
        methodNetworkInto(method, d, n, linkCells_);
        linkRowsInto(linkCells_, n, links);
    }
    const LinkRows& standard = referentOf(record, d);
    const bool own = record.referentLinks.n > 0;
    // Each run counts from zero, so a second run gives the same rates.
    record.linkCounts = {};
    CountLinkFlags(standard, links, record.linkCounts);
    if (keep) PointDistanceNOInto(links, g);

    record.pfcValue = PfcIndex(standard, links);
    if (own) {
        PointDistanceNOInto(record.referentLinks, ownGraph_);
        record.gtdValue = GtdAgainst(ownGraph_, n).index(links);
    } else {
        record.gtdValue = shared_.gtdAgainst.index(links);
    }
    if (shared_.summed)
        record.prxValue = summedPrxIndex(own ? ownReferent_ : shared_.referentSum, d, n);
    else
        record.prxValue = whole ? shared_.prxAgainst.index(units_) : shared_.prxAgainst.index(d);

    storeRates(record);

    if (!keep) {
        record.distance = DistanceMatrix();
        record.graphDistance = GraphDistanceMatrix();
    }
}

void WorkerRun::storeRates(StudentRecord& record) {
    const LinkFlagCounts& c = record.linkCounts;
    const int totals[2] = {c[kStdLinks], c[kTargetLinks]};
    for (int side = 0; side < 2; ++side) {
        for (int flag = kMatch; flag <= kOver; ++flag) {
            const int slot = side * 3 + flag;
            record.rateValues[static_cast<std::size_t>(slot)] =
                linkRate(c[static_cast<std::size_t>(flag)], totals[side]);
        }
    }
}

std::size_t blockCountOf(std::size_t students, std::size_t blockSize) {
    return (students + blockSize - 1) / blockSize;
}

// Visits the students of one block, read into `buffer` when they are not in memory.
using VisitBlock = std::function<void(std::size_t block, std::vector<StudentRecord>& buffer,
                                      const std::function<void(const Student&)>& visit)>;

int threadsFor(const RunOptions& options, std::size_t blocks) {
    return static_cast<int>(std::min<std::size_t>(
        static_cast<std::size_t>(workerCount(options.threads)), std::max<std::size_t>(blocks, 1)));
}

// Calls visit(block, worker, student) for every student on the workers, each
// worker with its own buffer; false when the run was cancelled.
bool visitStudents(
    const RunOptions& options, std::size_t blocks, const VisitBlock& visitBlock,
    const std::function<void(std::size_t block, int worker, const Student&)>& visit) try {
    const int threads = threadsFor(options, blocks);
    std::vector<std::vector<StudentRecord>> buffers(static_cast<std::size_t>(threads));
    forEachBlockInOrder(
        blocks, threads, 2 * static_cast<std::size_t>(threads),
        [&](std::size_t block, int worker) {
            if (cancelled(options)) return;
            visitBlock(block, buffers[static_cast<std::size_t>(worker)],
                       [&](const Student& s) { visit(block, worker, s); });
        },
        [&](std::size_t) {
            if (cancelled(options)) throw Cancelled{};
        });
    return true;
} catch (const Cancelled&) {
    return false;
}

// What the run compares with when it is not the design's standard: the
// referent's summed matrix, and for a group the lowest member score.
struct ReferentSetup {
    std::optional<DistanceMatrix> distance;
    std::int32_t cut = std::numeric_limits<std::int32_t>::min();
};

Expected<ReferentSetup> setUpReferent(const ClassData& data, const RunOptions& options,
                                      std::size_t blocks, const VisitBlock& visitBlock) {
    const ReferentChoice& referent = options.method.referent;
    const int n = data.conceptCount;
    ReferentSetup setup;
    if (referent.isDesign()) return setup;
    if (referent.kind == ReferentKind::Matrix) {
        const DistanceMatrix& m = options.referentMatrix;
        if (m.rows() != n || m.cols() != n)
            return errorText("無法執行分析：參照的距離矩陣有 " + std::to_string(m.rows()) +
                             " 個概念，班級有 " + std::to_string(n) + " 個概念。");
        if (auto checked = checkPfnetMatrix(m, n); !checked)
            return errorText("無法執行分析：參照的距離矩陣" + checked.error().what);
        setup.distance = m;
        return setup;
    }
    const auto refusal = [] { return errorText(std::string(kRunCancelled)); };
    if (referent.kind == ReferentKind::Best) {
        std::vector<std::vector<std::int32_t>> scores(blocks);
        if (!visitStudents(options, blocks, visitBlock,
                           [&](std::size_t block, int, const Student& s) {
                               scores[block].push_back(s.score);
                           }))
            return refusal();
        std::vector<std::int32_t> all;
        for (const auto& block : scores) all.insert(all.end(), block.begin(), block.end());
        if (const auto cut = topScoreCut(std::move(all), referent.bestThousandths)) setup.cut = *cut;
    }
    // Each worker sums its own members; whole sums add up alike in any order.
    const int threads = threadsFor(options, blocks);
    const StudentNetworkBuilder builder(data, options.method);
    std::vector<DistanceMatrix> sums(static_cast<std::size_t>(threads), DistanceMatrix(n, n));
    std::vector<std::int64_t> members(static_cast<std::size_t>(threads));
    std::vector<WholeDistanceMatrix> units(static_cast<std::size_t>(threads));
    std::vector<DistanceMatrix> money(static_cast<std::size_t>(threads));
    if (!visitStudents(options, blocks, visitBlock, [&](std::size_t, int worker, const Student& s) {
            if (s.score < setup.cut) return;
            const auto w = static_cast<std::size_t>(worker);
            ++members[w];
            DistanceMatrix& sum = sums[w];
            if (builder.unitsInto(s, units[w])) {
                for (int i = 0; i < n; ++i)
                    for (int j = 0; j < n; ++j)
                        sum(i, j) += Currency::fromInt(units[w](i, j));
            } else {
                builder.distanceInto(s, money[w]);
                for (int i = 0; i < n; ++i)
                    for (int j = 0; j < n; ++j)
                        sum(i, j) += money[w](i, j);
            }
        }))
        return refusal();
    std::int64_t total = 0;
    for (const std::int64_t count : members) total += count;
    if (total < 2)
        return errorText("無法執行分析：參照的「" + referentLabel(referent) + "」只有 " +
                         std::to_string(total) +
                         " 位學生；每位學生要與其他學生比較，參照至少要有 2 位學生。");
    DistanceMatrix sum = sums[0];
    for (std::size_t w = 1; w < sums.size(); ++w)
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                sum(i, j) += sums[w](i, j);
    setup.distance = std::move(sum);
    return setup;
}

// The results with the standard network and nothing else yet: the design's,
// or the network of the referent's summed matrix.
RunResults runStandard(const ClassPtr& data, const RunOptions& options, Progress& progress,
                       const std::optional<DistanceMatrix>& referent = std::nullopt) {
    const int n = data->conceptCount;
    RunResults results;
    results.data = data;
    progress.start();
    results.stdDistance = referent ? *referent : standardDistance(*data);
    progress.advance();
    results.stdLinks = methodNetwork(options.method, results.stdDistance, n);
    results.stdGraphDistance = PointDistanceNO(results.stdLinks, n);
    progress.advance();
    results.methodName = reportedMethodName(options.method, n);
    if (options.standardReady) options.standardReady(results);
    return results;
}

using RecordsOf = std::function<std::span<StudentRecord>(std::size_t block, std::size_t slot)>;

// Analyses the blocks on the workers; each block's text reaches emit() in
// order, and the progress moves on by three steps a student (the hits, their
// distances, the row) as the blocks are done. False when the run was
// cancelled: the blocks after the cancel are skipped.
bool runBlocks(const SharedRun& shared, std::size_t blocks, const RecordsOf& recordsOf,
               const RecordWriter& write, Progress& progress,
               const std::function<void(std::string_view)>& emit) try {
    const int threads = static_cast<int>(
        std::min<std::size_t>(static_cast<std::size_t>(workerCount(shared.options.threads)),
                              std::max<std::size_t>(blocks, 1)));
    const std::size_t window = 2 * static_cast<std::size_t>(threads);
    std::vector<std::unique_ptr<WorkerRun>> workers;
    for (int w = 0; w < threads; ++w)
        workers.push_back(std::make_unique<WorkerRun>(shared));
    std::vector<std::string> texts(window);
    std::vector<std::size_t> sizes(window);
    forEachBlockInOrder(
        blocks, threads, window,
        [&](std::size_t block, int worker) {
            if (cancelled(shared.options)) return;
            const std::size_t slot = block % window;
            std::string& text = texts[slot];
            text.clear();
            const std::span<StudentRecord> records = recordsOf(block, slot);
            WorkerRun& run = *workers[static_cast<std::size_t>(worker)];
            for (StudentRecord& record : records) {
                run.analyse(record);
                write(text, record);
            }
            sizes[slot] = records.size();
        },
        [&](std::size_t block) {
            if (cancelled(shared.options)) throw Cancelled{};
            const std::size_t slot = block % window;
            emit(texts[slot]);
            for (std::size_t k = 0; k < sizes[slot] * 3; ++k)
                progress.advance();
        });
    return true;
} catch (const Cancelled&) {
    return false;
}

}  // namespace

std::size_t studentBlockSize(std::size_t students, int threads, int conceptCount) {
    constexpr std::size_t kBlocksPerWorker = 4;
    constexpr std::size_t kBlockCells = std::size_t{1} << 20;
    const std::size_t share =
        students / (kBlocksPerWorker * static_cast<std::size_t>(workerCount(threads))) + 1;
    const std::size_t grains = (share + kStudentBlockGrain - 1) / kStudentBlockGrain;
    const auto n = static_cast<std::size_t>(std::max(conceptCount, 1));
    const std::size_t most =
        std::clamp(kBlockCells / (n * n) / kStudentBlockGrain * kStudentBlockGrain,
                   kStudentBlockGrain, kStudentBlockSize);
    return std::clamp(grains * kStudentBlockGrain, kStudentBlockGrain, most);
}

Expected<void> checkClassRunnable(const ClassData& s) {
    if (auto loaded = checkLoaded(s); !loaded) return loaded;
    const std::string n = std::to_string(s.conceptCount);
    if (s.conceptCount < 2)
        return errorText("無法執行分析：概念註解檔只有 " + n + " 個概念，至少需要 2 個概念。");
    if (s.itemConcept.cols() != s.conceptCount)
        return errorText(
            "無法執行分析：題目所包含概念檔是依 " + std::to_string(s.itemConcept.cols()) +
            " 個概念載入的，目前的概念註解檔有 " + n + " 個概念。請重新載入題目所包含概念檔。");
    if (!zeroOneTable(s.itemConcept))
        return errorText("無法執行分析：題目所包含概念檔的內容只能是 0 或 1。"
                         "請重新載入題目所包含概念檔。");
    const auto keyItems = static_cast<std::int64_t>(s.answerKey.size());
    const std::int64_t tableItems = s.itemConcept.rows();
    if (keyItems != tableItems || s.itemCount != tableItems)
        return errorText("無法執行分析：學生資料檔有 " + std::to_string(keyItems) +
                         " 題，題目所包含概念檔有 " + std::to_string(tableItems) +
                         " 題，兩個檔案的題數必須相同。");
    return {};
}

Expected<void> checkRunnable(const ClassData& s) {
    if (auto runnable = checkClassRunnable(s); !runnable) return runnable;
    if (!recordsConsistent(s))
        return errorText("無法執行分析：學生資料不完整，請重新載入學生資料檔。");
    return {};
}

RunResult runAnalysis(ClassPtr data, const RunOptions& options) {
    const ClassData& state = *data;
    if (auto runnable = checkRunnable(state); !runnable) return runnable.error();
    if (auto method = checkRunMethod(options.method, state.conceptCount); !method)
        return method.error();
    const std::vector<Student>& students = state.students;
    const std::size_t blockSize =
        studentBlockSize(students.size(), options.threads, state.conceptCount);
    auto referent = setUpReferent(
        state, options, blockCountOf(students.size(), blockSize),
        [&](std::size_t block, std::vector<StudentRecord>&,
            const std::function<void(const Student&)>& visit) {
            const std::size_t first = block * blockSize;
            for (std::size_t k = first; k < std::min(first + blockSize, students.size()); ++k)
                visit(students[k]);
        });
    if (!referent) return referent.error();
    Progress progress(state.studentCount, options.progress);
    RunResults results = runStandard(data, options, progress, referent->distance);
    if (cancelled(options)) return errorText(std::string(kRunCancelled));

    std::string& text = results.text;
    text.reserve(estimatedTextSize(state));
    text += kResultsHeader;
    text += kLineBreak;
    const SharedRun shared(state, results, options, referent->cut);
    std::vector<StudentRecord>& records = results.students;
    records.resize(students.size());
    const bool done = runBlocks(
        shared, blockCountOf(students.size(), blockSize),
        [&](std::size_t block, std::size_t) {
            const std::size_t first = block * blockSize;
            const std::size_t count = std::min(blockSize, students.size() - first);
            for (std::size_t k = first; k < first + count; ++k)
                static_cast<Student&>(records[k]) = students[k];
            return std::span(records).subspan(first, count);
        },
        [](std::string& out, const StudentRecord& r) { appendResultRow(out, r, kLineBreak); },
        progress, [&text](std::string_view block) { text += block; });
    if (!done) return errorText(std::string(kRunCancelled));
    progress.finish();
    return results;
}

Expected<RunResults> runInBlocks(ClassPtr data, const RunOptions& options,
                                 const StudentBlocks& blocks, const RecordWriter& write,
                                 const std::function<void(std::string_view)>& emit) {
    const ClassData& state = *data;
    if (auto runnable = checkClassRunnable(state); !runnable) return runnable.error();
    if (auto method = checkRunMethod(options.method, state.conceptCount); !method)
        return method.error();
    auto referent = setUpReferent(state, options, blocks.count,
                                  [&](std::size_t block, std::vector<StudentRecord>& buffer,
                                      const std::function<void(const Student&)>& visit) {
                                      blocks.read(block, buffer);
                                      for (const StudentRecord& r : buffer) visit(r);
                                  });
    if (!referent) return referent.error();
    Progress progress(state.studentCount, options.progress);
    RunResults results = runStandard(data, options, progress, referent->distance);
    const SharedRun shared(state, results, options, referent->cut);
    // One reused vector of records per block in flight.
    std::vector<std::vector<StudentRecord>> slots(
        2 * static_cast<std::size_t>(std::max(1, workerCount(options.threads))));
    const bool done = runBlocks(
        shared, blocks.count,
        [&](std::size_t block, std::size_t slot) {
            std::vector<StudentRecord>& records = slots[slot];
            blocks.read(block, records);
            return std::span(records);
        },
        write, progress, emit);
    if (!done) return errorText(std::string(kRunCancelled));
    progress.finish();
    return results;
}

void analyseRecords(const ClassData& data, const RunMethod& method,
                    std::span<StudentRecord> records) {
    RunOptions options;
    options.method = method;
    options.keepStudentMatrices = false;
    Progress silent(data.studentCount, options.progress);
    // The class is only borrowed for the call: an owner-less pointer to it.
    const RunResults standard = runStandard(ClassPtr(ClassPtr(), &data), options, silent);
    const SharedRun shared(data, standard, options, std::numeric_limits<std::int32_t>::min());
    WorkerRun run(shared);
    for (StudentRecord& record : records)
        run.analyse(record);
}

RunResult Level1TriangleRun(ClassPtr data, std::function<void(int)> progress) {
    RunOptions options;
    options.progress = std::move(progress);
    return runAnalysis(std::move(data), options);
}

RunResult Level1PathSearchRun(ClassPtr data, std::function<void(int)> progress) {
    RunOptions options;
    options.method = RunMethod::PathSearch;
    options.progress = std::move(progress);
    return runAnalysis(std::move(data), options);
}

}  // namespace qv
