#pragma once

#include <CLI/CLI.hpp>

namespace lamivex::cli {

// Registers `view real-space` and `view leed`: the pictures of a solution, as files or JSON.
void addViewCommand(CLI::App& app, int& exitStatus);

}  // namespace lamivex::cli
