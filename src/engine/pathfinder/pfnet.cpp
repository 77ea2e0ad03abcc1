#include "pathfinder/pfnet.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/limits.h"
#include "core/number_text.h"
#include "pathfinder/network_limits.h"
#include "pathfinder/pfnet_internal.h"

namespace qv {

namespace {

template <typename Cell>
void networkInto(const Matrix<Cell>& d, int n, PfnetParams params, LinkMatrix& out) {
    n = std::max(n, 0);
    out.resize(n, n);
    out.fill(0);
    if (n < 2) return;
    const int q = params.q <= 0 ? n - 1 : std::max(params.q, 1);
    if (q < n - 1)
        pfnet::boundedHopNetwork(d, n, params.r, q, out);
    else if (params.r == PfnetR::Infinity && n <= pfnet::kBitSetConcepts)
        pfnet::smallMinimaxNetwork(d, n, out);
    else if (params.r == PfnetR::Infinity)
        pfnet::minimaxNetwork(d, n, out);
    else if (n <= pfnet::kAllPairsConcepts)
        pfnet::allPairsNetwork(d, n, out);
    else
        pfnet::shortestPathNetwork(d, n, out);
}

}  // namespace

int pfnetHops(PfnetParams params, int n) {
    const int most = std::max(n - 1, 0);
    return params.q <= 0 ? most : std::min(params.q, most);
}

std::string pfnetName(PfnetParams params, int n) {
    return std::string("PFNET(r=") + (params.r == PfnetR::One ? "1" : "∞") +
           ", q=" + std::to_string(pfnetHops(params, n)) + ")";
}

int pfnetMostBoundedHops(int n) {
    if (n < 3) return 1;
    // q takes floor(log2 q) squarings and at most as many other products, so
    // every q below 2^(k + 1) needs at most 2k products.
    const std::int64_t cube = std::int64_t{n} * n * n;
    const std::int64_t products = kMaxPfnetBoundedSteps / cube;
    const int k = static_cast<int>(std::min<std::int64_t>(products / 2, 30));
    const std::int64_t most = (std::int64_t{2} << k) - 1;
    return static_cast<int>(std::min<std::int64_t>(most, n - 2));
}

Expected<void> checkPfnetParams(PfnetParams params, int n) {
    if (params.q == 0) return {};
    const std::string given = "（讀到 " + std::to_string(params.q) + "）";
    if (n < 3)
        return errorText("只有 " + std::to_string(n) + " 個概念時，q 只能是預設的 n − 1" + given);
    if (params.q < 2 || params.q > n - 1)
        return errorText("q 須為 2 到 " + std::to_string(n - 1) + "（概念數 − 1）的整數" + given);
    const int most = pfnetMostBoundedHops(n);
    if (params.q > most && params.q < n - 1) {
        const std::string last = std::to_string(n - 1) + "（概念數 − 1）";
        const std::string accepted =
            most < 2 ? "q 只能是 " + last
                     : "q 只能是 2 到 " + std::to_string(most) + " 或 " + last;
        return errorText(std::to_string(n) + " 個概念時，" + accepted +
                         "：較大的 q 要算 n³ log q 步，太久" + given);
    }
    return {};
}

std::string matrixCellName(int row, int col) {
    return "第 " + std::to_string(row + 1) + " 列第 " + std::to_string(col + 1) + " 欄";
}

Expected<void> checkPfnetMatrix(const DistanceMatrix& d, int n, const CellName& cellName) {
    if (auto size = checkConceptCount(d, n); !size) return size;
    for (int i = 0; i < n; ++i) {
        for (int j = i; j < n; ++j) {
            if (d(i, j) < Currency{} || d(j, i) < Currency{}) {
                const bool upper = d(i, j) < Currency{};
                const int a = upper ? i : j, b = upper ? j : i;
                return errorText("距離矩陣" + cellName(a, b) + "是負值 " +
                                 numberText(d(a, b).toDouble()) +
                                 "；標準 Pathfinder 網路只接受非負的距離");
            }
            if (d(i, j) != d(j, i))
                return errorText("距離矩陣不對稱：" + cellName(i, j) + "是 " +
                                 numberText(d(i, j).toDouble()) + "，" + cellName(j, i) + "卻是 " +
                                 numberText(d(j, i).toDouble()) +
                                 "；標準 Pathfinder 網路只接受對稱的矩陣");
        }
    }
    return {};
}

Expected<LinkMatrix> PfnetNetwork(const DistanceMatrix& d, int n, PfnetParams params) {
    if (auto matrix = checkPfnetMatrix(d, n); !matrix) return matrix.error();
    if (auto checked = checkPfnetParams(params, n); !checked) return checked.error();
    LinkMatrix out;
    networkInto(d, n, params, out);
    return out;
}

void PfnetNetworkInto(const DistanceMatrix& d, int n, PfnetParams params, LinkMatrix& out) {
    networkInto(d, n, params, out);
}

void PfnetNetworkInto(const WholeDistanceMatrix& d, int n, PfnetParams params, LinkMatrix& out) {
    networkInto(d, n, params, out);
}

namespace pfnet {

namespace {

// The 8 x 8 bytes of eight rows (one word each, byte c = column c) transposed
// in place: swap the off-diagonal 4 x 4 blocks, then 2 x 2, then single bytes.
void transpose8(std::uint64_t (&rows)[8]) {
    constexpr std::uint64_t k4 = 0x00000000FFFFFFFFull, k2 = 0x0000FFFF0000FFFFull,
                            k1 = 0x00FF00FF00FF00FFull;
    const auto swap = [&rows](int a, int b, int shift, std::uint64_t mask) {
        const std::uint64_t t = ((rows[a] >> shift) ^ rows[b]) & mask;
        rows[a] ^= t << shift;
        rows[b] ^= t;
    };
    for (int r = 0; r < 4; ++r)
        swap(r, r + 4, 32, k4);
    for (const int r : {0, 1, 4, 5})
        swap(r, r + 2, 16, k2);
    for (const int r : {0, 2, 4, 6})
        swap(r, r + 1, 8, k1);
}

void load8(const LinkMatrix& m, int row, int col, std::uint64_t (&block)[8]) {
    for (int r = 0; r < 8; ++r)
        std::memcpy(&block[r], m.rowData(row + r) + col, 8);
}

void store8(LinkMatrix& m, int row, int col, const std::uint64_t (&block)[8]) {
    for (int r = 0; r < 8; ++r)
        std::memcpy(m.rowData(row + r) + col, &block[r], 8);
}

}  // namespace

// Whole 8 x 8 blocks a word per row, the ragged edge cell by cell.
void mirrorLinks(LinkMatrix& out, int n) {
    const int whole = n / 8 * 8;
    for (int bi = 0; bi < whole; bi += 8) {
        for (int bj = bi; bj < whole; bj += 8) {
            std::uint64_t upper[8], lower[8];
            load8(out, bi, bj, upper);
            load8(out, bj, bi, lower);
            transpose8(lower);
            for (int r = 0; r < 8; ++r)
                upper[r] |= lower[r];
            store8(out, bi, bj, upper);
            transpose8(upper);
            store8(out, bj, bi, upper);
        }
    }
    for (int i = 0; i < n; ++i) {
        std::uint8_t* row = out.rowData(i);
        for (int j = std::max(whole, i + 1); j < n; ++j) {
            std::uint8_t& mirror = out.rowData(j)[i];
            row[j] = mirror = row[j] | mirror;
        }
    }
}

}  // namespace pfnet

}  // namespace qv
