#pragma once
// The reader of older .mdb databases for `db import-mdb`: libmdb and glib are loaded only
// by that action, from lib/lamivex/lamivex-mdb.so. The module reads; the command line
// writes the new SQLite file itself.

#include <filesystem>

#include "database/db_result.h"
#include "database/legacy_import.h"

namespace lamivex::cli {

inline constexpr const char* kMdbModuleEntry = "lamivex_mdb_module";

struct MdbModule {
    database::DbResult<database::LegacyTables> (*readMdbTables)(
        const std::filesystem::path& mdbFile) = nullptr;
};

}  // namespace lamivex::cli

extern "C" const lamivex::cli::MdbModule* lamivex_mdb_module();
