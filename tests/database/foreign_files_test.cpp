// Databases made by other programs: tables the store cannot change records of, names stored
// as numbers or bytes, unreadable values among readable ones; and what put refuses to store.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fmt/format.h>

#include "database/structure_store.h"
#include "numbers/input_error.h"
#include "temp_folder.h"

namespace lamivex::database {
namespace {

using testing::TempFolder;

constexpr const char* kOverlayerTable = "CREATE TABLE Overlayer (Overlayer, b1, b2, beta, Notes);";

std::filesystem::path made(const TempFolder& folder, const std::string& name,
                           const std::string& schema) {
    const auto file = folder / name;
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    EXPECT_EQ(sqlite3_exec(db, schema.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << schema;
    sqlite3_close(db);
    return file;
}

TEST(ForeignFiles, TablesWithoutRowNumbersAreRefusedWhenOpened) {
    TempFolder folder;
    const struct {
        const char* schema;
        const char* says;
    } kCases[] = {
        {"CREATE TABLE Substrate (Substrate TEXT PRIMARY KEY, a1, a2, alpha, Notes) "
         "WITHOUT ROWID;",
         "has no row numbers (a table WITHOUT ROWID)"},
        {"CREATE TABLE s (Substrate, a1, a2, alpha, Notes);"
         "CREATE VIEW Substrate AS SELECT * FROM s;",
         "Substrate is a view, not a table."},
        {"CREATE TABLE Substrate (Substrate, a1, a2, alpha, Notes, rowid);",
         "has a field named rowid"},
    };
    int n = 0;
    for (const auto& c : kCases) {
        const auto file =
            made(folder, fmt::format("{}.sqlite", n++), std::string(c.schema) + kOverlayerTable);
        const DbResult<StructureStore> opened = StructureStore::open(file);
        EXPECT_FALSE(opened.ok()) << c.schema;
        EXPECT_NE(opened.error.find(c.says), std::string::npos) << opened.error;
    }
}

TEST(ForeignFiles, NamesStoredAsNumbersOrBytesArePickedAsText) {
    TempFolder folder;
    const auto file = made(
        folder, "f.sqlite",
        std::string("CREATE TABLE Substrate (Substrate, a1, a2, alpha, Notes);") + kOverlayerTable +
            "INSERT INTO Substrate VALUES (123, 2.5, 2.5, 90, NULL);"
            "INSERT INTO Substrate VALUES (CAST('Cu(100)' AS BLOB), 2.55, 2.55, 90, NULL);");
    DbResult<StructureStore> store = StructureStore::open(file);
    ASSERT_TRUE(store.ok()) << store.error;
    const std::vector<std::string> names = store.value.names(TableKind::Substrate).value;
    ASSERT_EQ(names, (std::vector<std::string>{"123", "Cu(100)"}));
    for (const std::string& name : names) {
        const auto found = store.value.findFirst(TableKind::Substrate, name);
        ASSERT_TRUE(found.ok() && found.value.has_value()) << name << ": " << found.error;
    }
    EXPECT_TRUE(store.value.removeFirst(TableKind::Substrate, "123").value);
}

TEST(ForeignFiles, UnreadableRecordsAreNamedAndTheOthersListed) {
    TempFolder folder;
    const auto file = made(
        folder, "f.sqlite",
        std::string("CREATE TABLE Substrate (Substrate, a1, a2, alpha, Notes);") + kOverlayerTable +
            "INSERT INTO Substrate VALUES ('Au(111)', 2.884, 2.884, 60, NULL);"
            "INSERT INTO Substrate VALUES ('text', 'abc', 1, 90, NULL);"
            "INSERT INTO Substrate VALUES ('infinite', 9e999, 1, 90, NULL);"
            "INSERT INTO Substrate VALUES ('nothing', NULL, 1, 90, NULL);");
    DbResult<StructureStore> store = StructureStore::open(file);
    ASSERT_TRUE(store.ok()) << store.error;
    const DbResult<RecordListing> listing =
        store.value.listRecords(TableKind::Substrate, RecordOrder::Name);
    ASSERT_TRUE(listing.ok()) << listing.error;
    ASSERT_EQ(listing.value.readable.size(), 1U);
    EXPECT_EQ(listing.value.readable[0].name, "Au(111)");
    ASSERT_EQ(listing.value.unreadable.size(), 3U);
    for (const char* name : {"'infinite'", "'nothing'", "'text'"}) {
        EXPECT_TRUE(std::any_of(listing.value.unreadable.begin(), listing.value.unreadable.end(),
                                [&](const std::string& m) { return m.find(name) != m.npos; }))
            << name;
    }
    EXPECT_FALSE(store.value.findFirst(TableKind::Substrate, "infinite").ok());
    EXPECT_TRUE(store.value.findFirst(TableKind::Substrate, "Au(111)").ok());
}

TEST(ForeignFiles, PutRefusesWhatTheWindowFieldsRefuse) {
    const auto fieldOf = [](auto call) {
        try {
            call();
        } catch (const numbers::InputError& e) {
            return e.field();
        }
        return std::string("(accepted)");
    };
    const struct {
        const char* name;
        const char* length1;
        std::optional<std::string> notes;
        const char* field;
    } kCases[] = {
        {"a\xff", "1", std::nullopt, "name"},
        {"x", "1", std::string("caf\xe9"), "notes"},
        {"x", "1.7976931348623157e308", std::nullopt, "a1"},  // a double, not a single
        {"x", "3.4e38", std::nullopt, "a1"},          // a single, but no length a run computes with
        {"x", "100000", std::nullopt, "(accepted)"},  // the longest a run takes
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(fieldOf([&] {
                      (void)recordFromTexts(TableKind::Substrate, c.name, c.length1, "1", "90",
                                            c.notes);
                  }),
                  c.field)
            << c.length1;
    }
}

}  // namespace
}  // namespace lamivex::database
