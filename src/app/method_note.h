#pragma once

#include <QString>

#include "analysis/student_matrices.h"
#include "core/state.h"

namespace qv::app {

// When the run's standard network keeps more than half of all concept pairs,
// a short note saying so (and, after a first-order run, suggesting PFNET);
// empty otherwise. Quiz data makes the first-order networks nearly complete,
// and a nearly complete standard tells the students little.
QString denseStandardNote(const RunResults& results, const RunMethod& method);

}  // namespace qv::app
