#include "database/structure_store.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <string>
#include <system_error>

#include <fmt/format.h>

#include "database/temp_files.h"
#include "numbers/number_text.h"

namespace lamivex::database {
namespace {

constexpr std::string_view kNoDatabase = "No structure database is open.";

std::string kindWord(TableKind kind) {
    return kind == TableKind::Substrate ? "substrate" : "overlayer";
}

// Column list every read selects, in this order.
std::string selectColumns(const TableNames& n) {
    return fmt::format("rowid, {0}, {1}, {2}, {3}, Notes FROM {0}", n.table, n.length1, n.length2,
                       n.angle);
}

// A lattice value as the file holds it; a foreign or imported file may hold text or null.
std::optional<double> latticeValue(const sqlite::Statement& row, int column) {
    switch (row.columnType(column)) {
        case SQLITE_INTEGER:
            return row.real(column);
        case SQLITE_FLOAT: {
            // An infinity or NaN is no lattice value, however the file came to hold it.
            const double value = row.real(column);
            return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
        }
        case SQLITE_TEXT: {
            const numbers::Parsed<double> parsed = numbers::toDouble(row.text(column));
            if (parsed.ok() && std::isfinite(parsed.value)) {
                return parsed.value;
            }
            return std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

// Reads the current row of a statement made with selectColumns().
DbResult<StructureRecord> recordFromRow(TableKind kind, const sqlite::Statement& row) {
    const TableNames& n = tableNames(kind);
    StructureRecord record;
    record.rowId = row.integer(0);
    record.name = row.text(1);
    const std::string_view fields[] = {n.length1, n.length2, n.angle};
    double* targets[] = {&record.length1, &record.length2, &record.angle};
    for (int i = 0; i < 3; ++i) {
        const std::optional<double> value = latticeValue(row, 2 + i);
        if (!value) {
            return DbResult<StructureRecord>::failure(fmt::format(
                "The {} '{}' has no usable {} value.", kindWord(kind), record.name, fields[i]));
        }
        *targets[i] = *value;
    }
    if (!row.isNull(5)) {
        record.Notes = row.text(5);
    }
    return DbResult<StructureRecord>::success(std::move(record));
}

std::string readFailure(const std::filesystem::path& file, sqlite3* db, int code) {
    return fmt::format("Cannot read {}: {}.", file.string(), sqlite::lastError(db, code));
}

// Records are changed by their row ids: a view, a table WITHOUT ROWID or a field named
// like the row id would make every change fail or hit the wrong record.
DbStatus checkRowIds(sqlite3* db, const std::filesystem::path& file, const TableNames& n,
                     const std::vector<std::string>& columns) {
    sqlite::Statement kind(db, "SELECT type FROM sqlite_schema WHERE name = ?1 COLLATE NOCASE");
    if (!kind.prepared()) {
        return DbStatus::failure(readFailure(file, db, kind.prepareCode()));
    }
    kind.bind(1, n.table);
    if (kind.step() == SQLITE_ROW && kind.text(0) != "table") {
        return DbStatus::failure(
            fmt::format("{} is not a structure database: {} is a {}, not a "
                        "table.",
                        file.string(), n.table, kind.text(0)));
    }
    for (const std::string& column : columns) {
        for (const char* alias : {"rowid", "oid", "_rowid_"}) {
            if (sqlite3_stricmp(column.c_str(), alias) == 0) {
                return DbStatus::failure(fmt::format(
                    "{} cannot be used: its table {} has a field named {}, which hides the row "
                    "numbers Lamivex changes records by.",
                    file.string(), n.table, column));
            }
        }
    }
    const sqlite::Statement rowIds(db, fmt::format("SELECT rowid FROM {} LIMIT 0", n.table));
    if (!rowIds.prepared()) {
        return DbStatus::failure(fmt::format(
            "{} cannot be used: its table {} has no row numbers (a table WITHOUT ROWID), which "
            "Lamivex changes records by.",
            file.string(), n.table));
    }
    return DbStatus::success();
}

// The first problem of an integrity check, whose report can run to a hundred lines: one
// line for the message, without the "*** in database main ***" headings.
std::string firstProblem(const std::string& report) {
    constexpr std::size_t kMostShown = 120;
    std::size_t start = 0;
    while (start < report.size()) {
        const std::size_t end = std::min(report.find('\n', start), report.size());
        const std::string line = report.substr(start, end - start);
        if (!line.empty() && !line.starts_with("***")) {
            return line.size() > kMostShown ? line.substr(0, kMostShown) + "..." : line;
        }
        start = end + 1;
    }
    return "the integrity check fails";
}

// Checks the file's integrity and that both tables hold the fields the program uses.
DbStatus checkStructure(sqlite3* db, const std::filesystem::path& file) {
    {
        sqlite::Statement check(db, "PRAGMA quick_check");
        if (!check.prepared()) {
            const int code = check.prepareCode();
            if ((code & 0xff) == SQLITE_NOTADB) {
                return DbStatus::failure(fmt::format(
                    "{} is not a structure database (not a database file).", file.string()));
            }
            if ((code & 0xff) == SQLITE_CORRUPT) {
                return DbStatus::failure(
                    fmt::format("{} is damaged and cannot be opened.", file.string()));
            }
            return DbStatus::failure(readFailure(file, db, code));
        }
        const int code = check.step();
        if (code != SQLITE_ROW) {
            if ((code & 0xff) == SQLITE_NOTADB) {
                return DbStatus::failure(fmt::format(
                    "{} is not a structure database (not a database file).", file.string()));
            }
            return DbStatus::failure(fmt::format("{} is damaged and cannot be opened ({}).",
                                                 file.string(), sqlite::lastError(db, code)));
        }
        if (check.text(0) != "ok") {
            return DbStatus::failure(fmt::format("{} is damaged and cannot be opened ({}).",
                                                 file.string(), firstProblem(check.text(0))));
        }
    }
    for (const TableKind kind : {TableKind::Substrate, TableKind::Overlayer}) {
        const TableNames& n = tableNames(kind);
        sqlite::Statement columns(db, "SELECT name FROM pragma_table_info(?1)");
        if (!columns.prepared()) {
            return DbStatus::failure(readFailure(file, db, columns.prepareCode()));
        }
        columns.bind(1, n.table);
        std::vector<std::string> present;
        int code = 0;
        while ((code = columns.step()) == SQLITE_ROW) {
            present.push_back(columns.text(0));
        }
        if (code != SQLITE_DONE) {
            return DbStatus::failure(readFailure(file, db, code));
        }
        if (present.empty()) {
            return DbStatus::failure(fmt::format(
                "{} is not a structure database: it has no table {}.", file.string(), n.table));
        }
        if (const DbStatus rows = checkRowIds(db, file, n, present); !rows.ok()) {
            return rows;
        }
        for (const std::string_view field :
             {n.table, n.length1, n.length2, n.angle, std::string_view("Notes")}) {
            bool found = false;
            for (const std::string& column : present) {
                found = found || sqlite3_stricmp(column.c_str(), std::string(field).c_str()) == 0;
            }
            if (!found) {
                return DbStatus::failure(
                    fmt::format("{} is not a structure database: its table {} has no field {}.",
                                file.string(), n.table, field));
            }
        }
    }
    return DbStatus::success();
}

}  // namespace

DbStatus createSchema(sqlite3* db) {
    std::string error;
    const int code = sqlite::execute(db,
                                     "PRAGMA user_version = 1;"
                                     "BEGIN;"
                                     "CREATE TABLE Substrate (Substrate TEXT NOT NULL, "
                                     "a1 REAL NOT NULL, a2 REAL NOT NULL, alpha REAL NOT NULL, "
                                     "Notes TEXT);"
                                     "CREATE TABLE Overlayer (Overlayer TEXT NOT NULL, "
                                     "b1 REAL NOT NULL, b2 REAL NOT NULL, beta REAL NOT NULL, "
                                     "Notes TEXT);"
                                     "COMMIT;",
                                     error);
    if (code != SQLITE_OK) {
        std::string ignored;
        (void)sqlite::execute(db, "ROLLBACK", ignored);
        return DbStatus::failure(error);
    }
    return DbStatus::success();
}

std::filesystem::path starterDatabasePath(const std::filesystem::path& executableDir) {
    return (executableDir / ".." / "share" / "lamivex" / "structures.sqlite").lexically_normal();
}

DbResult<StructureStore> StructureStore::open(const std::filesystem::path& file) {
    using Result = DbResult<StructureStore>;
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(file, ec);
    if (!std::filesystem::exists(status)) {
        return Result::failure(fmt::format("{} does not exist.", file.string()));
    }
    if (!std::filesystem::is_regular_file(status)) {
        return Result::failure(fmt::format("{} is not a database file.", file.string()));
    }
    std::string error;
    sqlite::Connection db =
        sqlite::openConnection(file, sqlite::OpenMode::ExistingReadWrite, error);
    if (!db) {
        return Result::failure(fmt::format("Cannot open {}: {}.", file.string(), error));
    }
    if (const DbStatus checked = checkStructure(db.get(), file); !checked.ok()) {
        return Result::failure(checked.error);
    }
    // Full synchronous commits: a committed record survives a crash of the program or the
    // machine. The rollback journal keeps the database one file when nothing is running.
    (void)sqlite::execute(db.get(), "PRAGMA synchronous = FULL", error);
    return Result::success(StructureStore(std::move(db), file));
}

DbResult<StructureStore> StructureStore::createEmpty(const std::filesystem::path& file,
                                                     bool replaceExisting) {
    using Result = DbResult<StructureStore>;
    if (file.empty() || !file.has_filename()) {
        return Result::failure("No file name was given.");
    }
    std::error_code ec;
    if (!replaceExisting && std::filesystem::exists(file, ec)) {
        return Result::failure(fmt::format("{} already exists.", file.string()));
    }
    const std::filesystem::path temporary = temporaryBeside(file, "tmp");
    {
        std::string error;
        sqlite::Connection db =
            sqlite::openConnection(temporary, sqlite::OpenMode::CreateNew, error);
        if (!db) {
            removeDatabaseFile(temporary);
            return Result::failure(fmt::format("Cannot create a database in the folder of {}: {}.",
                                               file.string(), error));
        }
        if (const DbStatus made = createSchema(db.get()); !made.ok()) {
            db.reset();
            removeDatabaseFile(temporary);
            return Result::failure(fmt::format("Cannot create {}: {}.", file.string(), made.error));
        }
    }
    if (replaceExisting) {
        std::filesystem::rename(temporary, file, ec);
    } else if (::link(temporary.c_str(), file.c_str()) != 0) {
        // link() refuses an existing target, so a file made meanwhile is never replaced.
        ec = std::error_code(errno, std::generic_category());
    }
    if (ec) {
        removeDatabaseFile(temporary);
        return Result::failure(fmt::format("Cannot create {}: {}.", file.string(), ec.message()));
    }
    if (!replaceExisting) {
        removeDatabaseFile(temporary);
    }
    syncFolder(file);
    return open(file);
}

std::string StructureStore::closedMessage() {
    return std::string(kNoDatabase);
}

std::string StructureStore::writeFailure(std::string_view name, const std::string& why) const {
    return fmt::format("'{}' was not saved in {}: {}. The database is unchanged.", name,
                       m_file.string(), why);
}

DbResult<std::vector<std::string>> StructureStore::names(TableKind kind) const {
    using Result = DbResult<std::vector<std::string>>;
    if (!isOpen()) {
        return Result::failure(closedMessage());
    }
    const TableNames& n = tableNames(kind);
    sqlite::Statement query(m_db.get(),
                            fmt::format("SELECT CAST({0} AS TEXT) FROM {0} WHERE {0} IS NOT NULL "
                                        "ORDER BY CAST({0} AS TEXT) COLLATE NOCASE, {0}, rowid",
                                        n.table));
    if (!query.prepared()) {
        return Result::failure(readFailure(m_file, m_db.get(), query.prepareCode()));
    }
    std::vector<std::string> names;
    int code = 0;
    while ((code = query.step()) == SQLITE_ROW) {
        names.push_back(query.text(0));
    }
    if (code != SQLITE_DONE) {
        return Result::failure(readFailure(m_file, m_db.get(), code));
    }
    return Result::success(std::move(names));
}

DbResult<std::vector<StructureRecord>> StructureStore::records(TableKind kind,
                                                               RecordOrder order) const {
    using Result = DbResult<std::vector<StructureRecord>>;
    DbResult<RecordListing> listing = listRecords(kind, order);
    if (!listing.ok()) {
        return Result::failure(listing.error);
    }
    if (!listing.value.unreadable.empty()) {
        return Result::failure(listing.value.unreadable.front());
    }
    return Result::success(std::move(listing.value.readable));
}

DbResult<RecordListing> StructureStore::listRecords(TableKind kind, RecordOrder order) const {
    using Result = DbResult<RecordListing>;
    if (!isOpen()) {
        return Result::failure(closedMessage());
    }
    const TableNames& n = tableNames(kind);
    const std::string orderBy =
        order == RecordOrder::Table
            ? std::string("rowid")
            : fmt::format("CAST({0} AS TEXT) COLLATE NOCASE, {0}, rowid", n.table);
    sqlite::Statement query(m_db.get(),
                            fmt::format("SELECT {} ORDER BY {}", selectColumns(n), orderBy));
    if (!query.prepared()) {
        return Result::failure(readFailure(m_file, m_db.get(), query.prepareCode()));
    }
    RecordListing listing;
    int code = 0;
    while ((code = query.step()) == SQLITE_ROW) {
        DbResult<StructureRecord> record = recordFromRow(kind, query);
        if (record.ok()) {
            listing.readable.push_back(std::move(record.value));
        } else {
            listing.unreadable.push_back(record.error);
        }
    }
    if (code != SQLITE_DONE) {
        return Result::failure(readFailure(m_file, m_db.get(), code));
    }
    return Result::success(std::move(listing));
}

DbResult<std::optional<StructureRecord>> StructureStore::findFirst(TableKind kind,
                                                                   std::string_view name) const {
    using Result = DbResult<std::optional<StructureRecord>>;
    if (!isOpen()) {
        return Result::failure(closedMessage());
    }
    const TableNames& n = tableNames(kind);
    // '=' with NOCASE compares the whole text, folding A-Z only: no character of the name
    // acts as a pattern, unlike LIKE with its % and _.
    // Names are compared as text, whatever type a foreign file stored them as.
    sqlite::Statement query(m_db.get(),
                            fmt::format("SELECT {} WHERE CAST({} AS TEXT) = ?1 COLLATE NOCASE "
                                        "ORDER BY rowid LIMIT 1",
                                        selectColumns(n), n.table));
    if (!query.prepared()) {
        return Result::failure(readFailure(m_file, m_db.get(), query.prepareCode()));
    }
    query.bind(1, name);
    const int code = query.step();
    if (code == SQLITE_DONE) {
        return Result::success(std::nullopt);
    }
    if (code != SQLITE_ROW) {
        return Result::failure(readFailure(m_file, m_db.get(), code));
    }
    DbResult<StructureRecord> record = recordFromRow(kind, query);
    if (!record.ok()) {
        return Result::failure(record.error);
    }
    return Result::success(std::move(record.value));
}

namespace {

// Both write helpers run inside a transaction the caller owns.
int insertRecord(sqlite3* db, TableKind kind, const StructureRecord& record, std::int64_t& rowId) {
    const TableNames& n = tableNames(kind);
    sqlite::Statement insert(db, fmt::format("INSERT INTO {0} ({0}, {1}, {2}, {3}, Notes) "
                                             "VALUES (?1, ?2, ?3, ?4, ?5)",
                                             n.table, n.length1, n.length2, n.angle));
    if (!insert.prepared()) {
        return insert.prepareCode();
    }
    insert.bind(1, std::string_view(record.name));
    insert.bind(2, record.length1);
    insert.bind(3, record.length2);
    insert.bind(4, record.angle);
    insert.bind(5, record.Notes);
    const int code = insert.step();
    rowId = sqlite3_last_insert_rowid(db);
    return code == SQLITE_DONE ? SQLITE_OK : code;
}

int updateRecord(sqlite3* db, TableKind kind, std::int64_t rowId, const StructureRecord& record,
                 bool writeNotes, int& changed) {
    const TableNames& n = tableNames(kind);
    sqlite::Statement update(
        db, fmt::format("UPDATE {0} SET {0} = ?1, {1} = ?2, {2} = ?3, {3} = ?4{4} "
                        "WHERE rowid = ?6",
                        n.table, n.length1, n.length2, n.angle, writeNotes ? ", Notes = ?5" : ""));
    if (!update.prepared()) {
        return update.prepareCode();
    }
    update.bind(1, std::string_view(record.name));
    update.bind(2, record.length1);
    update.bind(3, record.length2);
    update.bind(4, record.angle);
    if (writeNotes) {
        update.bind(5, record.Notes);
    }
    update.bind(6, rowId);
    const int code = update.step();
    changed = sqlite3_changes(db);
    return code == SQLITE_DONE ? SQLITE_OK : code;
}

int deleteRecord(sqlite3* db, TableKind kind, std::int64_t rowId, int& changed) {
    sqlite::Statement erase(db,
                            fmt::format("DELETE FROM {} WHERE rowid = ?1", tableNames(kind).table));
    if (!erase.prepared()) {
        return erase.prepareCode();
    }
    erase.bind(1, rowId);
    const int code = erase.step();
    changed = sqlite3_changes(db);
    return code == SQLITE_DONE ? SQLITE_OK : code;
}

}  // namespace

DbResult<StructureRecord> StructureStore::add(TableKind kind, const StructureRecord& record) {
    using Result = DbResult<StructureRecord>;
    if (!isOpen()) {
        return Result::failure(closedMessage());
    }
    sqlite::Transaction transaction(m_db.get());
    if (!transaction.begun()) {
        return Result::failure(writeFailure(record.name, transaction.error()));
    }
    StructureRecord stored = record;
    const int code = insertRecord(m_db.get(), kind, record, stored.rowId);
    if (code != SQLITE_OK) {
        return Result::failure(writeFailure(record.name, sqlite::lastError(m_db.get(), code)));
    }
    if (!transaction.commit()) {
        return Result::failure(writeFailure(record.name, transaction.error()));
    }
    return Result::success(std::move(stored));
}

DbStatus StructureStore::replace(TableKind kind, std::int64_t rowId,
                                 const StructureRecord& record) {
    if (!isOpen()) {
        return DbStatus::failure(closedMessage());
    }
    sqlite::Transaction transaction(m_db.get());
    if (!transaction.begun()) {
        return DbStatus::failure(writeFailure(record.name, transaction.error()));
    }
    int changed = 0;
    const int code = updateRecord(m_db.get(), kind, rowId, record, true, changed);
    if (code != SQLITE_OK) {
        return DbStatus::failure(writeFailure(record.name, sqlite::lastError(m_db.get(), code)));
    }
    if (changed == 0) {
        return DbStatus::failure(
            writeFailure(record.name, "the record it replaces is no longer in the database"));
    }
    if (!transaction.commit()) {
        return DbStatus::failure(writeFailure(record.name, transaction.error()));
    }
    return DbStatus::success();
}

DbStatus StructureStore::remove(TableKind kind, std::int64_t rowId) {
    if (!isOpen()) {
        return DbStatus::failure(closedMessage());
    }
    sqlite::Transaction transaction(m_db.get());
    if (!transaction.begun()) {
        return DbStatus::failure(fmt::format("Nothing was removed: {}.", transaction.error()));
    }
    int changed = 0;
    const int code = deleteRecord(m_db.get(), kind, rowId, changed);
    if (code != SQLITE_OK) {
        return DbStatus::failure(
            fmt::format("Nothing was removed: {}.", sqlite::lastError(m_db.get(), code)));
    }
    if (changed == 0) {
        return DbStatus::failure("Nothing was removed: the record is no longer in the database.");
    }
    if (!transaction.commit()) {
        return DbStatus::failure(fmt::format("Nothing was removed: {}.", transaction.error()));
    }
    return DbStatus::success();
}

DbResult<PutOutcome> StructureStore::put(TableKind kind, const StructureRecord& record,
                                         NotesOnOverwrite notes) {
    using Result = DbResult<PutOutcome>;
    if (!isOpen()) {
        return Result::failure(closedMessage());
    }
    sqlite::Transaction transaction(m_db.get());
    if (!transaction.begun()) {
        return Result::failure(writeFailure(record.name, transaction.error()));
    }
    // The search runs inside the write transaction, so no other program can add the same
    // name between the search and the write.
    DbResult<std::optional<StructureRecord>> found = findFirst(kind, record.name);
    if (!found.ok()) {
        return Result::failure(found.error);
    }
    PutOutcome outcome = PutOutcome::Added;
    int code = SQLITE_OK;
    if (found.value) {
        int changed = 0;
        code = updateRecord(m_db.get(), kind, found.value->rowId, record,
                            notes == NotesOnOverwrite::Replace, changed);
        outcome = PutOutcome::Replaced;
    } else {
        std::int64_t rowId = 0;
        code = insertRecord(m_db.get(), kind, record, rowId);
    }
    if (code != SQLITE_OK) {
        return Result::failure(writeFailure(record.name, sqlite::lastError(m_db.get(), code)));
    }
    if (!transaction.commit()) {
        return Result::failure(writeFailure(record.name, transaction.error()));
    }
    return Result::success(outcome);
}

DbResult<bool> StructureStore::removeFirst(TableKind kind, std::string_view name) {
    using Result = DbResult<bool>;
    if (!isOpen()) {
        return Result::failure(closedMessage());
    }
    sqlite::Transaction transaction(m_db.get());
    if (!transaction.begun()) {
        return Result::failure(fmt::format("Nothing was removed: {}.", transaction.error()));
    }
    const TableNames& n = tableNames(kind);
    // Only the rowid is needed here, so a record with unusable values can still be removed.
    sqlite::Statement query(m_db.get(),
                            fmt::format("SELECT rowid FROM {0} WHERE CAST({0} AS TEXT) = ?1 "
                                        "COLLATE NOCASE ORDER BY rowid LIMIT 1",
                                        n.table));
    if (!query.prepared()) {
        return Result::failure(readFailure(m_file, m_db.get(), query.prepareCode()));
    }
    query.bind(1, name);
    int code = query.step();
    if (code == SQLITE_DONE) {
        return Result::success(false);
    }
    if (code != SQLITE_ROW) {
        return Result::failure(readFailure(m_file, m_db.get(), code));
    }
    const std::int64_t rowId = query.integer(0);
    (void)query.step();  // finish the search before the table changes under it
    int changed = 0;
    code = deleteRecord(m_db.get(), kind, rowId, changed);
    if (code != SQLITE_OK) {
        return Result::failure(
            fmt::format("Nothing was removed: {}.", sqlite::lastError(m_db.get(), code)));
    }
    if (!transaction.commit()) {
        return Result::failure(fmt::format("Nothing was removed: {}.", transaction.error()));
    }
    return Result::success(true);
}

}  // namespace lamivex::database
