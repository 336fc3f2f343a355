#include "database/sqlite_handle.h"

#include <fmt/format.h>

namespace lamivex::database::sqlite {

Connection openConnection(const std::filesystem::path& path, OpenMode mode, std::string& error) {
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX |
                      (mode == OpenMode::CreateNew ? SQLITE_OPEN_CREATE : 0);
    sqlite3* raw = nullptr;
    const int code = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
    Connection db(raw);
    if (code != SQLITE_OK) {
        error = lastError(db.get(), code);
        return nullptr;
    }
    sqlite3_extended_result_codes(db.get(), 1);
    // A second program on the same file (the command line beside the desktop program) waits
    // briefly for a write lock instead of failing at once.
    sqlite3_busy_timeout(db.get(), 3000);
    return db;
}

std::string lastError(sqlite3* db, int code) {
    if (db != nullptr && sqlite3_errcode(db) != SQLITE_OK) {
        return sqlite3_errmsg(db);
    }
    return sqlite3_errstr(code);
}

Statement::Statement(sqlite3* db, std::string_view sql) {
    m_prepareCode =
        sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &m_stmt, nullptr);
    if (m_prepareCode != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
}

Statement::~Statement() {
    sqlite3_finalize(m_stmt);
}

void Statement::bind(int index, std::string_view text) {
    sqlite3_bind_text(m_stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void Statement::bind(int index, double value) {
    sqlite3_bind_double(m_stmt, index, value);
}

void Statement::bind(int index, std::int64_t value) {
    sqlite3_bind_int64(m_stmt, index, value);
}

void Statement::bind(int index, const std::optional<std::string>& text) {
    if (text) {
        bind(index, std::string_view(*text));
    } else {
        sqlite3_bind_null(m_stmt, index);
    }
}

int Statement::step() {
    return sqlite3_step(m_stmt);
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

std::string Statement::text(int column) const {
    const auto* data = sqlite3_column_text(m_stmt, column);
    const int size = sqlite3_column_bytes(m_stmt, column);
    return data == nullptr
               ? std::string()
               : std::string(reinterpret_cast<const char*>(data), static_cast<std::size_t>(size));
}

double Statement::real(int column) const {
    return sqlite3_column_double(m_stmt, column);
}

std::int64_t Statement::integer(int column) const {
    return sqlite3_column_int64(m_stmt, column);
}

int Statement::columnType(int column) const {
    return sqlite3_column_type(m_stmt, column);
}

int execute(sqlite3* db, std::string_view sql, std::string& error) {
    char* message = nullptr;
    const std::string text(sql);
    const int code = sqlite3_exec(db, text.c_str(), nullptr, nullptr, &message);
    if (code != SQLITE_OK) {
        error = message != nullptr ? message : sqlite3_errstr(code);
    }
    sqlite3_free(message);
    return code;
}

Transaction::Transaction(sqlite3* db) : m_db(db) {
    m_begun = execute(m_db, "BEGIN IMMEDIATE", m_error) == SQLITE_OK;
    m_done = !m_begun;
}

Transaction::~Transaction() {
    if (!m_done) {
        std::string ignored;
        (void)execute(m_db, "ROLLBACK", ignored);
    }
}

bool Transaction::commit() {
    if (m_done) {
        return false;
    }
    if (execute(m_db, "COMMIT", m_error) != SQLITE_OK) {
        // A failed COMMIT (disk full, I/O error) may leave the transaction open: undo it.
        if (sqlite3_get_autocommit(m_db) == 0) {
            std::string ignored;
            (void)execute(m_db, "ROLLBACK", ignored);
        }
        m_done = true;
        return false;
    }
    m_done = true;
    return true;
}

}  // namespace lamivex::database::sqlite
