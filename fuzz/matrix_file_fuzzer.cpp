// Matrix files: any bytes give either a square matrix every network method
// takes, or an error on a line of the file with a short message.
#include <cstdint>
#include <string_view>

#include "core/limits.h"
#include "data/lines.h"
#include "data/matrix_file.h"
#include "fuzz_check.h"
#include "pathfinder/first_order.h"
#include "pathfinder/network_limits.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    auto parsed = qv::parseMatrixText(text);
    if (!parsed) {
        const qv::Error& e = parsed.error();
        QV_FUZZ_CHECK(!e.what.empty() && e.what.size() < 1000);  // excerpts, not the input
        QV_FUZZ_CHECK(e.line >= 0 && static_cast<std::size_t>(e.line) <=
                                         qv::splitLineViews(text, qv::LineEnds::CrOrLf).size() + 1);
        return 0;
    }
    const qv::DistanceMatrix& d = *parsed;
    const int n = d.rows();
    QV_FUZZ_CHECK(n >= 1 && n <= qv::kMaxConcepts && d.cols() == n);
    QV_FUZZ_CHECK(qv::checkDcConceptCount(d, n).ok());
    const qv::LinkMatrix links = qv::FirstOrderPathSearch(d, n);
    QV_FUZZ_CHECK(links.rows() == n && links.cols() == n);
    for (int i = 0; i < n; ++i)
        QV_FUZZ_CHECK(links(i, i) == 0);
    return 0;
}
