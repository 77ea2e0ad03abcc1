#include <iostream>

#include "commands.h"

int main(int argc, char** argv) {
    CLI::App app{"Quorvane：全班學生的 Pathfinder 概念網路，與標準網路比較"};
    app.require_subcommand(1);
    int status = qv::cli::kExitOk;
    qv::cli::addNetworkCommand(app, status);
    qv::cli::addCheckCommand(app, status);
    qv::cli::addAnalyzeCommand(app, status);
    qv::cli::addReportCommand(app, status);
    qv::cli::addGenerateCommand(app, status);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? qv::cli::kExitOk : qv::cli::kExitBadInput;
    }
    return status;
}
