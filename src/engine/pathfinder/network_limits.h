#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "core/matrix.h"

namespace qv {

// Set from another thread to stop a long network search; a search that sees
// it gives up and returns no result.
using CancelFlag = std::atomic<bool>;

// Concept counts are 16-bit in the data model.
inline constexpr int kMaxConceptCount = 32767;
// DCNetwork numbers its (n - 1) x n ordered pairs in 16 bits: 181 x 180 fits,
// 182 x 181 does not.
inline constexpr int kMaxDCConceptCount = 181;

// Why n concepts of `d` cannot be given to a network algorithm, or nothing
// when they can: a negative count, one beyond 16 bits, or more concepts than
// the matrix has.
std::optional<std::string> conceptCountError(const DistanceMatrix& d, int n);

// The same for DCNetwork, which also refuses more than 181 concepts.
std::optional<std::string> dcConceptCountError(const DistanceMatrix& d, int n);

}  // namespace qv
