#pragma once

#include <CLI/CLI.hpp>

namespace lamivex::cli {

struct CommandIo;

// Registers `screen`: one overlayer against many substrates (database records, typed meshes,
// the planes of crystal files), ranked by the best V/Vo of each pair's scan. io takes its
// output, its refusal and its progress (lamivex-cli: the terminal).
void addScreenCommand(CLI::App& app, int& exitStatus);
void addScreenCommand(CLI::App& app, int& exitStatus, const CommandIo& io);

}  // namespace lamivex::cli
