#include "data/class_folder.h"

#include <system_error>

namespace qv {

ClassFiles classFolderFiles(const std::filesystem::path& dir) {
    return {dir / kClassConceptsName, dir / kClassItemsName, dir / kClassStudentsName};
}

std::optional<std::string> classFolderProblem(const std::filesystem::path& dir) {
    const std::string shown = "「" + pathText(dir) + "」";
    std::error_code ec;
    if (!std::filesystem::exists(dir, ec)) return "找不到資料夾" + shown;
    if (!std::filesystem::is_directory(dir, ec)) return shown + "不是資料夾";
    std::string missing;
    for (const char* name : {kClassStudentsName, kClassConceptsName, kClassItemsName}) {
        if (std::filesystem::exists(dir / name, ec)) continue;
        missing += (missing.empty() ? "" : "、") + std::string(name);
    }
    if (missing.empty()) return std::nullopt;
    return shown + "不是班級資料夾：缺少 " + missing + "（班級資料夾須有 " + kClassStudentsName +
           "、" + kClassConceptsName + " 與 " + kClassItemsName + " 三個檔案）";
}

std::string classFolderName(const std::filesystem::path& dir) {
    const std::filesystem::path clean = dir.lexically_normal();
    return (clean.has_filename() ? clean : clean.parent_path()).filename().string();
}

}  // namespace qv
