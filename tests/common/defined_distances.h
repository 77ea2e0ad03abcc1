#pragma once

#include "core/matrix.h"

namespace qv::test {

// Concept distances by their definition, for a 0/1 item-concept table: over
// the counted items, the number on which exactly one of the two concepts is
// marked; itemCount + 1 for two concepts that no counted item marks.
template <typename Counted>
DistanceMatrix definedDistances(const ItemMatrix& table, int itemCount, int concepts,
                                Counted counted) {
    DistanceMatrix d(concepts, concepts);
    for (int a = 0; a < concepts; ++a)
        for (int b = a + 1; b < concepts; ++b) {
            int differ = 0;
            bool marked = false;
            for (int m = 0; m < itemCount; ++m) {
                if (!counted(m)) continue;
                const bool x = !table(m, a).isZero(), y = !table(m, b).isZero();
                differ += x != y ? 1 : 0;
                marked = marked || x || y;
            }
            d(a, b) = d(b, a) = Currency::fromInt(marked ? differ : itemCount + 1);
        }
    return d;
}

}  // namespace qv::test
