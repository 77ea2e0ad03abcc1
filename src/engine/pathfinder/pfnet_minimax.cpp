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
#include <cstdint>
#include <vector>

#include "pathfinder/pfnet_internal.h"

namespace qv::pfnet {

namespace {

struct TreeLink {
    std::int64_t length;
    int a, b;
};

template <typename Cell>
std::vector<TreeLink> spanningTree(const Matrix<Cell>& d, int n) {
    std::vector<TreeLink> tree;
    tree.reserve(static_cast<std::size_t>(n) - 1);
    // The concepts outside the tree, each with its shortest link into the
    // tree, in three parallel arrays that shrink as the tree grows.
    std::vector<int> outside(static_cast<std::size_t>(n) - 1), from(outside.size(), 0);
    std::vector<std::int64_t> best(outside.size());
    const Cell* row = d.rowData(0);
    for (std::size_t k = 0; k < outside.size(); ++k) {
        outside[k] = static_cast<int>(k) + 1;
        best[k] = units(row[k + 1]);
    }
    while (!outside.empty()) {
        std::size_t pick = 0;
        for (std::size_t k = 1; k < outside.size(); ++k)
            if (best[k] < best[pick]) pick = k;
        const int u = outside[pick];
        tree.push_back({best[pick], from[pick], u});
        outside[pick] = outside.back();
        best[pick] = best.back();
        from[pick] = from.back();
        outside.pop_back();
        best.pop_back();
        from.pop_back();
        row = d.rowData(u);
        for (std::size_t k = 0; k < outside.size(); ++k) {
            const std::int64_t length = units(row[outside[k]]);
            if (length < best[k]) {
                best[k] = length;
                from[k] = u;
            }
        }
    }
    return tree;
}

}  // namespace

template <typename Cell>
void minimaxNetwork(const Matrix<Cell>& d, int n, LinkMatrix& out) {
    std::vector<TreeLink> tree = spanningTree(d, n);
    std::sort(tree.begin(), tree.end(),
              [](const TreeLink& x, const TreeLink& y) { return x.length < y.length; });
    // The parts, each known by one member and listing its members in
    // ascending order, so that a row is read forwards.
    std::vector<int> part(static_cast<std::size_t>(n));
    std::vector<std::vector<int>> members(static_cast<std::size_t>(n));
    for (int v = 0; v < n; ++v) {
        part[static_cast<std::size_t>(v)] = v;
        members[static_cast<std::size_t>(v)] = {v};
    }
    for (const TreeLink& link : tree) {
        int small = part[static_cast<std::size_t>(link.a)];
        int large = part[static_cast<std::size_t>(link.b)];
        std::vector<int>* from = &members[static_cast<std::size_t>(small)];
        std::vector<int>* into = &members[static_cast<std::size_t>(large)];
        if (from->size() > into->size()) {
            std::swap(small, large);
            std::swap(from, into);
        }
        // Rows of the smaller part: each concept's row is read in at most
        // log2 n joins. Only out(a, b) for a in it is set; mirrorLinks completes.
        for (const int a : *from) {
            const Cell* row = d.rowData(a);
            std::uint8_t* links = out.rowData(a);
            for (const int b : *into)
                links[b] = units(row[b]) <= link.length ? 1 : 0;
            part[static_cast<std::size_t>(a)] = large;
        }
        const auto middle = static_cast<std::ptrdiff_t>(into->size());
        into->insert(into->end(), from->begin(), from->end());
        std::inplace_merge(into->begin(), into->begin() + middle, into->end());
        std::vector<int>().swap(*from);
    }
    mirrorLinks(out, n);
}

template void minimaxNetwork(const Matrix<Currency>&, int, LinkMatrix&);
template void minimaxNetwork(const Matrix<std::int16_t>&, int, LinkMatrix&);

}  // namespace qv::pfnet
