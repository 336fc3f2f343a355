#pragma once

#include <CLI/CLI.hpp>

namespace lamivex::cli {

struct CommandIo;

// Registers `merge PART...`: the --jsonl files of the shards of one screen joined into what
// the unsplit run gives, to the byte.
void addMergeCommand(CLI::App& app, int& exitStatus);
void addMergeCommand(CLI::App& app, int& exitStatus, const CommandIo& io);

}  // namespace lamivex::cli
