#pragma once

#include <CLI/CLI.hpp>

namespace qv::cli {

// Exit status of every command: 0 success, 2 bad input or usage; 1 for
// `check --strict` when it warned.
inline constexpr int kExitOk = 0;
inline constexpr int kExitWarnings = 1;
inline constexpr int kExitBadInput = 2;

// Each subcommand registers itself on the application and sets `status` when it runs.
void addNetworkCommand(CLI::App& app, int& status);
void addCheckCommand(CLI::App& app, int& status);
void addAnalyzeCommand(CLI::App& app, int& status);
void addReportCommand(CLI::App& app, int& status);
void addSummaryCommand(CLI::App& app, int& status);
void addGenerateCommand(CLI::App& app, int& status);
void addImportCommand(CLI::App& app, int& status);
void addExportCommand(CLI::App& app, int& status);
void addCompareCommand(CLI::App& app, int& status);

}  // namespace qv::cli
