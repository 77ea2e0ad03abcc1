#include "pathfinder/network_limits.h"

namespace qv {

std::optional<std::string> conceptCountError(const DistanceMatrix& d, int n) {
    if (n < 0) return "概念數不可為負數（" + std::to_string(n) + "）";
    if (n > kMaxConceptCount)
        return "概念數 " + std::to_string(n) + " 超出範圍，最多 " +
               std::to_string(kMaxConceptCount) + " 個概念";
    if (n > d.rows() || n > d.cols())
        return "概念數 " + std::to_string(n) + " 大於距離矩陣的大小（" + std::to_string(d.rows()) +
               "x" + std::to_string(d.cols()) + "）";
    return std::nullopt;
}

std::optional<std::string> dcConceptCountError(const DistanceMatrix& d, int n) {
    if (auto error = conceptCountError(d, n)) return error;
    if (n > kMaxDCConceptCount)
        return "DC 算則最多只能處理 " + std::to_string(kMaxDCConceptCount) + " 個概念（輸入 " +
               std::to_string(n) + " 個）";
    return std::nullopt;
}

}  // namespace qv
