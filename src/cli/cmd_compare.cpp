#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/group_compare.h"
#include "analysis/referent.h"
#include "analyze_output.h"
#include "cli_text.h"
#include "commands.h"
#include "data/class_folder.h"
#include "data/loaders.h"
#include "load_class.h"

#ifdef QV_HAVE_RENDER
#include "cli_render.h"
#include "compare_export.h"
#include "layout/force_layout.h"
#endif

namespace qv::cli {

namespace {

struct CompareArgs {
    ClassSource source;
    std::string with, split, format = "json", output;
    bool paired = false, formatGiven = false;
    std::uint64_t permutations = 10'000, seed = 1;
    int threads = 0;
};

int fail(const std::string& message) {
    std::cerr << message << "\n";
    return kExitBadInput;
}

bool isPicture(const std::string& output) {
    std::string ext;
    for (const char c : pathOf(output).extension().string())
        ext += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return ext == ".png" || ext == ".svg" || ext == ".pdf";
}

std::optional<std::string> pictureProblem(const CompareArgs& a) {
    if (!isPicture(a.output)) return std::nullopt;
#ifdef QV_HAVE_RENDER
    if (a.formatGiven)
        return "錯誤：--output 為圖檔（.png、.svg、.pdf）時寫入的是比較圖，不能再指定 --format。";
    return std::nullopt;
#else
    return "錯誤：這個版本不含繪圖，無法輸出比較圖（.png、.svg、.pdf）；請以 .json 或 .csv 輸出。";
#endif
}

#ifdef QV_HAVE_RENDER
// A PDF holds every page; a PNG or an SVG is a file a page, the second and
// third beside it as "-2" and "-3".
int writePictures(const CompareResults& results, const std::string& output) {
    const auto gui = startGui();
    std::vector<PlanePoint> positions;
    if (auto placed = ForceLayout(results.layoutLinks, results.conceptCount))
        positions = std::move(placed).value();
    const auto written = render::writeComparePictures(results, positions, pathOf(output));
    if (!written) return fail("錯誤：" + written.error().message());
    return kExitOk;
}
#endif

// "score:P" as thousandths of a percent.
std::optional<std::int64_t> scorePercent(const std::string& split) {
    const auto percent = parsePercent(std::string_view(split).substr(6));
    return percent ? std::optional(*percent) : std::nullopt;
}

// The IDs of a list file: the first word of each line that is not blank.
Expected<std::vector<std::string>> readIds(const std::string& file) {
    auto bytes = readFileBytes(pathOf(file));
    if (!bytes) return errorText("錯誤：學號清單" + bytes.error().message());
    return parseIdList(std::move(bytes).value());
}

// The folder's name ("七年一班/" too), or the student file's without its extension.
std::string sideName(const ClassSource& source) {
    if (source.sample) return "範例班級";
    if (source.classDir.empty()) return pathOf(source.data).stem().string();
    return classFolderName(pathOf(source.classDir));
}

std::optional<std::string> argsProblem(const CompareArgs& a) {
    if (auto problem = classSourceProblem(a.source)) return problem;
    if (a.paired && a.with.empty()) return "錯誤：--paired 需要以 --with 指定第二次的班級資料夾。";
    if (!a.split.empty() && !a.with.empty())
        return "錯誤：--split 把一個班級分成兩組，不能與 --with 同時使用。";
    if (a.split.empty() && a.with.empty())
        return "錯誤：請以 --with 指定另一個班級，或以 --split score:P 或 --split ids:檔案 分組。";
    if (!a.split.empty() && a.split.rfind("ids:", 0) != 0 &&
        !(a.split.rfind("score:", 0) == 0 && scorePercent(a.split)))
        return "錯誤：--split 須為 score:P（P 大於 0、至多 100，至多三位小數）或 ids:檔案，讀到「" +
               a.split + "」。";
    if (auto problem = pictureProblem(a)) return problem;
    if (auto problem = outputIsInput(a.source, a.output)) return problem;
    return std::nullopt;
}

Expected<CompareResults> compare(const CompareArgs& a) {
    const bool pfnet = a.source.method == "pfnet";
    auto runA = loadAndAnalyse(a.source, std::nullopt, a.threads, pfnet);
    if (!runA) return runA.error();
    const RunMethod method = a.source.runMethod();
    CompareGroup groupA{sideName(a.source), &*runA, {}, method};
    CompareGroup groupB = groupA;
    PermutationOptions options;
    options.permutations = a.permutations;
    options.seed = a.seed;
    options.threads = a.threads;
    if (!a.with.empty()) {
        ClassSource other = a.source;
        other.classDir = a.with;
        other.sample = false;
        other.data = other.concepts = other.items = "";
        if (auto problem = classSourceProblem(other)) return errorText(*problem);
        auto runB = loadAndAnalyse(other, std::nullopt, a.threads, pfnet);
        if (!runB) return runB.error();
        groupB = CompareGroup{sideName(other), &*runB, {}, method};
        if (a.paired) {
            const auto matching = matchById(*runA, *runB);
            if (!matching) return errorText("錯誤：" + matching.error().message());
            return compareGroups(CompareDesign::Paired, groupA, groupB, &*matching, options);
        }
        for (std::size_t k = 0; k < runA->students.size(); ++k)
            groupA.students.push_back(static_cast<int>(k));
        for (std::size_t k = 0; k < runB->students.size(); ++k)
            groupB.students.push_back(static_cast<int>(k));
        return compareGroups(CompareDesign::TwoClasses, groupA, groupB, nullptr, options);
    }
    const bool byScore = a.split.rfind("score:", 0) == 0;
    Expected<std::array<std::vector<int>, 2>> sides = errorText("");
    if (byScore) {
        const std::int64_t percent = *scorePercent(a.split);
        sides = splitByScore(*runA, percent);
        const auto names = scoreSplitNames(percent);
        groupA.name = names[0];
        groupB.name = names[1];
    } else {
        const auto ids = readIds(a.split.substr(4));
        if (!ids) return ids.error();
        sides = splitByIds(*runA, *ids);
        groupA.name = kIdSplitNames[0];
        groupB.name = kIdSplitNames[1];
    }
    if (!sides) return errorText("錯誤：" + sides.error().message());
    groupA.students = (*sides)[0];
    groupB.students = (*sides)[1];
    return compareGroups(byScore ? CompareDesign::ScoreSplit : CompareDesign::IdSplit, groupA,
                         groupB, nullptr, options);
}

int runCompare(const CompareArgs& a) {
    if (auto problem = argsProblem(a)) return fail(*problem);
    std::string format = a.format;
    if (auto problem = formatForOutput(format, a.formatGiven, a.output, {"json", "csv"}))
        return fail(*problem);
    const auto results = compare(a);
    if (!results) {
        const std::string message = results.error().message();
        return fail(message.rfind("錯誤：", 0) == 0 ? message : "錯誤：" + message);
    }
#ifdef QV_HAVE_RENDER
    if (isPicture(a.output)) return writePictures(*results, a.output);
#endif
    auto opened = outputFile(a.output);
    if (!opened) return fail(opened.error().message());
    std::optional<SafeFile>& file = *opened;
    Sink out = file ? Sink(*file) : Sink(stdout);
    out.write(format == "csv" ? compareCsv(*results) : compareJson(*results));
    if (auto written = out.finish(); !written)
        return fail((file ? "錯誤：" : "") + written.error().message());
    return kExitOk;
}

}  // namespace

void addCompareCommand(CLI::App& app, int& status) {
    auto args = std::make_shared<CompareArgs>();
    CLI::App* cmd = app.add_subcommand(
        "compare", "比較兩組學生的網路：兩個班級、同一批學生的前後兩次，或一班的高低分組；"
                   "各概念對的連結人數與排列檢定");
    addClassSourceOptions(*cmd, args->source);
    cmd->add_option("--with", args->with, "另一個班級資料夾（兩班比較，或 --paired 的第二次）");
    cmd->add_flag("--paired", args->paired, "--class 與 --with 為同一批學生的前後兩次，依學號配對");
    cmd->add_option("--split", args->split,
                    "一班分成兩組：score:P 為依分數的前 P% 與後 P%，ids:檔案 為清單中的學號與其餘");
    cmd->add_option("--permutations", args->permutations,
                    "排列次數上限：排列方式不多於此數時全部列舉，否則隨機抽取這麼多次")
        ->check(numberBetween(1, static_cast<double>(kMaxPermutations)))
        ->capture_default_str();
    cmd->add_option("--seed", args->seed, "隨機抽取排列的亂數種子")->capture_default_str();
    auto* format = cmd->add_option("--format", args->format,
                                   "輸出格式：json 或 csv（預設依 --output 的副檔名 .csv、.json）")
                       ->check(oneOf({"json", "csv"}))
                       ->capture_default_str();
    cmd->add_option("--output", args->output,
                    "寫入此檔，而非標準輸出（- 為標準輸出）；.pdf 為所有頁的比較圖，"
                    ".png、.svg 每頁一檔（第二頁起加 -2、-3）");
    addThreadsOption(*cmd, args->threads);
    cmd->callback([args, format, &status] {
        args->formatGiven = format->count() > 0;
        status = runCompare(*args);
    });
}

}  // namespace qv::cli
