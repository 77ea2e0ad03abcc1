#include <cstdlib>
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <string_view>

#include "analyze_output.h"
#include "cli_help.h"
#include "cli_text.h"
#include "commands.h"
#include "data/live_temporaries.h"
#include "quorvane_version.h"

namespace {

// Whatever escapes every command still ends with a message a user can read
// and the bad-input status, never an abort.
[[noreturn]] void lastResort() {
    std::cerr << "錯誤：發生未預期的問題，命令已停止";
    try {
        if (auto e = std::current_exception()) std::rethrow_exception(e);
    } catch (const std::bad_alloc&) {
        std::cerr << "（記憶體不足）";
    } catch (...) {
    }
    std::cerr << "。\n";
    std::_Exit(qv::cli::kExitBadInput);
}

int run(int argc, char** argv) {
    CLI::App app{"Quorvane：全班學生的 Pathfinder 概念網路，與標準網路比較"};
    app.require_subcommand(1);
    int status = qv::cli::kExitOk;
    qv::cli::addNetworkCommand(app, status);
    qv::cli::addCheckCommand(app, status);
    qv::cli::addAnalyzeCommand(app, status);
    qv::cli::addSummaryCommand(app, status);
    qv::cli::addReportCommand(app, status);
    qv::cli::addGenerateCommand(app, status);
    qv::cli::addImportCommand(app, status);
    qv::cli::addExportCommand(app, status);
    qv::cli::addCompareCommand(app, status);
    app.set_version_flag("--version", std::string("quorvane ") + QV_VERSION_TEXT, "顯示版本並結束");
    qv::cli::localizeHelp(app);
    // The build writes the manual page from the same commands; not for users.
    if (argc == 2 && std::string_view(argv[1]) == "--man")
        return qv::cli::printText(qv::cli::manPage(app, QV_VERSION_TEXT));
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e) == 0 ? qv::cli::kExitOk : qv::cli::kExitBadInput;
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e) == 0 ? qv::cli::kExitOk : qv::cli::kExitBadInput;
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e) == 0 ? qv::cli::kExitOk : qv::cli::kExitBadInput;
    } catch (const CLI::ParseError& e) {
        std::cerr << qv::cli::parseErrorText(e) << "\n";
        return qv::cli::kExitBadInput;
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    std::set_terminate(lastResort);
    // Ctrl+C, a kill or a closed terminal leaves no half-written temporary file.
    qv::removeTemporariesOnSignals();
    try {
        return run(argc, argv);
    } catch (...) {
        lastResort();
    }
}
