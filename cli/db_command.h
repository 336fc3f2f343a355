#pragma once

#include <CLI/CLI.hpp>

namespace lamivex::cli {

// Registers `db FILE ...`: list, show, store and remove lattices of a structure database.
void addDbCommand(CLI::App& app, int& exitStatus);

}  // namespace lamivex::cli
