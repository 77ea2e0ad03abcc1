#include "core/error.h"

namespace qv {

std::string Error::message() const {
    std::string out;
    if (!file.empty()) out += kind + "「" + file + "」";
    if (line > 0) out += "第 " + std::to_string(line) + " 行";
    if (line > 0 && field > 0) out += "第 " + std::to_string(field) + " 欄";
    if (!out.empty()) out += "：";
    out += what;
    return out;
}

}  // namespace qv
