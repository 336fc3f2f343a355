#pragma once
// Builds a structure database from a readable SQL script: the build step turns the starter
// list into the database installed beside the program.

#include <filesystem>
#include <string_view>

#include "database/db_result.h"

namespace lamivex::database {

// Creates the two tables, runs the script (INSERT statements into Substrate and Overlayer)
// in one transaction, checks that the result opens as a structure database whose records
// all read back, and only then puts it in place of target.
[[nodiscard]] DbStatus buildFromScript(const std::filesystem::path& target,
                                       std::string_view script);

}  // namespace lamivex::database
