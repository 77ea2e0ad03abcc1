#include "method_note.h"

#include <cstdint>

namespace qv::app {

QString denseStandardNote(const RunResults& results, const RunMethod& method) {
    const LinkMatrix& links = results.stdLinks;
    const int n = links.rows();
    if (n < 2 || links.cols() != n) return {};
    std::int64_t kept = 0;
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            kept += links(i, j) != 0 ? 1 : 0;
    const std::int64_t pairs = std::int64_t{n} * (n - 1) / 2;
    if (2 * kept <= pairs) return {};
    QString note = QStringLiteral("標準網路保留了 %1／%2 個概念對，超過一半").arg(kept).arg(pairs);
    if (method.kind != NetworkKind::Pfnet)
        note += QStringLiteral("；建議改用標準 Pathfinder 網路（PFNET）");
    return note + QStringLiteral("。");
}

}  // namespace qv::app
