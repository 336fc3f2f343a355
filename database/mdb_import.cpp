// The imports of older .mdb files: their tables read with mdbtools, then written into a new
// SQLite file.

#include <system_error>

#include <fmt/format.h>

#include "database/legacy_import.h"

namespace lamivex::database {

DbResult<ImportReport> importMdb(const std::filesystem::path& mdbFile) {
    DbResult<LegacyTables> tables = readMdbTables(mdbFile);
    if (!tables.ok()) {
        return DbResult<ImportReport>::failure(tables.error);
    }
    return writeImportedDatabase(mdbFile, tables.value);
}

DbResult<ImportReport> importMdbInto(const std::filesystem::path& mdbFile,
                                     const std::filesystem::path& target) {
    std::error_code ec;
    if (std::filesystem::exists(target, ec)) {
        return DbResult<ImportReport>::failure(
            fmt::format("{} already exists; nothing was imported.", target.string()));
    }
    DbResult<LegacyTables> tables = readMdbTables(mdbFile);
    if (!tables.ok()) {
        return DbResult<ImportReport>::failure(tables.error);
    }
    return writeImportedDatabaseTo(target, tables.value);
}

}  // namespace lamivex::database
