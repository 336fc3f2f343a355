#pragma once

#include <CLI/CLI.hpp>

namespace lamivex::cli {

// Registers `convert`: a hexagonal cell and a matrix from the alpha = 120 convention to
// alpha = 60 (a2 becomes a1 + a2) and back.
void addConvertCommand(CLI::App& app, int& exitStatus);

}  // namespace lamivex::cli
