// PFNET(r = infinity, q = n - 1). The longest link of the best path between
// two concepts is their minimax distance, and on any minimum spanning tree it
// is the longest link of the tree path. Joining the tree's links in ascending
// order (Kruskal's order), the link of length w that joins parts A and B is
// that longest link for every pair across A and B, so each pair is decided
// exactly once, when its two parts meet: linked when D(a, b) <= w. Ties need
// nothing special: every minimum spanning tree gives the same minimax values.
// Prim's algorithm on the dense matrix, then the joins: O(n^2) time, O(n) extra
// memory.

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <vector>

#include "pathfinder/pfnet_internal.h"

namespace qv::pfnet {

namespace {

struct TreeLink {
    std::int64_t length;
    int a, b;
};

// Working storage kept by each thread: a run builds a network per student,
// and at twenty concepts allocating it would cost more than the work.
struct Scratch {
    std::vector<TreeLink> tree;
    std::vector<int> outside, from, part, merged;
    std::vector<std::int64_t> best;
    std::vector<std::vector<int>> members;
};

Scratch& scratch() {
    thread_local Scratch s;
    return s;
}

// Prim's algorithm into s.tree. The concepts outside the tree, each with its
// shortest link into the tree, are in three parallel arrays that shrink as
// the tree grows.
template <typename Cell>
void spanningTree(const Matrix<Cell>& d, int n, Scratch& s) {
    s.tree.clear();
    const auto rest = static_cast<std::size_t>(n) - 1;
    s.outside.resize(rest);
    s.from.assign(rest, 0);
    s.best.resize(rest);
    const Cell* row = d.rowData(0);
    for (std::size_t k = 0; k < rest; ++k) {
        s.outside[k] = static_cast<int>(k) + 1;
        s.best[k] = units(row[k + 1]);
    }
    while (!s.outside.empty()) {
        std::size_t pick = 0;
        for (std::size_t k = 1; k < s.outside.size(); ++k)
            if (s.best[k] < s.best[pick]) pick = k;
        const int u = s.outside[pick];
        s.tree.push_back({s.best[pick], s.from[pick], u});
        s.outside[pick] = s.outside.back();
        s.best[pick] = s.best.back();
        s.from[pick] = s.from.back();
        s.outside.pop_back();
        s.best.pop_back();
        s.from.pop_back();
        row = d.rowData(u);
        for (std::size_t k = 0; k < s.outside.size(); ++k) {
            const std::int64_t length = units(row[s.outside[k]]);
            if (length < s.best[k]) {
                s.best[k] = length;
                s.from[k] = u;
            }
        }
    }
}

using SmallTree = std::array<TreeLink, 63>;

// Prim's algorithm for up to 64 concepts with the outside ones as a bit set.
// Each pass brings their links up to date and finds the nearest of them, the
// next to join.
template <typename Cell>
void smallSpanningTree(const Matrix<Cell>& d, int n, SmallTree& tree) {
    using Bits = std::uint64_t;
    // Only the entries of the n concepts are written and read.
    std::array<std::int64_t, 64> best;
    std::array<int, 64> from;
    Bits outside = (n == 64 ? ~Bits{0} : (Bits{1} << n) - 1) & ~Bits{1};
    int pick = 0;
    for (std::size_t step = 0; outside != 0; ++step) {
        const Cell* row = d.rowData(pick);
        int next = -1;
        for (Bits rest = outside; rest != 0; rest &= rest - 1) {
            const auto v = static_cast<std::size_t>(std::countr_zero(rest));
            const std::int64_t length = units(row[v]);
            if (step == 0 || length < best[v]) {
                best[v] = length;
                from[v] = pick;
            }
            if (next < 0 || best[v] < best[static_cast<std::size_t>(next)])
                next = static_cast<int>(v);
        }
        pick = next;
        const auto p = static_cast<std::size_t>(pick);
        tree[step] = {best[p], from[p], pick};
        outside &= ~(Bits{1} << pick);
    }
}

}  // namespace

// The joins with each part as a bit set, nothing allocated.
template <typename Cell>
void smallMinimaxNetwork(const Matrix<Cell>& d, int n, LinkMatrix& out) {
    using Bits = std::uint64_t;
    SmallTree tree;
    smallSpanningTree(d, n, tree);
    const auto links = static_cast<std::size_t>(n) - 1;
    std::sort(tree.begin(), tree.begin() + static_cast<std::ptrdiff_t>(links),
              [](const TreeLink& x, const TreeLink& y) { return x.length < y.length; });
    std::array<Bits, 64> members;
    std::array<int, 64> part, size;
    for (int v = 0; v < n; ++v) {
        members[static_cast<std::size_t>(v)] = Bits{1} << v;
        part[static_cast<std::size_t>(v)] = v;
        size[static_cast<std::size_t>(v)] = 1;
    }
    for (std::size_t k = 0; k < links; ++k) {
        const TreeLink& link = tree[k];
        auto small = static_cast<std::size_t>(part[static_cast<std::size_t>(link.a)]);
        auto large = static_cast<std::size_t>(part[static_cast<std::size_t>(link.b)]);
        if (size[small] > size[large]) std::swap(small, large);
        // Small enough to write both halves at once.
        for (Bits as = members[small]; as != 0; as &= as - 1) {
            const int a = std::countr_zero(as);
            const Cell* cells = d.rowData(a);
            std::uint8_t* linked = out.rowData(a);
            std::uint8_t* column = out.rowData(0) + a;
            for (Bits bs = members[large]; bs != 0; bs &= bs - 1) {
                const int b = std::countr_zero(bs);
                linked[b] = column[b * n] = units(cells[b]) <= link.length ? 1 : 0;
            }
            part[static_cast<std::size_t>(a)] = static_cast<int>(large);
        }
        members[large] |= members[small];
        size[large] += size[small];
    }
}

template <typename Cell>
void minimaxNetwork(const Matrix<Cell>& d, int n, LinkMatrix& out) {
    Scratch& s = scratch();
    spanningTree(d, n, s);
    std::sort(s.tree.begin(), s.tree.end(),
              [](const TreeLink& x, const TreeLink& y) { return x.length < y.length; });
    // The parts, each known by one member and listing its members in
    // ascending order, so that a row is read forwards. A concept alone has
    // an empty list: most never need one.
    const auto count = static_cast<std::size_t>(n);
    s.part.resize(count);
    if (s.members.size() < count) s.members.resize(count);
    for (std::size_t v = 0; v < count; ++v) {
        s.part[v] = static_cast<int>(v);
        s.members[v].clear();
    }
    for (const TreeLink& link : s.tree) {
        int small = s.part[static_cast<std::size_t>(link.a)];
        int large = s.part[static_cast<std::size_t>(link.b)];
        const auto sizeOf = [&s](int p) {
            return std::max<std::size_t>(s.members[static_cast<std::size_t>(p)].size(), 1);
        };
        if (sizeOf(small) > sizeOf(large)) std::swap(small, large);
        std::vector<int>& into = s.members[static_cast<std::size_t>(large)];
        std::vector<int>& from = s.members[static_cast<std::size_t>(small)];
        if (into.empty()) into.push_back(large);
        if (from.empty()) from.push_back(small);
        // Rows of the smaller part: each concept's row is read in at most
        // log2 n joins. Only out(a, b) for a in it is set; mirrorLinks completes.
        for (const int a : from) {
            const Cell* row = d.rowData(a);
            std::uint8_t* links = out.rowData(a);
            for (const int b : into)
                links[b] = units(row[b]) <= link.length ? 1 : 0;
            s.part[static_cast<std::size_t>(a)] = large;
        }
        s.merged.resize(into.size() + from.size());
        std::merge(into.begin(), into.end(), from.begin(), from.end(), s.merged.begin());
        into.swap(s.merged);
        from.clear();
    }
    mirrorLinks(out, n);
}

template void smallMinimaxNetwork(const Matrix<Currency>&, int, LinkMatrix&);
template void smallMinimaxNetwork(const Matrix<std::int16_t>&, int, LinkMatrix&);
template void minimaxNetwork(const Matrix<Currency>&, int, LinkMatrix&);
template void minimaxNetwork(const Matrix<std::int16_t>&, int, LinkMatrix&);

}  // namespace qv::pfnet
