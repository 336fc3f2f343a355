#pragma once

#include <CLI/CLI.hpp>

namespace lamivex::cli {

// Registers `scan`: one rotation run with the main window's fields as options.
void addScanCommand(CLI::App& app, int& exitStatus);

}  // namespace lamivex::cli
