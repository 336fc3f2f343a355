#pragma once
// Option values the parser would take wrongly, refused before it sees them: "--report="
// with nothing after '=' (which would take the next argument as its value) and a value
// that begins with "--" (a forgotten value followed by the next option), unless it is
// given as --report=--name.

#include <span>

#include <CLI/CLI.hpp>

namespace lamivex::cli {

// Throws std::runtime_error with the one line to show. Also refused: an option that takes
// one value given twice ("--b1 is given twice"), and a word such as -inf where a number is
// expected, which the parser would take for an option and leave out.
void checkOptionValues(const CLI::App& app, std::span<const char* const> arguments);

// An option of command given with an empty value, which would otherwise stand for "not
// given" (--max-multiple "" for no search): refused as InputError naming it. Names and
// comments may be empty; a file option says that no file name was given.
void refuseEmptyValues(const CLI::App& command);

}  // namespace lamivex::cli
