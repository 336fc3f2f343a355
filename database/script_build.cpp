#include "database/script_build.h"

#include <system_error>

#include <fmt/format.h>

#include "database/sqlite_handle.h"
#include "database/structure_store.h"
#include "database/temp_files.h"

namespace lamivex::database {
namespace {

DbStatus fillFromScript(const std::filesystem::path& file, std::string_view script) {
    std::string error;
    sqlite::Connection db = sqlite::openConnection(file, sqlite::OpenMode::CreateNew, error);
    if (!db) {
        return DbStatus::failure(error);
    }
    if (DbStatus made = createSchema(db.get()); !made.ok()) {
        return made;
    }
    sqlite::Transaction transaction(db.get());
    if (!transaction.begun()) {
        return DbStatus::failure(transaction.error());
    }
    if (sqlite::execute(db.get(), script, error) != SQLITE_OK) {
        return DbStatus::failure(fmt::format("the script fails: {}", error));
    }
    if (!transaction.commit()) {
        return DbStatus::failure(transaction.error());
    }
    return DbStatus::success();
}

}  // namespace

DbStatus buildFromScript(const std::filesystem::path& target, std::string_view script) {
    const std::filesystem::path temporary = temporaryBeside(target, "build");
    if (DbStatus filled = fillFromScript(temporary, script); !filled.ok()) {
        removeDatabaseFile(temporary);
        return DbStatus::failure(
            fmt::format("Cannot build {}: {}.", target.string(), filled.error));
    }
    {
        DbResult<StructureStore> built = StructureStore::open(temporary);
        std::string problem = built.error;
        for (const TableKind kind : {TableKind::Substrate, TableKind::Overlayer}) {
            if (problem.empty()) {
                problem = built.value.records(kind).error;
            }
        }
        if (!problem.empty()) {
            removeDatabaseFile(temporary);
            return DbStatus::failure(fmt::format("Cannot build {}: {}", target.string(), problem));
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, target, ec);
    if (ec) {
        removeDatabaseFile(temporary);
        return DbStatus::failure(
            fmt::format("Cannot write {}: {}.", target.string(), ec.message()));
    }
    syncFolder(target);
    return DbStatus::success();
}

}  // namespace lamivex::database
