#include "data/load_error.h"

namespace qv {

std::string LoadError::message() const {
    std::string out = "檔案「" + file + "」";
    if (line > 0) out += "第 " + std::to_string(line) + " 行";
    out += "：";
    out += what;
    return out;
}

}  // namespace qv
