#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <optional>
#include <string>

#include "analysis/run.h"
#include "stats/bootstrap.h"

namespace qv::cli {

// The options of the bootstrap intervals, shared by analyze and summary.
struct BootstrapArgs {
    std::optional<int> replicates;
    std::optional<std::uint64_t> seed;      // 1 when not given
    std::optional<std::string> confidence;  // 0.95 when not given
};

void addBootstrapOptions(CLI::App& cmd, BootstrapArgs& args);

// Why the options cannot be used as given (a seed or confidence without
// --bootstrap, a confidence that is no decimal between 0 and 1).
std::optional<std::string> bootstrapArgsProblem(const BootstrapArgs& args);

// The intervals of a run; the refusal starts with "錯誤：".
Expected<BootstrapResults> runBootstrap(const RunResults& run, const BootstrapArgs& args,
                                        const RunMethod& method, int threads);

}  // namespace qv::cli
