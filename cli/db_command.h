#pragma once

#include <string>

#include <CLI/CLI.hpp>

#include "database/structure_record.h"

namespace lamivex::cli {

// Registers `db FILE ...`: list, show, store and remove lattices of a structure database.
void addDbCommand(CLI::App& app, int& exitStatus);

// The field texts of the record named by "FILE:NAME" (the first ':' after which FILE names
// an existing file ends the file name, so names may hold ':' too), or by "NAME" alone in the
// user's library. Throws numbers::InputError for option when the file or the record cannot
// be read.
[[nodiscard]] database::LatticeFieldTexts latticeFromDatabase(database::TableKind kind,
                                                              const std::string& fileAndName,
                                                              const std::string& option);

}  // namespace lamivex::cli
