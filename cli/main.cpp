// lamivex-cli: the Lamivex calculations without windows, for batch work and scripts.

#include <CLI/CLI.hpp>

#include "cli/cli_errors.h"
#include "cli/scan_command.h"

int main(int argc, char** argv) {
    CLI::App app{"lamivex-cli: epitaxy calculations of Lamivex without windows."};
    app.require_subcommand(1);
    int exitStatus = 0;
    lamivex::cli::addScanCommand(app, exitStatus);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int status = app.exit(e);
        return status == 0 ? 0 : lamivex::cli::kExitBadInput;
    }
    return exitStatus;
}
