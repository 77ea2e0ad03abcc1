#include "compare_job.h"

#include "analysis/run.h"
#include "core/limits.h"
#include "data/class_folder.h"
#include "data/loaders.h"

namespace qv::app {

namespace {

// How much of the bar each step fills: the two runs, then the tests.
constexpr int kRunShare = kProgressMax / 5;

Expected<RunResults> runClass(ClassPtr data, const RunMethod& method,
                              const std::atomic<bool>& cancel,
                              const std::function<void(int)>& progress, int from) {
    RunOptions options;
    options.method = method;
    options.cancel = &cancel;
    options.progress = [&progress, from](int value) {
        progress(from + value * kRunShare / kProgressMax);
    };
    return runAnalysis(std::move(data), options);
}

std::vector<int> everyone(const RunResults& run) {
    std::vector<int> all(run.students.size());
    for (std::size_t k = 0; k < all.size(); ++k)
        all[k] = static_cast<int>(k);
    return all;
}

}  // namespace

std::optional<std::string> compareRequestProblem(const CompareRequest& request) {
    if (!request.classA) return "尚未載入班級。";
    if (const Expected<void> ready = checkRunnable(*request.classA); !ready)
        return "目前載入的班級還不能分析：" + ready.error().message();
    switch (request.design) {
        case CompareDesign::TwoClasses:
        case CompareDesign::Paired:
            if (request.folderB.empty()) return std::string("請先選擇 B 的班級資料夾。");
            return classFolderProblem(request.folderB);
        case CompareDesign::ScoreSplit:
            if (request.thousandths <= 0 || request.thousandths > 50'000)
                return std::string("前後百分比須大於 0，最多 50。");
            return std::nullopt;
        case CompareDesign::IdSplit:
            if (request.idFile.empty()) return std::string("請先選擇學號名單檔。");
            return std::nullopt;
    }
    return std::nullopt;
}

Expected<CompareOutcome> runComparison(const CompareRequest& request,
                                       const std::atomic<bool>& cancel,
                                       const std::function<void(int)>& progress) {
    if (const auto problem = compareRequestProblem(request)) return errorText(*problem);
    const bool twoRuns =
        request.design == CompareDesign::TwoClasses || request.design == CompareDesign::Paired;
    // B is read before anything runs: a file it refuses costs no waiting.
    ClassPtr classB;
    if (twoRuns) {
        Expected<ClassData> read = readClass(classFolderFiles(request.folderB));
        if (!read) return read.error();
        classB = std::make_shared<const ClassData>(std::move(read).value());
    }
    std::vector<std::string> ids;
    if (request.design == CompareDesign::IdSplit) {
        Expected<std::string> text = readFileBytes(request.idFile);
        if (!text) return errorText("學號名單" + text.error().message());
        ids = parseIdList(std::move(text).value());
    }
    Expected<RunResults> runA = runClass(request.classA, request.method, cancel, progress, 0);
    if (!runA) return runA.error();
    std::optional<RunResults> runB;
    if (twoRuns) {
        Expected<RunResults> b = runClass(classB, request.method, cancel, progress, kRunShare);
        if (!b) return b.error();
        runB = std::move(b).value();
    }
    CompareGroup a{request.nameA, &*runA, {}, request.method};
    CompareGroup b{classFolderName(request.folderB), runB ? &*runB : &*runA, {}, request.method};
    std::optional<Matching> matching;
    switch (request.design) {
        case CompareDesign::TwoClasses:
            a.students = everyone(*runA);
            b.students = everyone(*runB);
            break;
        case CompareDesign::Paired: {
            Expected<Matching> matched = matchById(*runA, *runB);
            if (!matched) return matched.error();
            matching = std::move(matched).value();
            a.students = everyone(*runA);
            b.students = everyone(*runB);
            break;
        }
        case CompareDesign::ScoreSplit: {
            auto split = splitByScore(*runA, request.thousandths);
            if (!split) return split.error();
            const auto names = scoreSplitNames(request.thousandths);
            a.name = names[0];
            b.name = names[1];
            a.students = std::move((*split)[0]);
            b.students = std::move((*split)[1]);
            break;
        }
        case CompareDesign::IdSplit: {
            auto split = splitByIds(*runA, ids);
            if (!split) return split.error();
            a.name = kIdSplitNames[0];
            b.name = kIdSplitNames[1];
            a.students = std::move((*split)[0]);
            b.students = std::move((*split)[1]);
            break;
        }
    }
    PermutationOptions options;
    options.permutations = request.permutations;
    options.seed = request.seed;
    options.cancel = &cancel;
    const int from = twoRuns ? 2 * kRunShare : kRunShare;
    options.progress = [&progress, from](int value) {
        progress(from + value * (kProgressMax - from) / kProgressMax);
    };
    Expected<CompareResults> compared =
        compareGroups(request.design, a, b, matching ? &*matching : nullptr, options);
    if (!compared) return compared.error();
    CompareOutcome outcome{std::move(compared).value(), {}};
    // Without a layout the picture falls back to the circle.
    if (auto positions = ForceLayout(outcome.results.layoutLinks, outcome.results.conceptCount))
        outcome.positions = std::move(positions).value();
    progress(kProgressMax);
    return outcome;
}

}  // namespace qv::app
