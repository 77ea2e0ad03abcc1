#include "pathfinder/network_limits.h"

#include <string>

namespace qv {

Expected<void> checkConceptCount(const DistanceMatrix& d, int n) {
    if (n < 0) return errorText("概念數不可為負數（" + std::to_string(n) + "）");
    if (n > kMaxNetworkConcepts)
        return errorText("概念數 " + std::to_string(n) + " 超出範圍，最多 " +
                         std::to_string(kMaxNetworkConcepts) + " 個概念");
    if (n > d.rows() || n > d.cols())
        return errorText("概念數 " + std::to_string(n) + " 大於距離矩陣的大小（" +
                         std::to_string(d.rows()) + "x" + std::to_string(d.cols()) + "）");
    return {};
}

Expected<void> checkDcConceptCount(const DistanceMatrix& d, int n) {
    if (auto checked = checkConceptCount(d, n); !checked) return checked;
    if (n > kMaxDcConcepts)
        return errorText("DC 算則最多只能處理 " + std::to_string(kMaxDcConcepts) +
                         " 個概念（輸入 " + std::to_string(n) + " 個）");
    return {};
}

}  // namespace qv
