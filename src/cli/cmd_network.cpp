#include "commands.h"

namespace qv::cli {

void addNetworkCommand(CLI::App&, int&) {}

}  // namespace qv::cli
