#include "stats/bootstrap.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <memory>

#include "analysis/run.h"
#include "core/limits.h"
#include "core/number_text.h"
#include "core/ordered_blocks.h"

namespace qv {

namespace {

constexpr int kIndices = 3;
constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

struct Cancelled {};

bool cancelled(const BootstrapOptions& options) {
    return options.cancel && options.cancel->load(std::memory_order_relaxed);
}

// The replicate's class and records, rebuilt in place for each replicate a
// worker takes.
struct Replicate {
    ClassData data;
    std::vector<StudentRecord> records;
    std::vector<int> items;
    std::vector<std::int32_t> kept;  // this worker's share of every student's linksKept
};

void fillReplicate(const ClassData& from, Replicate& r) {
    const int n = from.conceptCount;
    const auto itemCount = static_cast<int>(r.items.size());
    ClassData& d = r.data;
    d.studentCount = from.studentCount;
    d.itemCount = itemCount;
    d.conceptCount = n;
    d.dataLoaded = d.conceptsLoaded = d.itemConceptLoaded = true;
    d.answerKey.resize(r.items.size());
    d.itemConcept.resize(itemCount, n);
    for (int k = 0; k < itemCount; ++k) {
        const int item = r.items[static_cast<std::size_t>(k)];
        d.answerKey[static_cast<std::size_t>(k)] = from.answerKey[static_cast<std::size_t>(item)];
        std::copy_n(from.itemConcept.rowData(item), n, d.itemConcept.rowData(k));
    }
    const std::size_t words = (r.items.size() + 63) / 64;
    r.records.resize(from.students.size());
    for (std::size_t s = 0; s < from.students.size(); ++s) {
        const Student& student = from.students[s];
        StudentRecord& record = r.records[s];
        record.correct.assign(words, 0);
        for (int k = 0; k < itemCount; ++k)
            record.correct[static_cast<std::size_t>(k) / 64] |=
                std::uint64_t{student.isCorrect(r.items[static_cast<std::size_t>(k)])} << (k % 64);
        record.score = 0;
        for (std::uint64_t w : record.correct)
            record.score += std::popcount(w);
    }
}

}  // namespace

std::vector<int> replicateItems(std::uint64_t seed, std::uint64_t b, int itemCount) {
    SplitMix64 generator = SplitMix64::replicate(seed, b);
    std::vector<int> items(static_cast<std::size_t>(std::max(itemCount, 0)));
    for (int& item : items)
        item = static_cast<int>(generator.next() % static_cast<std::uint64_t>(itemCount));
    return items;
}

Expected<Confidence> parseConfidence(std::string_view text) {
    const auto refuse = [&text] {
        return errorText("信賴水準須為 0 與 1 之間的小數（例如 0.95），最多 9 位小數，讀到「" +
                         std::string(text) + "」。");
    };
    std::string_view digits = text;
    if (digits.starts_with("0")) digits.remove_prefix(1);
    if (!digits.starts_with(".") || digits.size() < 2 || digits.size() > 10) return refuse();
    digits.remove_prefix(1);
    Confidence c{0, 1};
    for (char ch : digits) {
        if (ch < '0' || ch > '9') return refuse();
        c.parts = c.parts * 10 + (ch - '0');
        c.scale *= 10;
    }
    if (c.parts == 0) return refuse();
    return c;
}

std::array<std::size_t, 2> percentilePositions(std::size_t m, const Confidence& c) {
    // floor((m-1)(1-C)/2) and ceil((m-1)(1+C)/2) with C = parts/scale, in
    // whole numbers: m is below kMaxBootstrapCells and scale at most 10^9.
    const auto last = static_cast<std::uint64_t>(m - 1);
    const auto parts = static_cast<std::uint64_t>(c.parts);
    const auto scale = static_cast<std::uint64_t>(c.scale);
    const std::uint64_t low = last * (scale - parts) / (2 * scale);
    const std::uint64_t high = (last * (scale + parts) + 2 * scale - 1) / (2 * scale);
    return {static_cast<std::size_t>(low), static_cast<std::size_t>(high)};
}

double linkStability(std::int32_t kept, int replicates) {
    return RoundToDecimals(static_cast<double>(kept) / replicates, 3);
}

Expected<BootstrapResults> bootstrapIntervals(const RunResults& run,
                                              const BootstrapOptions& options) {
    const ClassData& data = *run.data;
    const std::size_t students = run.students.size();
    if (options.replicates < 1) return errorText("重抽次數至少為 1。");
    // A replicate's referent would be rebuilt from its own students: not defined yet.
    if (!options.method.referent.isDesign())
        return errorText("信賴區間只能以題目設計的標準網路為參照；請改用預設的參照（design）。");
    const auto replicates = static_cast<std::size_t>(options.replicates);
    if (static_cast<std::int64_t>(students) * options.replicates > kMaxBootstrapCells)
        return errorText(
            "學生數 × 重抽次數 = " + std::to_string(students) + " × " + std::to_string(replicates) +
            "，超過上限 " + std::to_string(kMaxBootstrapCells) + "；這個班級最多可重抽 " +
            std::to_string(kMaxBootstrapCells / std::max<std::size_t>(students, 1)) + " 次。");
    if (auto runnable = checkClassRunnable(data); !runnable) return runnable.error();
    if (auto method = checkRunMethod(options.method, data.conceptCount); !method)
        return method.error();

    // Where each student's links start among the counts of kept links.
    std::vector<std::size_t> linkStart(students + 1, 0);
    for (std::size_t s = 0; s < students; ++s) {
        std::size_t links = 0;
        forEachUpperLink(run.students[s].links, [&links](int, int) { ++links; });
        linkStart[s + 1] = linkStart[s] + links;
    }
    // values[(index * students + s) * B + b]: every replicate writes its own
    // cells, so the threads never share one and their count changes nothing.
    std::vector<double> values(kIndices * students * replicates, kNoValue);

    const int threads = static_cast<int>(
        std::min<std::size_t>(static_cast<std::size_t>(workerCount(options.threads)), replicates));
    std::vector<std::unique_ptr<Replicate>> workers;
    for (int w = 0; w < threads; ++w) {
        workers.push_back(std::make_unique<Replicate>());
        workers.back()->kept.assign(linkStart[students], 0);
    }
    const auto itemCount = static_cast<std::uint64_t>(data.itemCount);
    try {
        forEachBlockInOrder(
            replicates, threads, 2 * static_cast<std::size_t>(threads),
            [&](std::size_t b, int worker) {
                if (cancelled(options)) return;
                Replicate& r = *workers[static_cast<std::size_t>(worker)];
                SplitMix64 generator = SplitMix64::replicate(options.seed, b);
                r.items.resize(static_cast<std::size_t>(itemCount));
                for (int& item : r.items)
                    item = static_cast<int>(generator.next() % itemCount);
                fillReplicate(data, r);
                analyseRecords(r.data, options.method, r.records);
                for (std::size_t s = 0; s < students; ++s) {
                    const StudentRecord& record = r.records[s];
                    const std::optional<double>* indices[kIndices] = {
                        &record.pfcValue, &record.gtdValue, &record.prxValue};
                    for (int x = 0; x < kIndices; ++x)
                        if (*indices[x])
                            values[(static_cast<std::size_t>(x) * students + s) * replicates + b] =
                                **indices[x];
                    std::size_t slot = linkStart[s];
                    forEachUpperLink(run.students[s].links, [&](int i, int j) {
                        r.kept[slot++] += hasLink(record.links, i, j);
                    });
                }
            },
            [&](std::size_t b) {
                if (cancelled(options)) throw Cancelled{};
                if (options.progress)
                    options.progress(static_cast<int>(static_cast<std::int64_t>(kProgressMax) *
                                                      static_cast<std::int64_t>(b + 1) /
                                                      options.replicates));
            });
    } catch (const Cancelled&) {
        return errorText(std::string(kRunCancelled));
    }

    BootstrapResults out;
    out.replicates = options.replicates;
    out.seed = options.seed;
    out.confidence = options.confidence;
    out.students.resize(students);
    std::vector<double> sorted;
    for (std::size_t s = 0; s < students; ++s) {
        StudentIntervals& si = out.students[s];
        for (int x = 0; x < kIndices; ++x) {
            const double* from =
                values.data() + (static_cast<std::size_t>(x) * students + s) * replicates;
            sorted.clear();
            for (std::size_t b = 0; b < replicates; ++b)
                if (!std::isnan(from[b])) sorted.push_back(from[b]);
            if (sorted.empty()) continue;
            std::sort(sorted.begin(), sorted.end());
            const auto [low, high] = percentilePositions(sorted.size(), options.confidence);
            si.ci[static_cast<std::size_t>(x)] = Interval{sorted[low], sorted[high]};
        }
        si.linksKept.assign(linkStart[s + 1] - linkStart[s], 0);
        for (const auto& worker : workers)
            for (std::size_t k = 0; k < si.linksKept.size(); ++k)
                si.linksKept[k] += worker->kept[linkStart[s] + k];
    }
    return out;
}

std::array<std::optional<double>, 3> medianWidths(const BootstrapResults& results) {
    std::array<std::optional<double>, 3> medians;
    std::vector<double> widths;
    for (std::size_t x = 0; x < medians.size(); ++x) {
        widths.clear();
        for (const StudentIntervals& s : results.students)
            if (s.ci[x]) widths.push_back(s.ci[x]->high - s.ci[x]->low);
        if (widths.empty()) continue;
        std::sort(widths.begin(), widths.end());
        const std::size_t half = widths.size() / 2;
        const double median =
            widths.size() % 2 == 1 ? widths[half] : (widths[half - 1] + widths[half]) / 2;
        medians[x] = roundIndex(median);
    }
    return medians;
}

void appendIntervalsJson(std::string& out, const StudentIntervals& s, const LinkRows& links,
                         int replicates) {
    char number[32];
    const auto put = [&out, &number](double value) {
        if (const char* end = thousandthsJson(number, value))
            out.append(number, static_cast<std::size_t>(end - number));
        else
            out += numberText(value);
    };
    static constexpr const char* kKeys[] = {"pfc", "gtd", "prx"};
    out += ",\"ci\":{";
    for (std::size_t x = 0; x < s.ci.size(); ++x) {
        if (x > 0) out += ',';
        out += '"';
        out += kKeys[x];
        out += "\":";
        if (!s.ci[x]) {
            out += "null";
            continue;
        }
        out += '[';
        put(s.ci[x]->low);
        out += ',';
        put(s.ci[x]->high);
        out += ']';
    }
    out += "},\"linkStability\":[";
    std::size_t k = 0;
    forEachUpperLink(links, [&](int i, int j) {
        if (k > 0) out += ',';
        out += '[' + std::to_string(i + 1) + ',' + std::to_string(j + 1) + ',';
        put(linkStability(s.linksKept[k++], replicates));
        out += ']';
    });
    out += ']';
}

void appendIntervalsCsv(std::string& out, const StudentIntervals& s) {
    for (const std::optional<Interval>& ci : s.ci) {
        for (double bound : {ci ? ci->low : 0.0, ci ? ci->high : 0.0}) {
            out += ',';
            if (ci) out += numberText(bound);
        }
    }
}

}  // namespace qv
