// lamivex-cli: the Lamivex calculations without windows, for batch work and scripts.

#include <CLI/CLI.hpp>
#include <fmt/format.h>

#include "cli/cli_errors.h"
#include "cli/crystal_command.h"
#include "cli/db_command.h"
#include "cli/iterate_command.h"
#include "cli/scan_command.h"

int main(int argc, char** argv) {
    CLI::App app{"lamivex-cli: epitaxy calculations of Lamivex without windows."};
    app.require_subcommand(1);
    int exitStatus = 0;
    lamivex::cli::addScanCommand(app, exitStatus);
    lamivex::cli::addCrystalCommand(app, exitStatus);
    lamivex::cli::addIterateCommand(app, exitStatus);
    lamivex::cli::addDbCommand(app, exitStatus);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) {
            return app.exit(e);  // --help
        }
        // One line, like every other refusal, so scripts can show it as it stands.
        fmt::print(stderr, "lamivex-cli: {}\n", e.what());
        return lamivex::cli::kExitBadInput;
    } catch (const std::exception& e) {
        fmt::print(stderr, "lamivex-cli: {}\n", e.what());
        return lamivex::cli::kExitBadInput;
    }
    return exitStatus;
}
