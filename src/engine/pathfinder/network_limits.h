#pragma once

#include <atomic>

#include "core/expected.h"
#include "core/limits.h"
#include "core/matrix.h"

namespace qv {

// Set from another thread to stop a long network search; a search that sees
// it gives up and returns no result.
using CancelFlag = std::atomic<bool>;

// Whether n concepts of `d` can be given to a network algorithm: not a
// negative count, not one beyond 16 bits, not more concepts than the matrix has.
Expected<void> checkConceptCount(const DistanceMatrix& d, int n);

// The same for DCNetwork, which also refuses more than kMaxDcConcepts.
Expected<void> checkDcConceptCount(const DistanceMatrix& d, int n);

}  // namespace qv
