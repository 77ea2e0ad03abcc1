#include "command_line.h"

#include <string_view>

#include "quorvane_version.h"

namespace qv::app {

std::optional<int> answerWithoutWindow(int argc, const char* const* argv, std::ostream& out) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--version" || arg == "-v") {
            out << "quorvane " << QV_VERSION_TEXT << "\n";
            return 0;
        }
        if (arg == "--help" || arg == "-h") {
            out << "用法: quorvane [選項]\n"
                   "Quorvane 桌面程式：全班學生的 Pathfinder 概念網路，與標準網路比較。\n\n"
                   "選項:\n"
                   "  -h,--help      顯示這份說明並結束\n"
                   "  -v,--version   顯示版本並結束\n\n"
                   "批次處理請用 quorvane-cli（quorvane-cli --help）。\n";
            return 0;
        }
    }
    return std::nullopt;
}

}  // namespace qv::app
