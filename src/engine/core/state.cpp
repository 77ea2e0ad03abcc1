#include "core/state.h"

namespace qv {

DistanceMatrix builtInSampleMatrix() {
    static constexpr int kValues[5][5] = {
        {0, 1, 3, 2, 3}, {1, 0, 1, 4, 6}, {3, 1, 0, 5, 5}, {2, 4, 5, 0, 4}, {3, 6, 5, 4, 0}};
    DistanceMatrix m(5, 5);
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j) m(i, j) = Currency::fromInt(kValues[i][j]);
    return m;
}

}  // namespace qv
