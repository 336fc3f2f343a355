#pragma once
// The structure database: named substrate and overlayer lattices with comments, kept in an
// SQLite file with the tables Substrate (Substrate, a1, a2, alpha, Notes) and Overlayer
// (Overlayer, b1, b2, beta, Notes).
//
// Names are matched as themselves, with letter case ignored for the ASCII letters A-Z only:
// quotes, * ? # [ ] % _ and every other character are ordinary, and names are only ever
// bound as statement parameters. Every write is one transaction with a rollback journal and
// full synchronous writes, so a crash or a full disk leaves either the old or the new
// record, never a half-written one.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "database/db_result.h"
#include "database/sqlite_handle.h"
#include "database/structure_record.h"

namespace lamivex::database {

enum class PutOutcome { Added, Replaced };

// Every record of a table that can be read, and a message naming each one that cannot (a
// value missing, not a number or not finite).
struct RecordListing {
    std::vector<StructureRecord> readable;
    std::vector<std::string> unreadable;
};

enum class RecordOrder { Table, Name };

// What put() does with the stored comments when it overwrites a record.
enum class NotesOnOverwrite { Replace, KeepStored };

class StructureStore {
  public:
    StructureStore() = default;  // no database open: every operation says so

    // Opens an existing database file. Refuses, with a message naming the file, one that is
    // missing, not an SQLite database, damaged, lacks a table or one of its fields, or holds
    // a table whose records have no row numbers to be changed by (a view, WITHOUT ROWID).
    [[nodiscard]] static DbResult<StructureStore> open(const std::filesystem::path& file);

    // Creates a database with the two empty tables and opens it. The file is built beside
    // the target and renamed into place, so an existing file is either kept whole or
    // replaced whole; without replaceExisting an existing file is refused.
    [[nodiscard]] static DbResult<StructureStore> createEmpty(const std::filesystem::path& file,
                                                              bool replaceExisting = false);

    [[nodiscard]] bool isOpen() const { return m_db != nullptr; }
    [[nodiscard]] const std::filesystem::path& file() const { return m_file; }

    // Record names as text (whatever type a foreign file stored them as) in alphabetical
    // order, letter case ignored (ties in table order). Every read goes to the file, so a
    // list is always current.
    [[nodiscard]] DbResult<std::vector<std::string>> names(TableKind kind) const;
    // All records, in table order or in the order of names(); fails on the first record
    // that cannot be read.
    [[nodiscard]] DbResult<std::vector<StructureRecord>> records(
        TableKind kind, RecordOrder order = RecordOrder::Table) const;
    // The same, going on past records that cannot be read and naming them.
    [[nodiscard]] DbResult<RecordListing> listRecords(TableKind kind,
                                                      RecordOrder order = RecordOrder::Table) const;
    // The first record in table order whose name equals name, letter case ignored.
    [[nodiscard]] DbResult<std::optional<StructureRecord>> findFirst(TableKind kind,
                                                                     std::string_view name) const;

    // Adds a record; returns it with its rowId.
    [[nodiscard]] DbResult<StructureRecord> add(TableKind kind, const StructureRecord& record);
    // Rewrites the record at rowId with all five fields of record (the name too, so a name
    // typed in another letter case replaces the stored spelling). Fails if the record is gone.
    [[nodiscard]] DbStatus replace(TableKind kind, std::int64_t rowId,
                                   const StructureRecord& record);
    // Deletes the record at rowId. Fails if the record is gone.
    [[nodiscard]] DbStatus remove(TableKind kind, std::int64_t rowId);

    // Find and write in one transaction: overwrites the first record of that name (letter
    // case ignored), else adds one.
    [[nodiscard]] DbResult<PutOutcome> put(TableKind kind, const StructureRecord& record,
                                           NotesOnOverwrite notes = NotesOnOverwrite::Replace);
    // Find and delete in one transaction: removes the first record of that name only.
    // Returns false when no record has the name.
    [[nodiscard]] DbResult<bool> removeFirst(TableKind kind, std::string_view name);

  private:
    explicit StructureStore(sqlite::Connection db, std::filesystem::path file)
        : m_db(std::move(db)), m_file(std::move(file)) {}

    [[nodiscard]] static std::string closedMessage();
    [[nodiscard]] std::string writeFailure(std::string_view name, const std::string& why) const;

    sqlite::Connection m_db;
    std::filesystem::path m_file;
};

// The schema of a new database file, shared by createEmpty, the importer and the build step.
[[nodiscard]] DbStatus createSchema(sqlite3* db);

// Where the starter database lies for a program in executableDir: the build puts it in
// <build>/share/lamivex beside <build>/bin, and installing keeps that layout.
[[nodiscard]] std::filesystem::path starterDatabasePath(const std::filesystem::path& executableDir);

}  // namespace lamivex::database
