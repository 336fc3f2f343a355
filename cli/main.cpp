// lamivex-cli: the Lamivex calculations without windows, for batch work and scripts.

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include <fmt/format.h>
#include <CLI/CLI.hpp>

#include "cli/argument_checks.h"
#include "cli/build_command.h"
#include "cli/cli_errors.h"
#include "cli/convert_command.h"
#include "cli/crystal_command.h"
#include "cli/db_command.h"
#include "cli/fit_command.h"
#include "cli/iterate_command.h"
#include "cli/merge_command.h"
#include "cli/scan_command.h"
#include "cli/screen_command.h"
#include "cli/standard_output.h"
#include "cli/surface_command.h"
#include "cli/view_command.h"

namespace {

// From the project's version in CMake, shared with the desktop program.
constexpr const char* kVersion = LAMIVEX_VERSION;

constexpr const char* kFooter =
    "Run 'lamivex-cli SUBCOMMAND --help' for its options. "
    "The manual: share/doc/lamivex/manual.md.\n"
    "\n"
    "Lengths are in Angstroms and angles in degrees; numbers use '.' as the decimal point "
    "whatever the locale. Your structure database is $XDG_DATA_HOME/lamivex/structures.sqlite "
    "(~/.local/share/lamivex/structures.sqlite), copied on first use from the starter "
    "database share/lamivex/structures.sqlite of the installation, which is never changed. "
    "Exit status: 0 when the job is done; 2 when an input, an "
    "option or a file is refused or standard output cannot be written, with one line on "
    "standard error that says why.\n"
    "\n"
    "Examples:\n"
    "  $ lamivex-cli scan --json\n"
    "  $ lamivex-cli scan --hexagonal --a1 2.8836 --a2 2.8836 --alpha 60 --b1 4.9945 "
    "--b2 4.9945 --beta 60\n"
    "  $ lamivex-cli iterate --b1-range 9.5:10.5:0.1 --criterion 0.5\n"
    "  $ lamivex-cli crystal --system Cubic --a 5.431 --plane \"1 1 1\"\n"
    "  $ lamivex-cli db structures.sqlite show \"Au(111)\"";

// Parses the command line and runs the subcommand; its name goes to command.
int runCommandLine(int argc, char** argv, std::string& command) {
    // The name is fixed so that the usage line reads the same however the program is called.
    CLI::App app{"lamivex-cli: epitaxy calculations of Lamivex without windows.", "lamivex-cli"};
    app.require_subcommand(1);
    app.set_version_flag("--version", fmt::format("lamivex-cli {}", kVersion),
                         "Print the version and exit");
    app.footer(kFooter);
    int exitStatus = 0;
    // Building a subcommand's parser costs more than most runs compute: when the first word
    // names a subcommand only its parser is built; otherwise (the program's help, a
    // misspelt subcommand) every one is, so that help and errors list them all.
    using Adder = void (*)(CLI::App&, int&);
    constexpr std::pair<std::string_view, Adder> kSubcommands[] = {
        {"scan", lamivex::cli::addScanCommand},       {"crystal", lamivex::cli::addCrystalCommand},
        {"surface", lamivex::cli::addSurfaceCommand}, {"build", lamivex::cli::addBuildCommand},
        {"iterate", lamivex::cli::addIterateCommand}, {"db", lamivex::cli::addDbCommand},
        {"convert", lamivex::cli::addConvertCommand}, {"view", lamivex::cli::addViewCommand},
        {"screen", lamivex::cli::addScreenCommand},   {"merge", lamivex::cli::addMergeCommand},
        {"fit", lamivex::cli::addFitCommand},
    };
    const std::string_view first = argc > 1 ? std::string_view(argv[1]) : std::string_view();
    const bool named =
        std::ranges::any_of(kSubcommands, [&](const auto& s) { return s.first == first; });
    const bool versionOnly = first == "--version";
    for (const auto& [name, add] : kSubcommands) {
        if (!versionOnly && (!named || name == first)) {
            add(app, exitStatus);
        }
    }
    try {
        lamivex::cli::checkOptionValues(
            app, std::span<const char* const>(argv, static_cast<std::size_t>(argc)));
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) {
            return app.exit(e);  // --help, --version
        }
        // One line, like every other refusal, so scripts can show it as it stands.
        lamivex::cli::printRefusal(fmt::format("lamivex-cli: {}", e.what()));
        return lamivex::cli::kExitBadInput;
    } catch (const std::exception& e) {
        lamivex::cli::printRefusal(fmt::format("lamivex-cli: {}", e.what()));
        return lamivex::cli::kExitBadInput;
    }
    for (const CLI::App* subcommand : app.get_subcommands()) {
        command = subcommand->get_name();
    }
    return exitStatus;
}

}  // namespace

int main(int argc, char** argv) {
    // Checked once for every command: output lost on a full disk is no finished job.
    lamivex::cli::StandardOutputCheck standardOutput;
    std::string command;
    const int status = runCommandLine(argc, argv, command);
    const std::optional<std::string> lost = standardOutput.finish();
    if (lost && status == 0) {
        lamivex::cli::printRefusal(command.empty()
                                       ? fmt::format("lamivex-cli: {}", *lost)
                                       : fmt::format("lamivex-cli {}: {}", command, *lost));
        return lamivex::cli::kExitBadInput;
    }
    return status;
}
