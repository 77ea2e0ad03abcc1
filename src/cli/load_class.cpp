#include "load_class.h"

#include "analysis/referent.h"
#include "cli_text.h"
#include "data/class_folder.h"
#include "data/loaders.h"
#include "data/matrix_file.h"
#include "data/safe_file.h"
#include "samples/sample_class.h"

namespace qv::cli {

namespace {

ClassText sampleText() {
    return ClassText{samples::conceptFile(),         samples::itemConceptFile(),
                     samples::studentFile(),         samples::conceptFileName(),
                     samples::itemConceptFileName(), samples::studentFileName()};
}

}  // namespace

Expected<void> loadSampleClass(ClassPtr& data) {
    return loadClass(data, sampleText());
}

Expected<StudentFileIndex> loadIndexedClass(ClassPtr& data, const ClassSource& s) {
    if (s.sample) return loadClassIndexed(data, sampleText(), kStudentBlockGrain);
    return loadClassIndexed(data, s.files(), kStudentBlockGrain);
}

void addThreadsOption(CLI::App& cmd, int& threads) {
    cmd.add_option("--threads", threads, "工作執行緒數，0 為每個核心一個")
        ->check(numberBetween(0, 256))
        ->capture_default_str();
}

std::filesystem::path pathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::optional<std::string> formatForOutput(std::string& format, bool given,
                                           const std::string& output,
                                           std::initializer_list<const char*> formats) {
    std::string ext;
    for (const char c : pathOf(output).extension().string())
        ext += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    for (const std::string named : formats) {
        if (ext != "." + named) continue;
        if (!given) {
            format = named;
        } else if (format != named && !(named == "csv" && format == "links")) {
            // The long table is a CSV too.
            return "錯誤：--output「" + output + "」的副檔名是 ." + named + "，與 --format " +
                   format + " 不符；請讓兩者一致，或省略 --format 依副檔名決定。";
        }
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::string> outputIsInput(const ClassSource& s, const std::string& output) {
    if (output.empty() || output == "-" || s.sample) return std::nullopt;
    const ClassFiles files = s.files();
    for (const auto* input : {&files.data, &files.concepts, &files.items}) {
        if (sameFile(pathOf(output), *input))
            return "錯誤：輸出檔「" + output + "」就是輸入檔「" + pathText(*input) +
                   "」，寫入會毀掉班級資料；請改用另一個檔名。";
    }
    return std::nullopt;
}

RunMethod ClassSource::runMethod() const {
    if (method != "pfnet")
        return method == "path-search" ? RunMethod::PathSearch : RunMethod::Triangle;
    RunMethod m = RunMethod::pfnet(pfnetParamsOf(r, q));
    if (auto parsed = parseReferent(referent)) m.referent = parsed->choice();
    return m;
}

Expected<void> applyMethod(const ClassSource& source, RunOptions& options) {
    options.method = source.runMethod();
    if (options.method.referent.kind != ReferentKind::Matrix) return {};
    const auto referent = parseReferent(source.referent);
    DistanceMatrix sum;
    for (const std::string& name : referent->files) {
        auto read = readMatrixFile(pathOf(name));
        if (!read) return errorText("錯誤：" + read.error().message());
        if (!sum.empty() && read->rows() != sum.rows())
            return errorText("錯誤：距離矩陣檔「" + name + "」有 " +
                             std::to_string(read->rows()) + " 個概念，「" +
                             referent->files.front() + "」有 " + std::to_string(sum.rows()) +
                             " 個；參照的矩陣檔須有相同的概念數。");
        if (sum.empty()) {
            sum = std::move(*read);
            continue;
        }
        for (int i = 0; i < sum.rows(); ++i)
            for (int j = 0; j < sum.cols(); ++j)
                sum(i, j) += (*read)(i, j);
    }
    options.referentMatrix = std::move(sum);
    return {};
}

ClassFiles ClassSource::files() const {
    if (!classDir.empty()) return classFolderFiles(pathOf(classDir));
    return {pathOf(concepts), pathOf(items), pathOf(data)};
}

void addClassSourceOptions(CLI::App& cmd, ClassSource& source) {
    cmd.add_option("--class", source.classDir,
                   "班級資料夾：其中的 students.txt、concepts.txt 與 item-concepts.txt");
    cmd.add_option("--data", source.data, "學生資料檔（- 為標準輸入）");
    cmd.add_option("--concepts", source.concepts, "概念註解檔（- 為標準輸入）");
    cmd.add_option("--items", source.items, "題目所包含概念檔（- 為標準輸入）");
    cmd.add_flag("--sample", source.sample, "使用內建的範例班級");
    cmd.add_option("--method", source.method,
                   "Pathfinder 算則：triangle、path-search 或 pfnet（標準 Pathfinder 網路）")
        ->check(oneOf({"triangle", "path-search", "pfnet"}))
        ->capture_default_str();
    addPfnetOptions(cmd, source.r, source.q);
    cmd.add_option("--referent", source.referent,
                   "比較的參照：design（題目設計，預設）、best:P（分數前 P% 的學生）、"
                   "class（全班）或 matrix:檔案[,檔案…]（距離矩陣檔之和）；design 以外須配合 "
                   "--method pfnet")
        ->capture_default_str();
}

void addPfnetOptions(CLI::App& cmd, std::string& r, std::optional<int>& q) {
    cmd.add_option("--r", r, "pfnet：路徑長度取連結距離之和（1）或最大者（inf，預設）")
        ->check(oneOf({"1", "inf"}));
    cmd.add_option("--q", q, "pfnet：路徑最多幾個連結，2 到概念數 − 1（預設概念數 − 1）")
        ->check(notEmpty());
}

std::optional<std::string> pfnetOptionsProblem(const std::string& method, const std::string& r,
                                               const std::optional<int>& q) {
    if (method != "pfnet" && (!r.empty() || q)) return "錯誤：--r 與 --q 只適用於 --method pfnet。";
    if (q && *q < 2)
        return "錯誤：--q 須為 2 到概念數 − 1 的整數，讀到 " + std::to_string(*q) + "。";
    return std::nullopt;
}

PfnetParams pfnetParamsOf(const std::string& r, const std::optional<int>& q) {
    return {r == "1" ? PfnetR::One : PfnetR::Infinity, q.value_or(0)};
}

std::optional<std::string> classSourceProblem(const ClassSource& s) {
    if (auto problem = pfnetOptionsProblem(s.method, s.r, s.q)) return problem;
    const auto referent = parseReferent(s.referent);
    if (!referent) return "錯誤：" + referent.error().what;
    if (!referent->isDesign() && s.method != "pfnet")
        return "錯誤：--referent " + s.referent +
               " 只適用於 --method pfnet：學生總和的距離矩陣要以 PFNET 化為網路。";
    const bool anyFile = !s.data.empty() || !s.concepts.empty() || !s.items.empty();
    if (!s.classDir.empty()) {
        if (anyFile || s.sample)
            return "錯誤：--class 不能與 --data、--concepts、--items 或 --sample 同時使用。";
        if (auto problem = classFolderProblem(pathOf(s.classDir)))
            return "錯誤：" + *problem + "。";
        return std::nullopt;
    }
    if ((s.data == "-") + (s.concepts == "-") + (s.items == "-") > 1)
        return "錯誤：標準輸入（-）只能給 --data、--concepts、--items 其中一個。";
    if (s.sample && anyFile) return "錯誤：--sample 不能與 --data、--concepts、--items 同時使用。";
    if (!s.sample && (s.data.empty() || s.concepts.empty() || s.items.empty()))
        return "錯誤：請指定 --data、--concepts 與 --items 三個檔案，或以 --class 指定班級資料夾，"
               "或使用 --sample。";
    return std::nullopt;
}

Expected<RunResults> loadAndAnalyse(const ClassSource& s, const std::optional<std::string>& onlyId,
                                    int threads, bool keepMatrices) {
    auto read = s.sample ? readClass(sampleText()) : readClass(s.files());
    if (!read) return read.error();
    ClassData& loaded = *read;
    // A group referent is made of the whole class: the others go after the run.
    const bool whole = s.runMethod().referent.leavesOneOut();
    if (onlyId && !whole) {
        std::erase_if(loaded.students, [&](const Student& r) { return r.id != *onlyId; });
        loaded.studentCount = static_cast<std::int32_t>(loaded.students.size());
    }
    auto data = std::make_shared<const ClassData>(std::move(loaded));
    RunOptions options;
    if (auto applied = applyMethod(s, options); !applied) return applied.error();
    options.threads = threads;
    // Large classes stay small in memory; the writers derive a student's
    // matrices when they need them.
    options.keepStudentMatrices = keepMatrices;
    auto result = runAnalysis(std::move(data), options);
    if (!result) return errorText("錯誤：" + result.error().message());
    if (onlyId && whole) {
        std::erase_if(result->students, [&](const StudentRecord& r) { return r.id != *onlyId; });
        result->text.clear();
    }
    return result;
}

}  // namespace qv::cli
