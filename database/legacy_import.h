#pragma once
// Import of older structure databases (.mdb files): their two tables are read and written
// into a new SQLite file beside the old one, which stays untouched.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "database/db_result.h"
#include "database/structure_record.h"

namespace lamivex::database {

// One row as an older file holds it: any field may be missing (null).
struct LegacyRecord {
    std::optional<std::string> name;
    std::optional<double> length1;  // a1 / b1, Angstroms
    std::optional<double> length2;  // a2 / b2, Angstroms
    std::optional<double> angle;    // alpha / beta, degrees
    std::optional<std::string> Notes;
};

struct LegacyTables {
    std::vector<LegacyRecord> substrates;  // in table order
    std::vector<LegacyRecord> overlayers;
};

struct ImportReport {
    std::filesystem::path target;  // the new SQLite file
    int substrates = 0;            // records written
    int overlayers = 0;
    std::vector<std::string> skipped;  // one line per row that could not be kept, and why
};

// Where the fields of one table stand among its columns (0-based), matched by name with
// letter case ignored; a message naming the first missing field otherwise.
struct LegacyColumns {
    int name = -1;
    int length1 = -1;
    int length2 = -1;
    int angle = -1;
    int notes = -1;
};
[[nodiscard]] DbResult<LegacyColumns> findLegacyColumns(TableKind kind,
                                                        const std::vector<std::string>& columns);

// The file an import of oldFile writes: <stem>.sqlite beside it, or <stem>-2.sqlite,
// <stem>-3.sqlite ... when that name is taken (attempt counts from 1).
[[nodiscard]] std::filesystem::path importTargetFor(const std::filesystem::path& oldFile,
                                                    int attempt);

// Writes the tables into a new file named by importTargetFor (never replacing a file).
// Rows without a name or with a missing lattice value are left out and listed.
[[nodiscard]] DbResult<ImportReport> writeImportedDatabase(const std::filesystem::path& oldFile,
                                                           const LegacyTables& tables);

// The same into the new file target, refused when target exists.
[[nodiscard]] DbResult<ImportReport> writeImportedDatabaseTo(const std::filesystem::path& target,
                                                             const LegacyTables& tables);

// Reads the tables Substrate and Overlayer of an Access (Jet) file. A file that is not one,
// is damaged, or lacks a table or field is refused with a message naming it.
[[nodiscard]] DbResult<LegacyTables> readMdbTables(const std::filesystem::path& mdbFile);

// Reading .mdb files is in the library lamivex_mdb (libmdb and glib): findLegacyColumns,
// readMdbTables and the two imports below. readMdbTables, then writeImportedDatabase.
[[nodiscard]] DbResult<ImportReport> importMdb(const std::filesystem::path& mdbFile);
// readMdbTables, then writeImportedDatabaseTo: the command line names the new file itself.
[[nodiscard]] DbResult<ImportReport> importMdbInto(const std::filesystem::path& mdbFile,
                                                   const std::filesystem::path& target);

}  // namespace lamivex::database
