// Names, matching and the write operations of the structure database.

#include "database/structure_store.h"

#include <gtest/gtest.h>

#include "numbers/input_error.h"
#include "temp_folder.h"

namespace lamivex::database {
namespace {

using testing::TempFolder;

StructureRecord lattice(std::string name, double l1, double l2, double angle,
                        std::optional<std::string> notes = std::nullopt) {
    StructureRecord r;
    r.name = std::move(name);
    r.length1 = l1;
    r.length2 = l2;
    r.angle = angle;
    r.Notes = std::move(notes);
    return r;
}

class StoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DbResult<StructureStore> created = StructureStore::createEmpty(folder / "test.sqlite");
        ASSERT_TRUE(created.ok()) << created.error;
        store = std::move(created.value);
    }

    std::vector<std::string> names(TableKind kind) {
        DbResult<std::vector<std::string>> listed = store.names(kind);
        EXPECT_TRUE(listed.ok()) << listed.error;
        return listed.value;
    }

    std::optional<StructureRecord> find(TableKind kind, std::string_view name) {
        DbResult<std::optional<StructureRecord>> found = store.findFirst(kind, name);
        EXPECT_TRUE(found.ok()) << found.error;
        return found.value;
    }

    void add(TableKind kind, const StructureRecord& record) {
        DbResult<StructureRecord> added = store.add(kind, record);
        ASSERT_TRUE(added.ok()) << added.error;
        EXPECT_GT(added.value.rowId, 0);
    }

    TempFolder folder;
    StructureStore store;
};

TEST_F(StoreTest, NameInOtherLetterCaseFindsAndOverwritesStoredRecordRewritingItsName) {
    add(TableKind::Substrate, lattice("Au(111)", 2.88, 2.88, 60, "old"));
    add(TableKind::Substrate, lattice("Ag(111)", 2.89, 2.89, 60));

    const std::optional<StructureRecord> found = find(TableKind::Substrate, "AU(111)");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->name, "Au(111)");

    ASSERT_TRUE(store
                    .replace(TableKind::Substrate, found->rowId,
                             lattice("AU(111)", 2.8836, 2.8837, 60, "new"))
                    .ok());
    EXPECT_EQ(names(TableKind::Substrate), (std::vector<std::string>{"Ag(111)", "AU(111)"}));
    const std::optional<StructureRecord> rewritten = find(TableKind::Substrate, "au(111)");
    ASSERT_TRUE(rewritten);
    EXPECT_EQ(rewritten->name, "AU(111)");
    EXPECT_EQ(rewritten->length2, 2.8837);
    EXPECT_EQ(rewritten->Notes, "new");
    EXPECT_EQ(find(TableKind::Substrate, "Ag(111)")->length1, 2.89);
}

TEST_F(StoreTest, PutOverwritesCaseInsensitiveMatchAndAddsOtherwise) {
    ASSERT_EQ(store.put(TableKind::Overlayer, lattice("PTCDA", 19.91, 11.96, 90, "bulk")).value,
              PutOutcome::Added);
    DbResult<PutOutcome> again = store.put(TableKind::Overlayer, lattice("ptcda", 18.96, 12.61, 89),
                                           NotesOnOverwrite::KeepStored);
    ASSERT_TRUE(again.ok()) << again.error;
    EXPECT_EQ(again.value, PutOutcome::Replaced);
    const std::optional<StructureRecord> stored = find(TableKind::Overlayer, "PTCDA");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->name, "ptcda");
    EXPECT_EQ(stored->length1, 18.96);
    EXPECT_EQ(stored->Notes, "bulk");  // kept
    EXPECT_EQ(names(TableKind::Overlayer).size(), 1u);

    ASSERT_TRUE(store.put(TableKind::Overlayer, lattice("PTCDA", 1, 2, 3)).ok());
    EXPECT_FALSE(find(TableKind::Overlayer, "PTCDA")->Notes);  // replaced by null
    // The same name in the other table is another record.
    EXPECT_FALSE(find(TableKind::Substrate, "PTCDA"));
}

// Names that hold quotes, SQL and the pattern characters of LIKE and of the Access engine.
const std::vector<std::string> kAwkwardNames = {
    "Si(111) 7x7 'DAS'",
    "Ag[110]",
    "A%",
    "A_",
    "AB",
    "Ax",
    "A*",
    "A?",
    "A#",
    "A[B]",
    "\"quoted\"",
    "'; DROP TABLE Substrate; --",
    "100%",
    "a\\b",
    "A",
};

TEST_F(StoreTest, NamesWithQuotesAndPatternCharactersAreStoredAndFoundExactly) {
    for (std::size_t i = 0; i < kAwkwardNames.size(); ++i) {
        add(TableKind::Substrate, lattice(kAwkwardNames[i], 1.0 + i, 2, 90));
    }
    for (std::size_t i = 0; i < kAwkwardNames.size(); ++i) {
        const std::optional<StructureRecord> found = find(TableKind::Substrate, kAwkwardNames[i]);
        ASSERT_TRUE(found) << kAwkwardNames[i];
        EXPECT_EQ(found->name, kAwkwardNames[i]);
        EXPECT_EQ(found->length1, 1.0 + i) << kAwkwardNames[i];
    }
    // Patterns never match other names.
    EXPECT_FALSE(find(TableKind::Substrate, "A%B"));
    EXPECT_FALSE(find(TableKind::Substrate, "%"));
    EXPECT_FALSE(find(TableKind::Substrate, "Si(111)%"));
    EXPECT_FALSE(find(TableKind::Substrate, "Ag[1]10]"));
    EXPECT_EQ(names(TableKind::Substrate).size(), kAwkwardNames.size());
}

TEST_F(StoreTest, OverwriteAndRemoveOfAwkwardNamesTouchNoOtherRecord) {
    for (std::size_t i = 0; i < kAwkwardNames.size(); ++i) {
        add(TableKind::Overlayer, lattice(kAwkwardNames[i], 1.0 + i, 2, 90));
    }
    ASSERT_TRUE(store.put(TableKind::Overlayer, lattice("si(111) 7X7 'das'", 26.6, 26.6, 60)).ok());
    DbResult<bool> removed = store.removeFirst(TableKind::Overlayer, "A_");
    ASSERT_TRUE(removed.ok()) << removed.error;
    EXPECT_TRUE(removed.value);
    removed = store.removeFirst(TableKind::Overlayer, "Ag[110]");
    EXPECT_TRUE(removed.value);
    removed = store.removeFirst(TableKind::Overlayer, "%");
    EXPECT_FALSE(removed.value);

    DbResult<std::vector<StructureRecord>> all = store.records(TableKind::Overlayer);
    ASSERT_TRUE(all.ok()) << all.error;
    ASSERT_EQ(all.value.size(), kAwkwardNames.size() - 2);
    for (const StructureRecord& record : all.value) {
        EXPECT_NE(record.name, "A_");
        EXPECT_NE(record.name, "Ag[110]");
        if (record.name == "si(111) 7X7 'das'") {
            EXPECT_EQ(record.length1, 26.6);
            continue;
        }
        // Every other record keeps the values it was stored with.
        const auto index = std::find(kAwkwardNames.begin(), kAwkwardNames.end(), record.name) -
                           kAwkwardNames.begin();
        ASSERT_LT(static_cast<std::size_t>(index), kAwkwardNames.size()) << record.name;
        EXPECT_EQ(record.length1, 1.0 + index) << record.name;
    }
}

TEST_F(StoreTest, OnlyAsciiLettersFoldAndTrailingBlanksCount) {
    add(TableKind::Substrate, lattice("\xC3\x85ngstr\xC3\xB6m", 1, 1, 90));  // Ångström
    EXPECT_TRUE(find(TableKind::Substrate, "\xC3\x85NGSTR\xC3\xB6M"));
    EXPECT_FALSE(find(TableKind::Substrate, "\xC3\xA5ngstr\xC3\xB6m"));  // å is another letter
    add(TableKind::Substrate, lattice("Cu(100)", 2.55, 2.55, 90));
    EXPECT_FALSE(find(TableKind::Substrate, "Cu(100) "));
    EXPECT_FALSE(find(TableKind::Substrate, " Cu(100)"));
}

TEST_F(StoreTest, FindFirstTakesTheEarliestOfDuplicatesAndRemoveOnlyThatOne) {
    add(TableKind::Substrate, lattice("Ni(111)", 1, 1, 60));
    add(TableKind::Substrate, lattice("NI(111)", 2, 2, 60));
    EXPECT_EQ(find(TableKind::Substrate, "ni(111)")->length1, 1);
    ASSERT_TRUE(store.removeFirst(TableKind::Substrate, "ni(111)").value);
    EXPECT_EQ(find(TableKind::Substrate, "ni(111)")->length1, 2);
}

TEST_F(StoreTest, NamesAreSortedIgnoringLetterCaseAndRecordsKeepTableOrder) {
    for (const char* name : {"graphene", "PTCDA", "C60", "ag", "Au", "pentacene", "NTCDA"}) {
        add(TableKind::Overlayer, lattice(name, 1, 1, 90));
    }
    EXPECT_EQ(
        names(TableKind::Overlayer),
        (std::vector<std::string>{"ag", "Au", "C60", "graphene", "NTCDA", "pentacene", "PTCDA"}));
    DbResult<std::vector<StructureRecord>> inTableOrder = store.records(TableKind::Overlayer);
    ASSERT_TRUE(inTableOrder.ok());
    EXPECT_EQ(inTableOrder.value.front().name, "graphene");
    DbResult<std::vector<StructureRecord>> byName =
        store.records(TableKind::Overlayer, RecordOrder::Name);
    EXPECT_EQ(byName.value.back().name, "PTCDA");
}

TEST_F(StoreTest, WritesToARecordThatIsGoneFailAndChangeNothing) {
    add(TableKind::Substrate, lattice("Pt(111)", 2.77, 2.77, 60));
    const StructureRecord stored = *find(TableKind::Substrate, "Pt(111)");
    ASSERT_TRUE(store.remove(TableKind::Substrate, stored.rowId).ok());
    const DbStatus replaced = store.replace(TableKind::Substrate, stored.rowId, stored);
    EXPECT_FALSE(replaced.ok());
    EXPECT_NE(replaced.error.find("no longer in the database"), std::string::npos);
    EXPECT_FALSE(store.remove(TableKind::Substrate, stored.rowId).ok());
    EXPECT_TRUE(names(TableKind::Substrate).empty());
}

TEST_F(StoreTest, NullNotesShowEmptyForSubstrateAndOneBlankForOverlayerAndSaveAsShown) {
    add(TableKind::Substrate, lattice("Cu(110)", 2.55, 3.61, 90));
    add(TableKind::Overlayer, lattice("C60", 10.02, 10.02, 60));
    for (const TableKind kind : {TableKind::Substrate, TableKind::Overlayer}) {
        StructureRecord record = *find(kind, kind == TableKind::Substrate ? "Cu(110)" : "C60");
        ASSERT_FALSE(record.Notes);
        const std::string shown = notesForDisplay(kind, record.Notes);
        EXPECT_EQ(shown, kind == TableKind::Substrate ? "" : " ");
        record.Notes = shown;
        ASSERT_TRUE(store.replace(kind, record.rowId, record).ok());
        EXPECT_EQ(find(kind, record.name)->Notes, shown);
    }
    EXPECT_EQ(notesForDisplay(TableKind::Overlayer, std::string("text")), "text");
}

TEST(StoreClosed, EveryOperationSaysNoDatabaseIsOpen) {
    StructureStore closed;
    EXPECT_FALSE(closed.isOpen());
    EXPECT_EQ(closed.names(TableKind::Substrate).error, "No structure database is open.");
    EXPECT_EQ(closed.findFirst(TableKind::Overlayer, "x").error, "No structure database is open.");
    EXPECT_FALSE(closed.put(TableKind::Substrate, lattice("x", 1, 1, 90)).ok());
    EXPECT_FALSE(closed.removeFirst(TableKind::Substrate, "x").ok());
}

TEST(CreateEmpty, RefusesAnExistingFileUnlessAskedToReplaceIt) {
    TempFolder folder;
    const auto file = folder / "mine.sqlite";
    testing::writeBytes(file, "my thesis");
    DbResult<StructureStore> refused = StructureStore::createEmpty(file);
    EXPECT_FALSE(refused.ok());
    EXPECT_NE(refused.error.find("already exists"), std::string::npos);
    EXPECT_EQ(testing::readBytes(file), "my thesis");

    DbResult<StructureStore> replaced = StructureStore::createEmpty(file, true);
    ASSERT_TRUE(replaced.ok()) << replaced.error;
    EXPECT_TRUE(replaced.value.names(TableKind::Substrate).value.empty());
    EXPECT_TRUE(replaced.value.names(TableKind::Overlayer).value.empty());
    // Nothing but the database is left in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(FieldTexts, PickShowsThePlainFormOfTheStoredNumbers) {
    const LatticeFieldTexts texts = fieldTextsOf(lattice("Au(111)", 2.8836, 2.8836, 60));
    EXPECT_EQ(texts.name, "Au(111)");
    EXPECT_EQ(texts.length1, "2.8836");
    EXPECT_EQ(texts.angle, "60");
    EXPECT_EQ(fieldTextsOf(lattice("x", 0.5, 3.14159265358979, -120)).length1, ".5");
    EXPECT_EQ(fieldTextsOf(lattice("x", 0.5, 3.14159265358979, -120)).length2, "3.14159265358979");
}

TEST(FieldTexts, RecordFromTextsAppliesTheFieldRulesAndNamesTheField) {
    const StructureRecord ok =
        recordFromTexts(TableKind::Overlayer, "PTCDA", "19.91", " 11.96 ", "-359.9", "x");
    EXPECT_EQ(ok.length2, 11.96);
    EXPECT_EQ(ok.angle, -359.9);
    const auto fieldOf = [](auto call) {
        try {
            call();
        } catch (const numbers::InputError& e) {
            return e.field();
        }
        return std::string("(accepted)");
    };
    EXPECT_EQ(
        fieldOf([] { (void)recordFromTexts(TableKind::Substrate, "x", "abc", "1", "90", {}); }),
        "a1");
    EXPECT_EQ(fieldOf([] { (void)recordFromTexts(TableKind::Overlayer, "x", "1", "", "90", {}); }),
              "b2");
    EXPECT_EQ(
        fieldOf([] { (void)recordFromTexts(TableKind::Substrate, "x", "1", "1", "360", {}); }),
        "alpha");
    EXPECT_EQ(
        fieldOf([] { (void)recordFromTexts(TableKind::Overlayer, "x", "1", "1", "-360", {}); }),
        "beta");
    EXPECT_EQ(fieldOf([] { (void)recordFromTexts(TableKind::Overlayer, "", "1", "1", "90", {}); }),
              "name");
}

}  // namespace
}  // namespace lamivex::database
