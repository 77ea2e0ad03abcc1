#pragma once

#include <optional>
#include <ostream>

namespace qv::app {

// What the desktop program answers on the command line before it opens a
// window: the version for --version, the usage for --help. The exit status
// then, or nothing when the window is to open. Other arguments are Qt's.
std::optional<int> answerWithoutWindow(int argc, const char* const* argv, std::ostream& out);

}  // namespace qv::app
