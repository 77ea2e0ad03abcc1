#include "analysis/group_compare.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

#include "analysis/referent.h"
#include "compare/indices.h"
#include "core/number_text.h"
#include "data/lines.h"
#include "data/text_codec.h"
#include "pathfinder/pfnet.h"
#include "report/class_charts.h"

namespace qv {

namespace {

// P in thousandths of a percent as the user typed it: "27", "12.5".
std::string percentText(std::int64_t thousandths) {
    return numberText(static_cast<double>(thousandths) / 1000.0);
}

std::vector<std::string> labelsOf(const ClassData& data) {
    std::vector<std::string> labels;
    for (int c = 0; c < data.conceptCount; ++c)
        labels.push_back(conceptLabel(c, data.conceptNames));
    return labels;
}

// The cell-wise sum of the records' distances: Currency sums are exact.
DistanceMatrix summedDistance(const std::vector<const StudentRecord*>& records, int n) {
    DistanceMatrix sum(n, n);
    for (const StudentRecord* r : records)
        for (int i = 0; i < n; ++i) {
            Currency* to = sum.rowData(i);
            const Currency* from = r->distance.rowData(i);
            for (int j = 0; j < n; ++j)
                to[j] += from[j];
        }
    return sum;
}

std::vector<std::array<int, 2>> upperPairs(const LinkMatrix& links, int n) {
    std::vector<std::array<int, 2>> pairs;
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            if (links(i, j) != 0) pairs.push_back({i, j});
    return pairs;
}


std::optional<std::int64_t> thousandths(const std::optional<double>& value) {
    if (!value) return std::nullopt;
    return std::llround(roundIndex(*value) * 1000.0);
}

std::array<std::optional<double>, 3> indicesOf(const StudentRecord& r) {
    return {r.pfcValue, r.gtdValue, r.prxValue};
}

// Pairs linked in `to` and not in `from`, row by row.
std::vector<std::array<int, 2>> linkedOnlyIn(const LinkRows& to, const LinkRows& from) {
    std::vector<std::array<int, 2>> pairs;
    forEachUpperLink(to, [&](int i, int j) {
        if (!hasLink(from, i, j)) pairs.push_back({i, j});
    });
    return pairs;
}

}  // namespace

Expected<Matching> matchById(const RunResults& a, const RunResults& b) {
    std::array<std::unordered_map<std::string_view, int>, 2> index;
    const std::array<const RunResults*, 2> runs{&a, &b};
    for (std::size_t side = 0; side < 2; ++side) {
        const auto& students = runs[side]->students;
        for (std::size_t k = 0; k < students.size(); ++k)
            if (!index[side].emplace(students[k].id, static_cast<int>(k)).second)
                return errorText("學號「" + students[k].id + "」在" +
                                 (side == 0 ? "第一次" : "第二次") +
                                 "的資料中出現兩次，無法配對。");
    }
    Matching m;
    for (std::size_t k = 0; k < a.students.size(); ++k) {
        const auto found = index[1].find(a.students[k].id);
        if (found == index[1].end())
            m.unmatched[0].push_back(a.students[k].id);
        else
            m.pairs.push_back({static_cast<int>(k), found->second});
    }
    for (const StudentRecord& r : b.students)
        if (!index[0].contains(r.id)) m.unmatched[1].push_back(r.id);
    return m;
}

Expected<std::array<std::vector<int>, 2>> splitByScore(const RunResults& run,
                                                       std::int64_t thousandths) {
    if (thousandths <= 0 || thousandths > 100'000)
        return errorText("百分比須大於 0、至多 100，讀到 " + percentText(thousandths) + "。");
    const std::vector<Student> students(run.students.begin(), run.students.end());
    const std::vector<bool> top = topScorers(students, thousandths);
    const std::vector<bool> bottom = bottomScorers(students, thousandths);
    std::array<std::vector<int>, 2> sides;
    for (std::size_t k = 0; k < students.size(); ++k) {
        if (top[k] && bottom[k])
            return errorText("前 " + percentText(thousandths) + "% 與後 " +
                             percentText(thousandths) + "% 的學生重疊（學號「" +
                             students[k].id + "」兩組都有），請改用較小的百分比。");
        if (top[k]) sides[0].push_back(static_cast<int>(k));
        if (bottom[k]) sides[1].push_back(static_cast<int>(k));
    }
    if (sides[0].empty()) return errorText("班級沒有學生，無法分組。");
    return sides;
}

Expected<std::array<std::vector<int>, 2>> splitByIds(const RunResults& run,
                                                     const std::vector<std::string>& ids) {
    const std::unordered_set<std::string_view> listed(ids.begin(), ids.end());
    std::array<std::vector<int>, 2> sides;
    for (std::size_t k = 0; k < run.students.size(); ++k)
        sides[listed.contains(run.students[k].id) ? 0 : 1].push_back(static_cast<int>(k));
    if (sides[0].empty()) return errorText("學號清單中的學號，班級裡一個也沒有。");
    if (sides[1].empty()) return errorText("班級的每位學生都在學號清單中，沒有可比較的另一組。");
    return sides;
}

Expected<CompareResults> compareGroups(CompareDesign design, const CompareGroup& a,
                                       const CompareGroup& b, const Matching* matching,
                                       const PermutationOptions& options) {
    const ClassData& dataA = *a.run->data;
    if (labelsOf(dataA) != labelsOf(*b.run->data))
        return errorText("兩個班級的概念不同（概念數或概念名稱不一致），無法比較。");
    if (!(a.method == b.method)) return errorText("兩組須以同一種算則分析。");
    const int n = dataA.conceptCount;

    // Each side's records; a paired design keeps the matched students only,
    // in A's order on both sides.
    std::array<std::vector<const StudentRecord*>, 2> records;
    const bool paired = design == CompareDesign::Paired;
    if (paired) {
        if (!matching) return errorText("配對比較需要依學號配對的結果。");
        for (const auto& [first, second] : matching->pairs) {
            records[0].push_back(&a.run->students[static_cast<std::size_t>(first)]);
            records[1].push_back(&b.run->students[static_cast<std::size_t>(second)]);
        }
    } else {
        for (const int k : a.students)
            records[0].push_back(&a.run->students[static_cast<std::size_t>(k)]);
        for (const int k : b.students)
            records[1].push_back(&b.run->students[static_cast<std::size_t>(k)]);
    }
    if (records[0].empty() || records[1].empty())
        return errorText(paired ? "兩次資料沒有相同學號的學生，無法配對比較。"
                                : "有一組沒有學生，無法比較。");

    std::array<Networks, 2> networks;
    for (std::size_t side = 0; side < 2; ++side)
        for (const StudentRecord* r : records[side])
            networks[side].push_back(&r->links);
    auto tests = paired ? pairedPairTests(networks[0], networks[1], n, options)
                        : groupPairTests(networks[0], networks[1], n, options);
    if (!tests) return tests.error();

    CompareResults out;
    out.design = design;
    out.method = a.method;
    out.methodName = a.run->methodName;
    out.referentKey = referentKey(a.method.referent);
    out.conceptCount = n;
    out.labels = labelsOf(dataA);
    out.tests = std::move(tests).value();
    out.seed = options.seed;
    out.layoutLinks = a.run->stdLinks;
    const std::array<const CompareGroup*, 2> groups{&a, &b};
    for (std::size_t side = 0; side < 2; ++side) {
        out.sides[side].name = groups[side]->name;
        out.sides[side].students = static_cast<int>(records[side].size());
        out.sides[side].majority = majorityPairs(networks[side], n);
    }

    out.hasMeanNetwork = a.method.kind == NetworkKind::Pfnet;
    if (out.hasMeanNetwork) {
        std::array<DistanceMatrix, 2> sums;
        for (std::size_t side = 0; side < 2; ++side) {
            for (const StudentRecord* r : records[side])
                if (r->distance.rows() != n)
                    return errorText("比較平均網路需要每位學生的距離矩陣。");
            sums[side] = summedDistance(records[side], n);
            LinkMatrix links;
            PfnetNetworkInto(sums[side], n, a.method.pfnetParams, links);
            out.sides[side].meanNetwork = upperPairs(links, n);
        }
        out.meanCorrelation = summedCorrelation(sums[0], sums[1], n);
    }

    if (paired) {
        out.unmatched = matching->unmatched;
        std::array<std::vector<std::optional<std::int64_t>>, 3> changes;
        for (std::size_t k = 0; k < records[0].size(); ++k) {
            const StudentRecord& first = *records[0][k];
            const StudentRecord& second = *records[1][k];
            StudentChange change{first.id, linkedOnlyIn(second.links, first.links),
                                 linkedOnlyIn(first.links, second.links), indicesOf(first),
                                 indicesOf(second)};
            for (std::size_t x = 0; x < 3; ++x) {
                const auto before = thousandths(change.first[x]);
                const auto after = thousandths(change.second[x]);
                changes[x].push_back(before && after ? std::optional(*after - *before)
                                                     : std::nullopt);
            }
            out.changes.push_back(std::move(change));
        }
        // The pair tests report the progress; these are quick beside them.
        PermutationOptions quiet = options;
        quiet.progress = {};
        for (std::size_t x = 0; x < 3; ++x) {
            auto test = signFlipTest(changes[x], quiet);
            if (!test) return test.error();
            out.indexTests[x] = *test;
        }
    }
    return out;
}

std::vector<std::string> parseIdList(std::string bytes) {
    const std::string text = decodeOwnedText(std::move(bytes));
    std::vector<std::string> ids;
    for (const std::string_view line : splitLineViews(text, LineEnds::CrOrLf)) {
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string_view::npos) continue;
        const std::size_t end = line.find_first_of(" \t", start);
        ids.emplace_back(line.substr(start, end == std::string_view::npos ? end : end - start));
    }
    return ids;
}

std::array<std::string, 2> scoreSplitNames(std::int64_t thousandths) {
    const std::string p = numberText(static_cast<double>(thousandths) / 1000.0);
    return {"前 " + p + "%", "後 " + p + "%"};
}

}  // namespace qv
