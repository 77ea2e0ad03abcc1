#include "core/error.h"

namespace qv {

std::string Error::message() const {
    std::string out;
    if (!file.empty()) out += kind + "「" + file + "」";
    if (!sheet.empty()) out += "工作表「" + sheet + "」";
    if (!cell.empty()) {
        out += cell;
    } else if (line > 0) {
        out += "第 " + std::to_string(line) + " 行";
        if (field > 0) out += "第 " + std::to_string(field) + " 欄";
    }
    if (!out.empty()) out += "：";
    out += what;
    return out;
}

}  // namespace qv
