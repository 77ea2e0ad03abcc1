#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace qv::app {

// The multi-line boxes keep the program's own text model, whose lines end in
// LineBreak (LF CR LF). A box shows each LineBreak as one line break.

// The text a box shows for a model text (UTF-8).
QString toDisplayText(std::string_view model);

// The model text of what a box shows: every line break becomes LineBreak.
std::string toModelText(const QString& display);

}  // namespace qv::app
