// The starter database built from data/structures.sql, the build step itself, and the
// import of older database files.

#include <cmath>
#include <regex>

#include <fmt/format.h>
#include <gtest/gtest.h>

#include "database/legacy_import.h"
#include "database/script_build.h"
#include "database/structure_store.h"
#include "temp_folder.h"

namespace lamivex::database {
namespace {

using testing::TempFolder;

DbResult<StructureStore> openStarter() {
    return StructureStore::open(LAMIVEX_STARTER_DB);
}

TEST(StarterDatabase, OpensAndListsItsEntriesSorted) {
    DbResult<StructureStore> starter = openStarter();
    ASSERT_TRUE(starter.ok()) << starter.error;
    EXPECT_EQ(starter.value.names(TableKind::Substrate).value,
              (std::vector<std::string>{"Ag(111)", "Au(111)", "Cu(100)", "Cu(110)", "Cu(111)",
                                        "graphite(0001)", "h-BN(0001)", "KCl(100)", "MoS2(0001)",
                                        "NaCl(100)", "Ni(111)", "Pt(111)", "Si(111)"}));
    EXPECT_EQ(starter.value.names(TableKind::Overlayer).value,
              (std::vector<std::string>{"C60", "graphene", "NTCDA", "pentacene", "PTCDA bulk (102)",
                                        "PTCDA/Ag(111)"}));
}

TEST(StarterDatabase, PickingAu111FillsTheSubstrateFields) {
    DbResult<StructureStore> starter = openStarter();
    ASSERT_TRUE(starter.ok()) << starter.error;
    const auto found = starter.value.findFirst(TableKind::Substrate, "au(111)");
    ASSERT_TRUE(found.ok() && found.value);
    const LatticeFieldTexts texts = fieldTextsOf(*found.value);
    EXPECT_EQ(texts.name, "Au(111)");
    EXPECT_EQ(texts.length1, "2.8836");
    EXPECT_EQ(texts.length2, "2.8836");
    EXPECT_EQ(texts.angle, "60");
}

// The surface constants follow from the bulk constants quoted in the notes:
// a_s = a/sqrt(2) for fcc(111), fcc(100), diamond(111) and rock salt(100); every hexagonal
// entry uses the 60 degree form; every entry names its source and where in it.
TEST(StarterDatabase, EntriesAgreeWithTheBulkConstantsAndConventionsInTheirNotes) {
    DbResult<StructureStore> starter = openStarter();
    ASSERT_TRUE(starter.ok()) << starter.error;
    const std::regex bulk(R"(a/sqrt\(2\).* a = ([0-9.]+) A)");
    int derived = 0;
    for (const TableKind kind : {TableKind::Substrate, TableKind::Overlayer}) {
        for (const StructureRecord& record : starter.value.records(kind).value) {
            ASSERT_TRUE(record.Notes) << record.name;
            EXPECT_TRUE(std::regex_search(*record.Notes, std::regex(R"(\(?(19|20)[0-9]{2}[),])")))
                << record.name << ": no dated source";
            // Where in the source: a chapter of the book, or the article's volume and page.
            EXPECT_TRUE(std::regex_search(
                *record.Notes, std::regex(R"(ch\. [IVX]+\)|[0-9]+, [0-9]+ \((19|20)[0-9]{2}\))")))
                << record.name << ": the source names no chapter or page";
            std::smatch match;
            if (std::regex_search(*record.Notes, match, bulk)) {
                EXPECT_NEAR(record.length1, std::stod(match[1]) / std::sqrt(2.0), 0.6e-4)
                    << record.name;
                ++derived;
            }
            if (record.Notes->find("Hexagonal") != std::string::npos) {
                EXPECT_EQ(record.angle, 60) << record.name;
                EXPECT_EQ(record.length1, record.length2) << record.name;
            }
        }
    }
    EXPECT_EQ(derived, 11);  // 5 fcc metals, Cu(100), Cu(110), Si, NaCl, KCl and C60
}

TEST(ScriptBuild, AFailingScriptLeavesTheTargetAsItWas) {
    TempFolder folder;
    const auto target = folder / "out.sqlite";
    testing::writeBytes(target, "previous build");
    DbStatus failed = buildFromScript(
        target,
        "INSERT INTO Substrate VALUES ('a', 1, 1, 60, NULL); INSERT INTO Nowhere VALUES (1);");
    EXPECT_FALSE(failed.ok());
    EXPECT_NE(failed.error.find("no such table: Nowhere"), std::string::npos) << failed.error;
    failed = buildFromScript(target, "DROP TABLE Overlayer;");
    EXPECT_NE(failed.error.find("no table Overlayer"), std::string::npos) << failed.error;
    failed = buildFromScript(target, "INSERT INTO Overlayer VALUES ('x', 'wide', 1, 60, NULL);");
    EXPECT_NE(failed.error.find("no usable b1 value"), std::string::npos) << failed.error;
    EXPECT_EQ(testing::readBytes(target), "previous build");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              1);

    ASSERT_TRUE(
        buildFromScript(target, "INSERT INTO Overlayer VALUES ('C60', 10, 10, 60, 'n');").ok());
    EXPECT_EQ(StructureStore::open(target).value.names(TableKind::Overlayer).value,
              std::vector<std::string>{"C60"});
}

TEST(LegacyImport, FilesThatAreNotAccessDatabasesAreRefused) {
    TempFolder folder;
    EXPECT_EQ(readMdbTables(folder / "gone.mdb").error,
              fmt::format("{} does not exist.", (folder / "gone.mdb").string()));

    const auto text = folder / "text.mdb";
    testing::writeBytes(text, "Substrate;Overlayer\n" + std::string(5000, 'x'));
    EXPECT_EQ(
        readMdbTables(text).error,
        fmt::format("{} is not an Access database file; nothing was imported.", text.string()));

    // Our own format is not an older file either.
    const auto ours = folder / "ours.mdb";
    ASSERT_TRUE(StructureStore::createEmpty(ours).ok());
    EXPECT_NE(readMdbTables(ours).error.find("is not an Access database file"), std::string::npos);

    const auto shortFile = folder / "short.mdb";
    testing::writeBytes(shortFile, std::string("\0\1\0\0Standard Jet", 15));
    EXPECT_NE(readMdbTables(shortFile).error.find("is not an Access database file"),
              std::string::npos);
}

TEST(LegacyImport, AnAccessHeaderWithoutContentIsReportedDamaged) {
    TempFolder folder;
    const auto fake = folder / "fake.mdb";
    std::string page(std::string("\0\1\0\0Standard Jet DB\0", 20));
    page.resize(2 * 4096, '\0');
    testing::writeBytes(fake, page);
    const DbResult<ImportReport> imported = importMdb(fake);
    ASSERT_FALSE(imported.ok());
    EXPECT_TRUE(imported.error.find("damaged") != std::string::npos ||
                imported.error.find("has no table Substrate") != std::string::npos)
        << imported.error;
    EXPECT_FALSE(std::filesystem::exists(folder / "fake.sqlite"));
}

TEST(LegacyImport, ColumnsAreFoundByNameIgnoringLetterCase) {
    const DbResult<LegacyColumns> found =
        findLegacyColumns(TableKind::Overlayer, {"ID", "NOTES", "beta", "Overlayer", "B2", "b1"});
    ASSERT_TRUE(found.ok()) << found.error;
    EXPECT_EQ(found.value.name, 3);
    EXPECT_EQ(found.value.length1, 5);
    EXPECT_EQ(found.value.length2, 4);
    EXPECT_EQ(found.value.angle, 2);
    EXPECT_EQ(found.value.notes, 1);
    EXPECT_EQ(findLegacyColumns(TableKind::Substrate, {"Substrate", "a1", "alpha", "Notes"}).error,
              "its table Substrate has no field a2");
}

TEST(LegacyImport, WritesANewFileBesideTheOldOneAndNeverReplacesOne) {
    TempFolder folder;
    const auto old = folder / "epitaxy.mdb";
    testing::writeBytes(old, "old bytes");
    LegacyTables tables;
    tables.substrates = {
        {"Si(111) 7x7 'DAS'", 26.88, 26.88, 60, "7x7 cell"},
        {"Ag[110]", 2.89, 4.09, 90, std::nullopt},
        {std::nullopt, 1.0, 1.0, 90, "nameless"},
        {"half", 1.0, std::nullopt, 90, std::nullopt},
        {"ag[110]", 3.0, 3.0, 90, std::nullopt},  // older files may repeat a name
    };
    tables.overlayers = {{"C60", 10.02, 10.02, 60, " "}, {"PTCDA", 19.91, 11.96, std::nullopt, {}}};

    const DbResult<ImportReport> first = writeImportedDatabase(old, tables);
    ASSERT_TRUE(first.ok()) << first.error;
    EXPECT_EQ(first.value.target, folder / "epitaxy.sqlite");
    EXPECT_EQ(first.value.substrates, 3);
    EXPECT_EQ(first.value.overlayers, 1);
    EXPECT_EQ(
        first.value.skipped,
        (std::vector<std::string>{"substrate row 3 ('') left out: it has no name",
                                  "substrate row 4 ('half') left out: it has no a2 value",
                                  "overlayer row 2 ('PTCDA') left out: it has no beta value"}));

    DbResult<StructureStore> imported = StructureStore::open(first.value.target);
    ASSERT_TRUE(imported.ok()) << imported.error;
    const DbResult<std::vector<StructureRecord>> substrates =
        imported.value.records(TableKind::Substrate);
    ASSERT_EQ(substrates.value.size(), 3u);
    EXPECT_EQ(substrates.value[0].name, "Si(111) 7x7 'DAS'");
    EXPECT_EQ(substrates.value[0].Notes, "7x7 cell");
    EXPECT_EQ(substrates.value[1].length2, 4.09);
    EXPECT_FALSE(substrates.value[1].Notes);
    EXPECT_EQ(imported.value.findFirst(TableKind::Substrate, "AG[110]").value->length1, 2.89);
    EXPECT_EQ(imported.value.findFirst(TableKind::Overlayer, "c60").value->Notes, " ");

    const DbResult<ImportReport> second = writeImportedDatabase(old, tables);
    ASSERT_TRUE(second.ok()) << second.error;
    EXPECT_EQ(second.value.target, folder / "epitaxy-2.sqlite");
    EXPECT_EQ(testing::readBytes(old), "old bytes");

    const DbResult<ImportReport> named = writeImportedDatabaseTo(folder / "epitaxy.sqlite", tables);
    EXPECT_EQ(named.error, fmt::format("{} already exists; nothing was imported.",
                                       (folder / "epitaxy.sqlite").string()));
    // Only the old file and the two imports: no temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              3);
}

TEST(LegacyImport, ImportTargetNamesCountUpBesideTheOldFile) {
    EXPECT_EQ(importTargetFor("/data/old.mdb", 1), std::filesystem::path("/data/old.sqlite"));
    EXPECT_EQ(importTargetFor("/data/old.mdb", 3), std::filesystem::path("/data/old-3.sqlite"));
    EXPECT_EQ(importTargetFor("old.MDB", 1), std::filesystem::path("old.sqlite"));
}

}  // namespace
}  // namespace lamivex::database
