#pragma once

#include <CLI/CLI.hpp>

namespace lamivex::cli {

// Registers `surface FILE.cif --hkl "h k l"`: the surface mesh of a plane of a bulk crystal.
struct CommandIo;

void addSurfaceCommand(CLI::App& app, int& exitStatus);
void addSurfaceCommand(CLI::App& app, int& exitStatus, const CommandIo& io);

}  // namespace lamivex::cli
