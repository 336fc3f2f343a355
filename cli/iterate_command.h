#pragma once

#include <CLI/CLI.hpp>

namespace lamivex::cli {

struct CommandIo;

// Registers `iterate`: an iteration run over ranges of lattice constants, with the scan
// options of `scan` for everything the run keeps fixed; io as for scan.
void addIterateCommand(CLI::App& app, int& exitStatus);
void addIterateCommand(CLI::App& app, int& exitStatus, const CommandIo& io);

}  // namespace lamivex::cli
