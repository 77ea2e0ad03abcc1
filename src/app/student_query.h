#pragma once

#include <functional>

#include <QString>

class QWidget;

namespace qv::app {

struct AppContext;
class frmStudent;

// Gives the one print window, creating it when none is open.
using StudentWindowSource = std::function<frmStudent*()>;

// The student query: draws every record whose ID equals `id` exactly, one over
// the other. No match does nothing; before a run it explains what is missing.
// Returns how many records were drawn.
int showStudentQuery(AppContext& context, QWidget* parent, const QString& id,
                     const StudentWindowSource& window);

// The layout test: the complete graph of 40 points.
void showLayoutTest(const StudentWindowSource& window);

}  // namespace qv::app
