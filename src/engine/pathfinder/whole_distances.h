#pragma once

#include <cstdint>

#include "core/matrix.h"

namespace qv {

// Concept distances as whole numbers, each below kWholeDistanceLimit in
// magnitude: what the quiz data always give, in the form the run's integer
// work takes. Cell (i, j) stands for Currency::fromInt(cell).
using WholeDistanceMatrix = Matrix<std::int16_t>;
inline constexpr int kWholeDistanceLimit = 1 << 13;
// Rows of 32 cells or multiples, the padding zero, let the
// kernels take whole rows; studentUnitsInto pads its matrices so.
inline constexpr int kUnitRowAlign = 32;

}  // namespace qv
