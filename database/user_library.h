#pragma once
// The user's own structure database. The starter database installed with the program is
// never written: on first use it is copied to $XDG_DATA_HOME/lamivex/structures.sqlite
// (~/.local/share/lamivex/structures.sqlite when XDG_DATA_HOME is not set), and the
// desktop program and the command line open that copy.

#include <filesystem>

#include "database/db_result.h"

namespace lamivex::database {

// Where the user's library lies; empty when neither XDG_DATA_HOME nor a home folder is known.
[[nodiscard]] std::filesystem::path userLibraryPath();

// The user's library, first copied from starter when it does not exist yet.
[[nodiscard]] DbResult<std::filesystem::path> ensureUserLibrary(
    const std::filesystem::path& starter);

// Whether file is the starter database itself (the same file, by whatever path).
[[nodiscard]] bool isStarterDatabase(const std::filesystem::path& file,
                                     const std::filesystem::path& starter);

}  // namespace lamivex::database
