#include "database/legacy_import.h"

#include <unistd.h>

#include <cerrno>
#include <functional>
#include <system_error>

#include <fmt/format.h>

#include "database/sqlite_handle.h"
#include "database/structure_store.h"
#include "database/temp_files.h"

namespace lamivex::database {
namespace {

std::string kindWord(TableKind kind) {
    return kind == TableKind::Substrate ? "substrate" : "overlayer";
}

// The reason a row cannot be kept, or empty.
std::string whyUnusable(TableKind kind, const LegacyRecord& row) {
    const TableNames& n = tableNames(kind);
    if (!row.name || row.name->empty()) {
        return "it has no name";
    }
    if (!row.length1) {
        return fmt::format("it has no {} value", n.length1);
    }
    if (!row.length2) {
        return fmt::format("it has no {} value", n.length2);
    }
    if (!row.angle) {
        return fmt::format("it has no {} value", n.angle);
    }
    return {};
}

int writeTable(sqlite3* db, TableKind kind, const std::vector<LegacyRecord>& rows,
               ImportReport& report, int& written) {
    const TableNames& n = tableNames(kind);
    const std::string sql =
        fmt::format("INSERT INTO {0} ({0}, {1}, {2}, {3}, Notes) VALUES (?1, ?2, ?3, ?4, ?5)",
                    n.table, n.length1, n.length2, n.angle);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const LegacyRecord& row = rows[i];
        if (const std::string why = whyUnusable(kind, row); !why.empty()) {
            report.skipped.push_back(fmt::format("{} row {} ('{}') left out: {}", kindWord(kind),
                                                 i + 1, row.name.value_or(""), why));
            continue;
        }
        sqlite::Statement insert(db, sql);
        if (!insert.prepared()) {
            return insert.prepareCode();
        }
        insert.bind(1, std::string_view(*row.name));
        insert.bind(2, *row.length1);
        insert.bind(3, *row.length2);
        insert.bind(4, *row.angle);
        insert.bind(5, row.Notes);
        if (const int code = insert.step(); code != SQLITE_DONE) {
            return code;
        }
        ++written;
    }
    return SQLITE_OK;
}

}  // namespace

std::filesystem::path importTargetFor(const std::filesystem::path& oldFile, int attempt) {
    const std::string stem = oldFile.stem().string();
    const std::string name =
        attempt <= 1 ? stem + ".sqlite" : fmt::format("{}-{}.sqlite", stem, attempt);
    return oldFile.parent_path() / name;
}

namespace {

// Writes the tables into a new file beside near and hands it over through place(), which
// gives it its final name. On any failure the temporary file is removed.
DbResult<ImportReport> writeThenPlace(
    const std::filesystem::path& near, const LegacyTables& tables,
    const std::function<DbResult<std::filesystem::path>(const std::filesystem::path&)>& place) {
    using Result = DbResult<ImportReport>;
    const std::filesystem::path temporary = temporaryBeside(near, "import");
    ImportReport report;
    {
        std::string error;
        sqlite::Connection db =
            sqlite::openConnection(temporary, sqlite::OpenMode::CreateNew, error);
        if (!db) {
            removeDatabaseFile(temporary);
            return Result::failure(
                fmt::format("Cannot write a new database beside {}: {}.", near.string(), error));
        }
        DbStatus made = createSchema(db.get());
        if (made.ok()) {
            sqlite::Transaction transaction(db.get());
            int code = transaction.begun() ? SQLITE_OK : SQLITE_ERROR;
            if (code == SQLITE_OK) {
                code = writeTable(db.get(), TableKind::Substrate, tables.substrates, report,
                                  report.substrates);
            }
            if (code == SQLITE_OK) {
                code = writeTable(db.get(), TableKind::Overlayer, tables.overlayers, report,
                                  report.overlayers);
            }
            if (code != SQLITE_OK) {
                made = DbStatus::failure(transaction.begun() ? sqlite::lastError(db.get(), code)
                                                             : transaction.error());
            } else if (!transaction.commit()) {
                made = DbStatus::failure(transaction.error());
            }
        }
        if (!made.ok()) {
            db.reset();
            removeDatabaseFile(temporary);
            return Result::failure(fmt::format("Cannot write a new database beside {}: {}.",
                                               near.string(), made.error));
        }
    }
    DbResult<std::filesystem::path> placed = place(temporary);
    removeDatabaseFile(temporary);
    if (!placed.ok()) {
        return Result::failure(placed.error);
    }
    report.target = placed.value;
    return Result::success(std::move(report));
}

// link() never replaces a file, so an existing file keeps its content and its name.
bool linkNew(const std::filesystem::path& from, const std::filesystem::path& to, int& error) {
    if (::link(from.c_str(), to.c_str()) == 0) {
        syncFolder(to);
        return true;
    }
    error = errno;
    return false;
}

}  // namespace

DbResult<ImportReport> writeImportedDatabase(const std::filesystem::path& oldFile,
                                             const LegacyTables& tables) {
    return writeThenPlace(oldFile, tables, [&](const std::filesystem::path& temporary) {
        using Placed = DbResult<std::filesystem::path>;
        for (int attempt = 1; attempt <= 100; ++attempt) {
            const std::filesystem::path target = importTargetFor(oldFile, attempt);
            int error = 0;
            if (linkNew(temporary, target, error)) {
                return Placed::success(target);
            }
            if (error != EEXIST) {
                return Placed::failure(fmt::format("Cannot write {}: {}.", target.string(),
                                                   std::generic_category().message(error)));
            }
        }
        return Placed::failure(fmt::format(
            "Cannot write a new database beside {}: too many earlier imports; move some away.",
            oldFile.string()));
    });
}

DbResult<ImportReport> writeImportedDatabaseTo(const std::filesystem::path& target,
                                               const LegacyTables& tables) {
    return writeThenPlace(target, tables, [&](const std::filesystem::path& temporary) {
        using Placed = DbResult<std::filesystem::path>;
        int error = 0;
        if (linkNew(temporary, target, error)) {
            return Placed::success(target);
        }
        if (error == EEXIST) {
            return Placed::failure(
                fmt::format("{} already exists; nothing was imported.", target.string()));
        }
        return Placed::failure(fmt::format("Cannot write {}: {}.", target.string(),
                                           std::generic_category().message(error)));
    });
}

}  // namespace lamivex::database
