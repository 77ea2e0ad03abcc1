#include "analysis/run.h"

#include <optional>
#include <utility>
#include <vector>

#include "analysis/results_text.h"
#include "compare/graph_distance.h"
#include "compare/indices.h"
#include "compare/link_flags.h"

namespace qv {

namespace {

using RunResult = Expected<std::string>;

// The progress bar's values: 0, then one step after each stage, kProgressMax at the end.
class Progress {
  public:
    Progress(std::int32_t studentCount, const std::function<void(int)>& report)
        : step_(static_cast<int>(double{kProgressMax} / ((static_cast<double>(studentCount) + 1) * 3))),
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

Expected<void> checkLoaded(const AppState& s) {
    std::vector<const char*> missing;
    if (!s.dataLoaded) missing.push_back("學生資料檔");
    if (!s.conceptsLoaded) missing.push_back("概念註解檔");
    if (!s.itemConceptLoaded) missing.push_back("題目所包含概念檔");
    if (missing.empty()) return {};
    return errorText("無法執行分析：尚未載入" + joined(missing) + "。三個檔案都載入後才能執行。");
}

bool recordsConsistent(const AppState& s) {
    if (s.studentCount < 0 || static_cast<std::size_t>(s.studentCount) != s.students.size())
        return false;
    const std::size_t words = (static_cast<std::size_t>(s.itemCount) + 63) / 64;
    for (const StudentRecord& r : s.students) {
        if (r.correct.size() < words) return false;
    }
    return true;
}

void storeStandard(AppState& state, DistanceMatrix d0, LinkMatrix l0, GraphDistanceMatrix g0) {
    state.stdDistance = std::move(d0);
    state.stdLinks = std::move(l0);
    state.stdGraphDistance = std::move(g0);
}

std::size_t estimatedTextSize(const AppState& state) {
    // Fields of their usual widths: three indices of 7 and six rates of 9.
    constexpr std::size_t kFields = 3 * 7 + 6 * 9;
    std::size_t size = kResultsHeader.size() + state.lineBreak.size();
    for (const StudentRecord& r : state.students)
        size += r.id.size() + 1 + kFields + state.lineBreak.size();
    return size;
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

// Everything one run keeps while it walks the class.
struct ClassRun {
    AppState& state;
    const RunOptions& options;
    StudentNetworkBuilder builder;
    RateTexts rates;
    IndexTexts pfcTexts, gtdTexts, prxTexts;
    WholeDistanceMatrix units;
    DistanceMatrix distance;
    GraphDistanceMatrix graphDistance;
    // The standard is fixed for the whole run.
    GtdAgainst gtdAgainst;
    PrxAgainst prxAgainst;
    LinkRows stdRows;
    LinkRows rows;

    ClassRun(AppState& s, const RunOptions& o)
        : state(s),
          options(o),
          builder(s, o.method),
          rates(s.conceptCount * (s.conceptCount - 1) / 2),
          gtdAgainst(s.stdGraphDistance, s.conceptCount),
          prxAgainst(s.stdDistance, s.conceptCount),
          stdRows(linkRows(s.stdLinks, s.conceptCount)) {}

    void analyse(StudentRecord& record, Progress& progress);
    std::optional<double> compareLinks(const LinkMatrix& links, GraphDistanceMatrix& g,
                                       LinkFlagCounts& counts);
    void storeRates(StudentRecord& record);
};

void ClassRun::analyse(StudentRecord& record, Progress& progress) {
    const int n = state.conceptCount;
    // The record keeps its network; the other matrices only when asked,
    // otherwise they live in buffers reused from student to student.
    const bool keep = options.keepStudentMatrices;
    DistanceMatrix& d = keep ? record.distance : distance;
    GraphDistanceMatrix& g = keep ? record.graphDistance : graphDistance;
    LinkMatrix& links = record.links;
    // Whole-number distances when the data allow (loaded files always do):
    // the network and PRX then work on them without converting each cell.
    const bool whole = builder.unitsInto(record, units);
    if (!whole)
        builder.distanceInto(record, d);
    else if (keep)
        storeMoney(units, d);
    progress.advance();  // the item-concept hits
    progress.advance();  // their column distances
    if (whole)
        methodNetworkInto(options.method, units, n, links);
    else
        methodNetworkInto(options.method, d, n, links);
    // Each run counts from zero, so a second run gives the same rates.
    record.linkCounts = {};
    const std::optional<double> pfcValue = compareLinks(links, g, record.linkCounts);

    const FormattedValue& pfc = pfcTexts.get(pfcValue);
    const FormattedValue& gtd = gtdTexts.get(gtdAgainst.index(g));
    const FormattedValue& prx = prxTexts.get(whole ? prxAgainst.index(units) : prxAgainst.index(d));
    record.pfcValue = pfc.value;
    record.pfc = pfc.text;
    record.gtdValue = gtd.value;
    record.gtd = gtd.text;
    record.prxValue = prx.value;
    record.prx = prx.text;

    storeRates(record);

    if (!keep) {
        record.distance = DistanceMatrix();
        record.graphDistance = GraphDistanceMatrix();
    }
}

// The graph distances, the PFC index and the link flags of a student's
// network, read into rows once for all three.
std::optional<double> ClassRun::compareLinks(const LinkMatrix& links, GraphDistanceMatrix& g,
                                             LinkFlagCounts& counts) {
    linkRowsInto(links, state.conceptCount, rows);
    PointDistanceNOInto(rows, g);
    CountLinkFlags(stdRows, rows, counts);
    return PfcIndex(stdRows, rows);
}

void ClassRun::storeRates(StudentRecord& record) {
    const LinkFlagCounts& c = record.linkCounts;
    const int totals[2] = {c[kStdLinks], c[kTargetLinks]};
    std::string* texts[6] = {&record.matchOnStd,    &record.missOnStd,    &record.overOnStd,
                             &record.matchOnTarget, &record.missOnTarget, &record.overOnTarget};
    for (int side = 0; side < 2; ++side) {
        for (int flag = kMatch; flag <= kOver; ++flag) {
            const int slot = side * 3 + flag;
            const FormattedValue& rate = rates.get(c[static_cast<std::size_t>(flag)], totals[side]);
            record.rateValues[static_cast<std::size_t>(slot)] = rate.value;
            *texts[slot] = rate.text;
        }
    }
}

}  // namespace

Expected<void> checkRunnable(const AppState& s) {
    if (auto loaded = checkLoaded(s); !loaded) return loaded;
    const std::string n = std::to_string(s.conceptCount);
    if (s.conceptCount < 2)
        return errorText("無法執行分析：概念註解檔只有 " + n + " 個概念，至少需要 2 個概念。");
    if (s.itemConcept.cols() != s.conceptCount)
        return errorText("無法執行分析：題目所包含概念檔是依 " +
                         std::to_string(s.itemConcept.cols()) + " 個概念載入的，目前的概念註解檔有 " +
                         n + " 個概念。請重新載入題目所包含概念檔。");
    const auto keyItems = static_cast<std::int64_t>(s.answerKey.size());
    const std::int64_t tableItems = s.itemConcept.rows();
    if (keyItems != tableItems || s.itemCount != tableItems)
        return errorText("無法執行分析：學生資料檔有 " + std::to_string(keyItems) +
                         " 題，題目所包含概念檔有 " + std::to_string(tableItems) +
                         " 題，兩個檔案的題數必須相同。");
    if (!recordsConsistent(s))
        return errorText("無法執行分析：學生資料不完整，請重新載入學生資料檔。");
    return {};
}

RunResult runAnalysis(AppState& state, const RunOptions& options) {
    if (auto runnable = checkRunnable(state); !runnable) return runnable.error();
    const int n = state.conceptCount;
    Progress progress(state.studentCount, options.progress);
    progress.start();
    DistanceMatrix d0 = standardDistance(state);
    progress.advance();
    LinkMatrix l0 = methodNetwork(options.method, d0, n);
    GraphDistanceMatrix g0 = PointDistanceNO(l0, n);
    progress.advance();
    storeStandard(state, std::move(d0), std::move(l0), std::move(g0));

    std::string text;
    text.reserve(estimatedTextSize(state));
    text += kResultsHeader;
    text += state.lineBreak;
    ClassRun run(state, options);
    for (StudentRecord& record : state.students) {
        run.analyse(record, progress);
        appendResultRow(text, record, state.lineBreak);
        progress.advance();
    }
    progress.finish();
    state.hasResults = true;
    return text;
}

RunResult Level1TriangleRun(AppState& state, std::function<void(int)> progress) {
    RunOptions options;
    options.progress = std::move(progress);
    return runAnalysis(state, options);
}

RunResult Level1PathSearchRun(AppState& state, std::function<void(int)> progress) {
    RunOptions options;
    options.method = RunMethod::PathSearch;
    options.progress = std::move(progress);
    return runAnalysis(state, options);
}

}  // namespace qv
