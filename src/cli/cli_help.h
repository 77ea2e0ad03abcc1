#pragma once

#include <string>
#include <string_view>

#include <CLI/CLI.hpp>

namespace qv::cli {

// Puts the parser's own words of every command's help (usage, group titles,
// value types, the help flag) into Traditional Chinese. Call once, after every
// command is registered.
void localizeHelp(CLI::App& app);

// The manual page quorvane-cli(1) in roff, walked from the registered commands
// and their options, so it says what the parser takes.
std::string manPage(const CLI::App& app, std::string_view version);

}  // namespace qv::cli
