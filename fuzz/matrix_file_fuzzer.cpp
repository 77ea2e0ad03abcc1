// Matrix files. A first byte below 0x80 makes the rest a matrix file: any
// bytes give either a square matrix every network method takes, or an error
// on a line of the file with a short message. From 0x80 the rest seeds a
// valid matrix of up to a few hundred concepts, written out and read back,
// so that the large-matrix paths of the reader and of PFNET are reached
// (minimum spanning tree past kBitSetConcepts, growing searches past
// kAllPairsConcepts); its networks are checked against plain definitions.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/limits.h"
#include "data/lines.h"
#include "data/matrix_file.h"
#include "fuzz_check.h"
#include "pathfinder/first_order.h"
#include "pathfinder/network_limits.h"
#include "pathfinder/pfnet.h"

namespace {

std::int64_t raw(const qv::DistanceMatrix& d, int i, int j) {
    return d(i, j).raw();
}

// Linked exactly when no path is strictly shorter than the link, its length
// the sum of its links (r = 1) or the longest of them (r = infinity).
void checkAgainstDefinition(const qv::DistanceMatrix& d, int n, qv::PfnetR r) {
    std::vector<std::int64_t> best(static_cast<std::size_t>(n) * static_cast<std::size_t>(n));
    auto at = [&](int i, int j) -> std::int64_t& {
        return best[static_cast<std::size_t>(i) * static_cast<std::size_t>(n) +
                    static_cast<std::size_t>(j)];
    };
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            at(i, j) = i == j ? 0 : raw(d, i, j);
    for (int k = 0; k < n; ++k)
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                const std::int64_t via = r == qv::PfnetR::One ? at(i, k) + at(k, j)
                                                              : std::max(at(i, k), at(k, j));
                at(i, j) = std::min(at(i, j), via);
            }
    const auto links = qv::PfnetNetwork(d, n, {r, 0});
    QV_FUZZ_CHECK(links.ok() && links->rows() == n && links->cols() == n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            QV_FUZZ_CHECK(((*links)(i, j) != 0) == (i != j && raw(d, i, j) <= at(i, j)));
}

void checkText(std::string_view text) {
    auto parsed = qv::parseMatrixText(text, qv::kMaxPfnetConcepts);
    if (!parsed) {
        const qv::Error& e = parsed.error();
        QV_FUZZ_CHECK(!e.what.empty() && e.what.size() < 1000);  // excerpts, not the input
        QV_FUZZ_CHECK(e.line >= 0 && static_cast<std::size_t>(e.line) <=
                                         qv::splitLineViews(text, qv::LineEnds::CrOrLf).size() + 1);
        return;
    }
    const qv::DistanceMatrix& d = *parsed;
    const int n = d.rows();
    QV_FUZZ_CHECK(n >= 1 && n <= qv::kMaxPfnetConcepts && d.cols() == n);
    if (qv::checkDcConceptCount(d, n).ok()) {
        const qv::LinkMatrix links = qv::FirstOrderPathSearch(d, n);
        QV_FUZZ_CHECK(links.rows() == n && links.cols() == n);
        for (int i = 0; i < n; ++i)
            QV_FUZZ_CHECK(links(i, i) == 0);
    }
    if (qv::checkPfnetMatrix(d, n).ok()) {
        checkAgainstDefinition(d, n, qv::PfnetR::One);
        checkAgainstDefinition(d, n, qv::PfnetR::Infinity);
    }
}

void checkGenerated(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return;
    // r = 1 above kAllPairsConcepts is slower to check: fewer concepts there.
    const bool sum = (data[0] & 1) != 0;
    const int n = sum ? 257 + (data[1] | data[2] << 8) % 64 : 65 + (data[1] | data[2] << 8) % 256;
    std::uint64_t state = 0x9E3779B97F4A7C15u;
    for (std::size_t k = 3; k < size; ++k)
        state = (state ^ data[k]) * 0x100000001B3u;
    // Few distinct values, so that ties, which must not cut a link, are common;
    // none zero, or the zero links alone would join every pair.
    const int spread = 1 + (size > 3 ? data[3] : 0) % 40;
    qv::DistanceMatrix d(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            state ^= state << 13, state ^= state >> 7, state ^= state << 17;
            const auto value = qv::Currency::fromRaw(
                static_cast<std::int64_t>(1 + state % static_cast<std::uint64_t>(spread)) * 2500);
            d(i, j) = d(j, i) = value;
        }
    std::string text = std::to_string(n) + "\r\n";
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j)
        {
            const std::int64_t v = raw(d, i, j);
            text += (j == 0 ? "" : " ") + std::to_string(v / 10000) + "." +
                    std::to_string(10000 + v % 10000).substr(1);
        }
        text += "\n";
    }
    auto parsed = qv::parseMatrixText(text, qv::kMaxPfnetConcepts);
    QV_FUZZ_CHECK(parsed.ok() && parsed->rows() == n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            QV_FUZZ_CHECK((*parsed)(i, j) == d(i, j));
    checkAgainstDefinition(*parsed, n, sum ? qv::PfnetR::One : qv::PfnetR::Infinity);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    if (data[0] < 0x80)
        checkText(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    else
        checkGenerated(data, size);
    return 0;
}
