#pragma once

#include <CLI/CLI.hpp>

namespace lamivex::cli {

// Registers `build`: a structure model of the best solution of a scan (or of a typed
// coincidence) as CIF, POSCAR or extended XYZ.
struct CommandIo;

void addBuildCommand(CLI::App& app, int& exitStatus);
void addBuildCommand(CLI::App& app, int& exitStatus, const CommandIo& io);

}  // namespace lamivex::cli
