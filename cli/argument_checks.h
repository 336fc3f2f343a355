#pragma once
// Option values the parser would take wrongly, refused before it sees them: "--report="
// with nothing after '=' (which would take the next argument as its value) and a value
// that begins with "--" (a forgotten value followed by the next option), unless it is
// given as --report=--name.

#include <span>

#include <CLI/CLI.hpp>

namespace lamivex::cli {

// Throws std::runtime_error with the one line to show.
void checkOptionValues(const CLI::App& app, std::span<const char* const> arguments);

}  // namespace lamivex::cli
