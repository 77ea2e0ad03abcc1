// Matrix files. A first byte below 0xF0 makes the rest a matrix file: any
// bytes give either a square matrix every network method takes, or an error
// on a line of the file with a short message. From 0xF0 the rest seeds a
// valid matrix a little past the sizes where PFNET changes its method
// (minimum spanning tree past kBitSetConcepts, growing searches past
// kAllPairsConcepts), in lengths of 32 bits or, with bit 2 of the first byte,
// of 64; it is written out and read back, and its networks are checked
// against plain definitions. Nothing changes further up to the largest
// matrix taken, so a few concepts past each bound reach every path.
#include <algorithm>
#include <cstdint>
#include <limits>
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
#include "pathfinder/pfnet_internal.h"

namespace {

std::int64_t raw(const qv::DistanceMatrix& d, int i, int j) {
    return d(i, j).raw();
}

// The shortest path length from `from` to every concept, by Dijkstra's search
// over the whole matrix; a path's length is the sum of its links (r = 1) or
// the longest of them (r = infinity).
std::vector<std::int64_t> shortestFrom(const qv::DistanceMatrix& d, int n, int from, qv::PfnetR r) {
    const auto size = static_cast<std::size_t>(n);
    std::vector<std::int64_t> best(size, std::numeric_limits<std::int64_t>::max());
    std::vector<bool> done(size, false);
    best[static_cast<std::size_t>(from)] = 0;
    for (int round = 0; round < n; ++round) {
        int k = -1;
        for (int j = 0; j < n; ++j)
            if (!done[static_cast<std::size_t>(j)] &&
                (k < 0 || best[static_cast<std::size_t>(j)] < best[static_cast<std::size_t>(k)]))
                k = j;
        done[static_cast<std::size_t>(k)] = true;
        const std::int64_t at = best[static_cast<std::size_t>(k)];
        for (int j = 0; j < n; ++j) {
            const std::int64_t via =
                r == qv::PfnetR::One ? at + raw(d, k, j) : std::max(at, raw(d, k, j));
            best[static_cast<std::size_t>(j)] = std::min(best[static_cast<std::size_t>(j)], via);
        }
    }
    return best;
}

// Linked exactly when no path is strictly shorter than the link; checked on
// the rows of `rows` concepts spread over the matrix, and for symmetry.
void checkAgainstDefinition(const qv::DistanceMatrix& d, int n, qv::PfnetR r, int rows) {
    const auto links = qv::PfnetNetwork(d, n, {r, 0});
    QV_FUZZ_CHECK(links.ok() && links->rows() == n && links->cols() == n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            QV_FUZZ_CHECK((*links)(i, j) == (*links)(j, i));
    const int step = std::max(1, n / std::max(rows, 1));
    for (int i = 0; i < n; i += step) {
        const auto best = shortestFrom(d, n, i, r);
        for (int j = 0; j < n; ++j)
            QV_FUZZ_CHECK(((*links)(i, j) != 0) ==
                          (i != j && raw(d, i, j) <= best[static_cast<std::size_t>(j)]));
    }
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
        checkAgainstDefinition(d, n, qv::PfnetR::One, n);
        checkAgainstDefinition(d, n, qv::PfnetR::Infinity, n);
    }
}

void checkGenerated(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return;
    const bool sum = (data[0] & 1) != 0;
    const int past = (data[1] | data[2] << 8) % 32;
    const int n =
        sum ? qv::pfnet::kAllPairsConcepts + 1 + past : qv::pfnet::kBitSetConcepts + 1 + past;
    // Past 2^30 units two lengths no longer add up within 32 bits.
    const std::int64_t unit = (data[0] & 4) != 0 ? std::int64_t{2500} << 20 : 2500;
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
                static_cast<std::int64_t>(1 + state % static_cast<std::uint64_t>(spread)) * unit);
            d(i, j) = d(j, i) = value;
        }
    std::string text = std::to_string(n) + "\r\n";
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
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
    checkAgainstDefinition(*parsed, n, sum ? qv::PfnetR::One : qv::PfnetR::Infinity, 16);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    if (data[0] < 0xF0)
        checkText(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    else
        checkGenerated(data, size);
    return 0;
}
