#pragma once

#include <CLI/CLI.hpp>

namespace lamivex::cli {

// Registers `scan`: one rotation run with the main window's fields as options.
struct CommandIo;

// Registers `scan`: one rotation run with the main window's fields as options. io takes its
// JSON, its refusal and its progress (lamivex-cli: the terminal).
void addScanCommand(CLI::App& app, int& exitStatus);
void addScanCommand(CLI::App& app, int& exitStatus, const CommandIo& io);

}  // namespace lamivex::cli
