#include "commands.h"

namespace qv::cli {

void addAnalyzeCommand(CLI::App&, int&) {}

}  // namespace qv::cli
