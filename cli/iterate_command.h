#pragma once

#include <CLI/CLI.hpp>

namespace lamivex::cli {

// Registers `iterate`: an iteration run over ranges of lattice constants, with the scan
// options of `scan` for everything the run keeps fixed.
void addIterateCommand(CLI::App& app, int& exitStatus);

}  // namespace lamivex::cli
