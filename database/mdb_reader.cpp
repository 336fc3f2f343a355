// Reading the two tables of an Access (Jet) file with mdbtools, and the imports that do it.
// Kept apart from the rest of the importer, in a library of its own, because it is the only
// code that needs glib and libmdb.

#include <glib.h>  // mdbtools.h uses glib types without including it
#include <mdbtools.h>

#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string_view>
#include <system_error>

#include <fmt/format.h>

#include "database/legacy_import.h"
#include "numbers/number_text.h"

namespace lamivex::database {
namespace {

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

// Long enough for any comment an old file may hold; longer memo text is cut here.
constexpr std::size_t kBindSize = std::size_t{256} * 1024;

struct HandleCloser {
    void operator()(MdbHandle* mdb) const { mdb_close(mdb); }
};
struct TableFreer {
    void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};

// The reader reports its troubles on stderr. While it works, its stderr goes to a temporary
// file, so that the command line keeps to one line per error and the messages can be
// given to the user as part of ours.
class StderrCapture {
  public:
    StderrCapture() {
        std::fflush(stderr);
        m_file = std::tmpfile();
        m_saved = m_file != nullptr ? ::dup(STDERR_FILENO) : -1;
        if (m_saved >= 0) {
            ::dup2(::fileno(m_file), STDERR_FILENO);
        }
    }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;
    ~StderrCapture() {
        restore();
        if (m_file != nullptr) {
            std::fclose(m_file);
        }
    }

    // The captured text, its lines joined by "; ", without the final newline.
    std::string text() {
        restore();
        if (m_file == nullptr) {
            return {};
        }
        std::string captured;
        std::rewind(m_file);
        for (int c = 0; (c = std::fgetc(m_file)) != EOF;) {
            captured += static_cast<char>(c);
        }
        while (!captured.empty() && captured.back() == '\n') {
            captured.pop_back();
        }
        for (std::size_t at = 0; (at = captured.find('\n', at)) != std::string::npos;) {
            captured.replace(at, 1, "; ");
        }
        return captured;
    }

  private:
    void restore() {
        if (m_saved >= 0) {
            std::fflush(stderr);
            ::dup2(m_saved, STDERR_FILENO);
            ::close(m_saved);
            m_saved = -1;
        }
    }

    std::FILE* m_file = nullptr;
    int m_saved = -1;
};

std::string refusal(const std::string& message, const std::string& detail) {
    return detail.empty() ? fmt::format("{}; nothing was imported.", message)
                          : fmt::format("{} ({}); nothing was imported.", message, detail);
}

// Jet files begin with 00 01 00 00 and a format name; checking it first gives a plain
// message for any other file instead of whatever the reader makes of it.
bool hasJetHeader(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::array<char, 20> head{};
    if (!in.read(head.data(), head.size())) {
        return false;
    }
    const std::string_view text(head.data(), head.size());
    return text.substr(0, 4) == std::string_view("\0\1\0\0", 4) &&
           (text.substr(4, 16) == std::string_view("Standard Jet DB\0", 16) ||
            text.substr(4, 16) == std::string_view("Standard ACE DB\0", 16));
}

// The value of a bound numeric field of the current row; null or unreadable gives nullopt.
std::optional<double> numberOf(MdbHandle* mdb, const MdbColumn* column, const char* bound) {
    if (column->cur_value_len == 0) {
        return std::nullopt;
    }
    const int start = column->cur_value_start;
    switch (column->col_type) {
        // Read the stored bits: the text the library makes of a double keeps 16 digits only.
        case MDB_DOUBLE:
            return mdb_get_double(mdb->pg_buf, start);
        case MDB_FLOAT:
            return static_cast<double>(mdb_get_single(mdb->pg_buf, start));
        case MDB_BYTE:
            return static_cast<double>(mdb_get_byte(mdb->pg_buf, start));
        case MDB_INT:
            return static_cast<double>(static_cast<short>(mdb_get_int16(mdb->pg_buf, start)));
        case MDB_LONGINT:
            return static_cast<double>(mdb_get_int32(mdb->pg_buf, start));
        default: {
            const numbers::Parsed<double> parsed = numbers::toDouble(bound);
            return parsed.ok() ? std::optional<double>(parsed.value) : std::nullopt;
        }
    }
}

DbResult<std::vector<LegacyRecord>> readTable(MdbHandle* mdb, TableKind kind,
                                              const std::filesystem::path& file) {
    using Result = DbResult<std::vector<LegacyRecord>>;
    const TableNames& n = tableNames(kind);
    MdbCatalogEntry* entry = nullptr;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* candidate = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (candidate->object_type == MDB_TABLE &&
            g_ascii_strcasecmp(candidate->object_name, std::string(n.table).c_str()) == 0) {
            entry = candidate;
            break;
        }
    }
    if (entry == nullptr) {
        return Result::failure(fmt::format("{} has no table {}", file.string(), n.table));
    }
    std::unique_ptr<MdbTableDef, TableFreer> table(mdb_read_table(entry));
    if (!table || mdb_read_columns(table.get()) == nullptr) {
        return Result::failure(
            fmt::format("The table {} of {} cannot be read", n.table, file.string()));
    }
    std::vector<std::string> columnNames;
    std::vector<MdbColumn*> columns;
    for (unsigned i = 0; i < table->num_cols; ++i) {
        auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
        columns.push_back(column);
        columnNames.emplace_back(column->name);
    }
    const DbResult<LegacyColumns> found = findLegacyColumns(kind, columnNames);
    if (!found.ok()) {
        return Result::failure(fmt::format("{}: {}", file.string(), found.error));
    }
    const std::array<int, 5> wanted = {found.value.name, found.value.length1, found.value.length2,
                                       found.value.angle, found.value.notes};
    std::vector<std::vector<char>> buffers(wanted.size(), std::vector<char>(kBindSize + 1));
    for (std::size_t k = 0; k < wanted.size(); ++k) {
        mdb_bind_column(table.get(), wanted[k] + 1, buffers[k].data(), nullptr);
    }
    std::vector<LegacyRecord> rows;
    mdb_rewind_table(table.get());
    while (mdb_fetch_row(table.get()) != 0) {
        LegacyRecord row;
        const auto textOf = [&](std::size_t k) -> std::optional<std::string> {
            if (columns[wanted[k]]->cur_value_len == 0) {
                return std::nullopt;
            }
            return std::string(buffers[k].data());
        };
        row.name = textOf(0);
        row.length1 = numberOf(mdb, columns[wanted[1]], buffers[1].data());
        row.length2 = numberOf(mdb, columns[wanted[2]], buffers[2].data());
        row.angle = numberOf(mdb, columns[wanted[3]], buffers[3].data());
        row.Notes = textOf(4);
        rows.push_back(std::move(row));
    }
    return Result::success(std::move(rows));
}

}  // namespace

DbResult<LegacyTables> readMdbTables(const std::filesystem::path& mdbFile) {
    using Result = DbResult<LegacyTables>;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(mdbFile, ec)) {
        return Result::failure(fmt::format("{} does not exist.", mdbFile.string()));
    }
    if (!hasJetHeader(mdbFile)) {
        return Result::failure(fmt::format(
            "{} is not an Access database file; nothing was imported.", mdbFile.string()));
    }
    StderrCapture capture;
    std::unique_ptr<MdbHandle, HandleCloser> mdb(mdb_open(mdbFile.c_str(), MDB_NOFLAGS));
    if (!mdb || mdb_read_catalog(mdb.get(), MDB_TABLE) == nullptr) {
        return Result::failure(
            refusal(fmt::format("{} is damaged or of an unknown version", mdbFile.string()),
                    capture.text()));
    }
    mdb_set_bind_size(mdb.get(), kBindSize);
    LegacyTables tables;
    DbResult<std::vector<LegacyRecord>> substrates =
        readTable(mdb.get(), TableKind::Substrate, mdbFile);
    if (!substrates.ok()) {
        return Result::failure(refusal(substrates.error, capture.text()));
    }
    DbResult<std::vector<LegacyRecord>> overlayers =
        readTable(mdb.get(), TableKind::Overlayer, mdbFile);
    if (!overlayers.ok()) {
        return Result::failure(refusal(overlayers.error, capture.text()));
    }
    tables.substrates = std::move(substrates.value);
    tables.overlayers = std::move(overlayers.value);
    return Result::success(std::move(tables));
}

DbResult<LegacyColumns> findLegacyColumns(TableKind kind, const std::vector<std::string>& columns) {
    const TableNames& n = tableNames(kind);
    LegacyColumns found;
    const std::pair<std::string_view, int*> wanted[] = {{n.table, &found.name},
                                                        {n.length1, &found.length1},
                                                        {n.length2, &found.length2},
                                                        {n.angle, &found.angle},
                                                        {"Notes", &found.notes}};
    for (const auto& [field, index] : wanted) {
        for (std::size_t i = 0; i < columns.size() && *index < 0; ++i) {
            if (sameIgnoringCase(columns[i], field)) {
                *index = static_cast<int>(i);
            }
        }
        if (*index < 0) {
            return DbResult<LegacyColumns>::failure(
                fmt::format("its table {} has no field {}", n.table, field));
        }
    }
    return DbResult<LegacyColumns>::success(found);
}

}  // namespace lamivex::database
