#pragma once

#include <CLI/CLI.hpp>

namespace lamivex::cli {

struct CommandIo;

// Registers `view real-space` and `view leed`: the pictures of a solution, as files or JSON;
// io as for scan.
void addViewCommand(CLI::App& app, int& exitStatus);
void addViewCommand(CLI::App& app, int& exitStatus, const CommandIo& io);

}  // namespace lamivex::cli
