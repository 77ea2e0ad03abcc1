#pragma once

#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "analysis/run.h"
#include "core/expected.h"
#include "core/state.h"

namespace qv::cli {

// Loads the built-in sample class.
Expected<void> loadSampleClass(AppState& state);

// Where a command takes its class from, and which run it makes.
struct ClassSource {
    std::string data, concepts, items, method = "triangle";
    bool sample = false;

    RunMethod runMethod() const {
        return method == "path-search" ? RunMethod::PathSearch : RunMethod::Triangle;
    }
};

// Registers --data, --concepts, --items, --sample and --method on a command.
void addClassSourceOptions(CLI::App& cmd, ClassSource& source);

// Either --sample or all three files; the message when neither.
std::optional<std::string> classSourceProblem(const ClassSource& source);

// Loads the class and runs the chosen method without keeping the students'
// matrices; the results text, or the message to print.
Expected<std::string> loadAndAnalyse(AppState& state, const ClassSource& source);

}  // namespace qv::cli
