#pragma once

#include <cstdint>

#include "core/matrix.h"

namespace qv {

// Concept distances as whole numbers, each below kWholeDistanceLimit in
// magnitude: what the quiz data always give, in the form the run's integer
// work takes. Cell (i, j) stands for Currency::fromInt(cell).
using WholeDistanceMatrix = Matrix<std::int16_t>;
inline constexpr int kWholeDistanceLimit = 1 << 13;

}  // namespace qv
