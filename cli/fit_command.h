#pragma once

#include <CLI/CLI.hpp>

namespace lamivex::cli {

// Registers `fit leed`: from measured spot positions to the overlayer's cell.
void addFitCommand(CLI::App& app, int& exitStatus);

}  // namespace lamivex::cli
