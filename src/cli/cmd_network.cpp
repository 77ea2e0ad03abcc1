#include <array>
#include <iostream>
#include <optional>
#include <string>

#include "commands.h"
#include "core/state.h"
#include "matrix_file.h"
#include "pathfinder/first_order.h"

namespace qv::cli {

namespace {

struct NetworkOptions {
    std::string matrixFile;  // empty: the built-in sample matrix
    std::string method;
};

// The methods of `network`, in the order the usage lists them. A method that
// needs more input reads it from NetworkOptions.
struct NetworkMethod {
    const char* name;
    LinkMatrix (*build)(const DistanceMatrix& d, int n, const NetworkOptions& options);
};

const std::array kMethods = {
    NetworkMethod{"triangle", [](const DistanceMatrix& d, int n,
                                 const NetworkOptions&) { return FirstOrderTriangle(d, n); }},
    NetworkMethod{"path-search", [](const DistanceMatrix& d, int n,
                                    const NetworkOptions&) { return FirstOrderPathSearch(d, n); }},
};

std::string methodNames(const char* separator) {
    std::string names;
    for (const NetworkMethod& m : kMethods) {
        if (!names.empty()) names += separator;
        names += m.name;
    }
    return names;
}

const NetworkMethod* findMethod(const std::string& name) {
    for (const NetworkMethod& m : kMethods)
        if (name == m.name) return &m;
    return nullptr;
}

// Rows of "1"/"0" separated by two spaces, one row per line.
std::string linkRows(const LinkMatrix& links) {
    std::string out;
    for (int i = 0; i < links.rows(); ++i) {
        for (int j = 0; j < links.cols(); ++j) {
            if (j > 0) out += "  ";
            out += links(i, j) ? '1' : '0';
        }
        out += '\n';
    }
    return out;
}

int runNetwork(const NetworkOptions& options) {
    const NetworkMethod* method = findMethod(options.method);
    if (method == nullptr) {
        std::cerr << "--method 須為 " << methodNames("、") << " 之一";
        if (!options.method.empty()) std::cerr << "，讀到「" << options.method << "」";
        std::cerr << '\n';
        return kExitBadInput;
    }
    DistanceMatrix d = AppState{}.sampleMatrix;
    if (!options.matrixFile.empty()) {
        auto read = readMatrixFile(options.matrixFile);
        if (!read.ok()) {
            std::cerr << read.error() << '\n';
            return kExitBadInput;
        }
        d = std::move(read).value();
    }
    std::cout << linkRows(method->build(d, d.rows(), options));
    return std::cout.good() ? kExitOk : kExitBadInput;
}

}  // namespace

void addNetworkCommand(CLI::App& app, int& status) {
    auto options = std::make_shared<NetworkOptions>();
    CLI::App* cmd = app.add_subcommand(
        "network", "Pathfinder network of a distance matrix, as rows of 1 and 0");
    cmd->add_option("--matrix", options->matrixFile,
                    "matrix file: n, then n rows of n numbers (default: the built-in sample)");
    cmd->add_option("--method", options->method, methodNames("|"));
    cmd->callback([options, &status] { status = runNetwork(*options); });
}

}  // namespace qv::cli
