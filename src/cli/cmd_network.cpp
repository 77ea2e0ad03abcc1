#include <algorithm>
#include <array>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analyze_output.h"
#include "cli_text.h"
#include "commands.h"
#include "core/limits.h"
#include "core/state.h"
#include "data/matrix_file.h"
#include "load_class.h"
#include "pathfinder/dc_network.h"
#include "pathfinder/exhaustive.h"
#include "pathfinder/first_order.h"
#include "pathfinder/network_limits.h"
#include "pathfinder/pfnet.h"

namespace qv::cli {

namespace {

struct NetworkOptions {
    std::string matrixFile;  // empty: the built-in sample matrix
    std::string method;
    std::string unlinked;       // --unlinked as typed; empty for the default
    Currency unlinkedDistance;  // what exhaustive and dc are given
    std::string r;              // pfnet's --r and --q
    std::optional<int> q;
};

// The methods of `network`, in the order the usage lists them. A method that
// needs more input reads it from NetworkOptions.
struct NetworkMethod {
    const char* name;
    Expected<LinkMatrix> (*build)(const DistanceMatrix& d, int n, const NetworkOptions& options);
    int maxConcepts = kMaxConcepts;  // of a matrix file
};

const std::array kMethods = {
    NetworkMethod{"triangle",
                  [](const DistanceMatrix& d, int n, const NetworkOptions&)
                      -> Expected<LinkMatrix> { return FirstOrderTriangle(d, n); }},
    NetworkMethod{"path-search",
                  [](const DistanceMatrix& d, int n, const NetworkOptions&)
                      -> Expected<LinkMatrix> { return FirstOrderPathSearch(d, n); }},
    NetworkMethod{
        "exhaustive",
        [](const DistanceMatrix& d, int n, const NetworkOptions& o) -> Expected<LinkMatrix> {
            return ExhaustivePathFinder(d, n, o.unlinkedDistance);
        }},
    NetworkMethod{"dc",
                  [](const DistanceMatrix& d, int n, const NetworkOptions& o)
                      -> Expected<LinkMatrix> { return DCNetwork(d, n, o.unlinkedDistance); }},
    // Quick enough for far larger matrices than a class has.
    NetworkMethod{"pfnet",
                  [](const DistanceMatrix& d, int n, const NetworkOptions& o) {
                      return PfnetNetwork(d, n, pfnetParamsOf(o.r, o.q));
                  },
                  kMaxPfnetConcepts},
};

bool usesUnlinked(const std::string& method) {
    return method == "exhaustive" || method == "dc";
}

// The unlinked distance: as given, else 8 for the built-in sample, else one
// more than the largest entry, so that no pair of a file is taken as unlinked
// unless the user says which distance means it.
std::optional<std::string> resolveUnlinked(NetworkOptions& o, const DistanceMatrix& d) {
    if (!o.unlinked.empty()) {
        if (!usesUnlinked(o.method)) return "錯誤：--unlinked 只適用於 exhaustive 與 dc 兩種方法";
        const auto value = parseDecimal(o.unlinked);
        if (!value)
            return "錯誤：--unlinked 須為最多四位小數、絕對值小於 10 億的數，讀到「" + o.unlinked +
                   "」";
        o.unlinkedDistance = *value;
    } else if (o.matrixFile.empty()) {
        o.unlinkedDistance = Currency::fromInt(8);
    } else {
        Currency largest;
        for (int i = 0; i < d.rows(); ++i)
            for (int j = 0; j < d.cols(); ++j)
                largest = std::max(largest, d(i, j));
        o.unlinkedDistance = largest + Currency::fromInt(1);
    }
    return std::nullopt;
}

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

int runNetwork(const NetworkOptions& options) {
    const NetworkMethod* method = findMethod(options.method);
    if (method == nullptr) {
        std::cerr << "錯誤：--method 須為 " << methodNames("、") << " 之一";
        if (!options.method.empty()) std::cerr << "，讀到「" << options.method << "」";
        std::cerr << '\n';
        return kExitBadInput;
    }
    if (auto problem = pfnetOptionsProblem(options.method, options.r, options.q)) {
        std::cerr << *problem << '\n';
        return kExitBadInput;
    }
    // A refusal of a file's matrix names the file, and its cells by line and field.
    const auto fromFile = [&](Error e) {
        if (options.matrixFile.empty()) return e;
        e.file = options.matrixFile;
        e.kind = "矩陣檔";
        return e;
    };
    // A q refused for the header's count is refused before the rows are read.
    if (options.method == "pfnet" && !options.matrixFile.empty()) {
        if (const auto count = peekMatrixCount(options.matrixFile, method->maxConcepts)) {
            const auto checked = checkPfnetParams(pfnetParamsOf(options.r, options.q), *count);
            if (!checked) {
                std::cerr << "錯誤：" << fromFile(checked.error()).message() << '\n';
                return kExitBadInput;
            }
        }
    }
    DistanceMatrix d = builtInSampleMatrix();
    std::vector<int> rowLines;
    if (!options.matrixFile.empty()) {
        auto read = readMatrixFile(options.matrixFile, method->maxConcepts, &rowLines);
        if (!read.ok()) {
            std::cerr << "錯誤：" << read.error().message() << '\n';
            return kExitBadInput;
        }
        d = std::move(read).value();
    }
    NetworkOptions resolved = options;
    const int n = d.rows();
    if (auto error = resolveUnlinked(resolved, d)) {
        std::cerr << *error << '\n';
        return kExitBadInput;
    }
    const auto size = options.method == "dc" ? checkDcConceptCount(d, n) : checkConceptCount(d, n);
    if (!size) {
        std::cerr << size.error().message() << '\n';
        return kExitBadInput;
    }
    if (options.method == "pfnet" && !rowLines.empty()) {
        const auto lineField = [&rowLines](int row, int col) {
            return "第 " + std::to_string(rowLines[static_cast<std::size_t>(row)]) + " 行第 " +
                   std::to_string(col + 1) + " 欄";
        };
        if (auto checked = checkPfnetMatrix(d, n, lineField); !checked) {
            std::cerr << "錯誤：" << fromFile(checked.error()).message() << '\n';
            return kExitBadInput;
        }
    }
    const auto links = method->build(d, n, resolved);
    if (!links) {
        std::cerr << "錯誤：" << fromFile(links.error()).message() << '\n';
        return kExitBadInput;
    }
    return printText(linkRowsText(*links, n, "\n"));
}

}  // namespace

void addNetworkCommand(CLI::App& app, int& status) {
    auto options = std::make_shared<NetworkOptions>();
    CLI::App* cmd = app.add_subcommand("network", "距離矩陣的 Pathfinder 網路，以 1 與 0 的列輸出");
    cmd->add_option("--matrix", options->matrixFile,
                    "矩陣檔（- 為標準輸入）：第一行 n，再 n 行各 n 個數（預設為內建範例矩陣）；n 最多 181，"
                    "pfnet 最多 " +
                        std::to_string(kMaxPfnetConcepts));
    cmd->add_option("--method", options->method, methodNames("|"));
    cmd->add_option("--unlinked", options->unlinked,
                    "exhaustive 與 dc：表示沒有直接連結的距離（內建範例預設 8，矩陣檔預設無）")
        ->check(notEmpty());
    addPfnetOptions(*cmd, options->r, options->q);
    cmd->callback([options, &status] { status = runNetwork(*options); });
}

}  // namespace qv::cli
