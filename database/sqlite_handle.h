#pragma once
// Thin owners of SQLite's C handles for the rest of this library. Every value that comes
// from a user goes into a statement through bind(), never into the SQL text.

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace lamivex::database::sqlite {

struct ConnectionCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Connection = std::unique_ptr<sqlite3, ConnectionCloser>;

enum class OpenMode { ExistingReadWrite, CreateNew };

// Opens the file (never creating it with ExistingReadWrite); on failure returns null and
// sets error. Sets the busy timeout and full synchronous writes with a rollback journal.
[[nodiscard]] Connection openConnection(const std::filesystem::path& path, OpenMode mode,
                                        std::string& error);

// SQLite's message for the last failure on db, or for code when db has none.
[[nodiscard]] std::string lastError(sqlite3* db, int code);

class Statement {
  public:
    Statement(sqlite3* db, std::string_view sql);
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    [[nodiscard]] bool prepared() const { return m_stmt != nullptr; }
    [[nodiscard]] int prepareCode() const { return m_prepareCode; }

    void bind(int index, std::string_view text);
    void bind(int index, double value);
    void bind(int index, std::int64_t value);
    void bind(int index, const std::optional<std::string>& text);  // null when empty optional

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();

    [[nodiscard]] bool isNull(int column) const;
    [[nodiscard]] std::string text(int column) const;
    [[nodiscard]] double real(int column) const;
    [[nodiscard]] std::int64_t integer(int column) const;
    [[nodiscard]] int columnType(int column) const;

  private:
    sqlite3_stmt* m_stmt = nullptr;
    int m_prepareCode = SQLITE_OK;
};

// Runs statements without parameters (schema, pragmas, transaction control).
[[nodiscard]] int execute(sqlite3* db, std::string_view sql, std::string& error);

// Begins an immediate transaction and rolls it back on destruction unless committed, so that
// an early return or an exception never leaves a half-done write behind.
class Transaction {
  public:
    explicit Transaction(sqlite3* db);
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();

    [[nodiscard]] bool begun() const { return m_begun; }
    [[nodiscard]] const std::string& error() const { return m_error; }
    // True when the write reached the file; on failure the transaction is rolled back.
    [[nodiscard]] bool commit();

  private:
    sqlite3* m_db;
    bool m_begun = false;
    bool m_done = false;
    std::string m_error;
};

}  // namespace lamivex::database::sqlite
