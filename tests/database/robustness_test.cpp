// Files the store must refuse, and writes interrupted by a killed process or a full disk.

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include <fmt/format.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "database/structure_store.h"
#include "temp_folder.h"

namespace lamivex::database {
namespace {

using testing::TempFolder;

StructureRecord lattice(std::string name, double l1, std::optional<std::string> notes = {}) {
    StructureRecord r;
    r.name = std::move(name);
    r.length1 = l1;
    r.length2 = l1 + 1;
    r.angle = 60;
    r.Notes = std::move(notes);
    return r;
}

std::string integrityCheck(const std::filesystem::path& file) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_stmt* stmt = nullptr;
    std::string result = "cannot check";
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW) {
        result = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return result;
}

std::string openError(const std::filesystem::path& file) {
    DbResult<StructureStore> opened = StructureStore::open(file);
    EXPECT_FALSE(opened.ok()) << file;
    return opened.error;
}

// A database of several pages, so that damage can hit a page that holds records.
std::filesystem::path filledDatabase(const TempFolder& folder, int records) {
    const auto file = folder / "filled.sqlite";
    DbResult<StructureStore> store = StructureStore::createEmpty(file);
    EXPECT_TRUE(store.ok()) << store.error;
    for (int i = 0; i < records; ++i) {
        EXPECT_TRUE(
            store.value
                .add(TableKind::Substrate, lattice(fmt::format("S{}", i), i, std::string(300, 'n')))
                .ok());
    }
    return file;
}

TEST(RefusedFiles, MissingFolderForeignAndEmptyFilesAreRefusedWithAClearMessage) {
    TempFolder folder;
    EXPECT_EQ(openError(folder / "none.sqlite"),
              fmt::format("{} does not exist.", (folder / "none.sqlite").string()));
    EXPECT_EQ(openError(folder.path()),
              fmt::format("{} is not a database file.", folder.path().string()));

    const auto text = folder / "notes.txt";
    testing::writeBytes(text, std::string(5000, 'x'));
    EXPECT_EQ(openError(text),
              fmt::format("{} is not a structure database (not a database file).", text.string()));
    EXPECT_EQ(testing::readBytes(text), std::string(5000, 'x'));  // opening never writes

    const auto empty = folder / "empty.sqlite";
    testing::writeBytes(empty, "");
    EXPECT_EQ(
        openError(empty),
        fmt::format("{} is not a structure database: it has no table Substrate.", empty.string()));
}

TEST(RefusedFiles, SqliteFilesWithoutTheTablesOrFieldsAreRefused) {
    TempFolder folder;
    const auto make = [&](const std::string& name, const char* schema) {
        const auto file = folder / name;
        sqlite3* db = nullptr;
        sqlite3_open(file.c_str(), &db);
        EXPECT_EQ(sqlite3_exec(db, schema, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        return file;
    };
    const auto noOverlayer =
        make("a.sqlite",
             "CREATE TABLE Substrate (Substrate TEXT, a1 REAL, a2 REAL, alpha REAL, Notes);");
    EXPECT_EQ(openError(noOverlayer),
              fmt::format("{} is not a structure database: it has no table Overlayer.",
                          noOverlayer.string()));
    const auto noNotes = make("b.sqlite",
                              "CREATE TABLE Substrate (Substrate TEXT, a1, a2, alpha);"
                              "CREATE TABLE Overlayer (Overlayer, b1, b2, beta, Notes);");
    EXPECT_EQ(openError(noNotes),
              fmt::format("{} is not a structure database: its table Substrate has no field "
                          "Notes.",
                          noNotes.string()));
    // Field names in another letter case and extra fields are fine.
    const auto other = make("c.sqlite",
                            "CREATE TABLE substrate (SUBSTRATE TEXT, A1, A2, ALPHA, notes, x);"
                            "CREATE TABLE Overlayer (Overlayer, b1, b2, beta, Notes);"
                            "INSERT INTO substrate VALUES ('Au(111)', 2.88, 2.88, 60, NULL, 7);");
    DbResult<StructureStore> opened = StructureStore::open(other);
    ASSERT_TRUE(opened.ok()) << opened.error;
    EXPECT_EQ(opened.value.findFirst(TableKind::Substrate, "au(111)").value->length1, 2.88);
}

TEST(RefusedFiles, DamagedAndTruncatedDatabasesAreRefused) {
    TempFolder folder;
    const auto file = filledDatabase(folder, 60);
    std::string bytes = testing::readBytes(file);
    ASSERT_GE(bytes.size(), 8u * 4096u);

    const auto truncated = folder / "truncated.sqlite";
    testing::writeBytes(truncated, bytes.substr(0, bytes.size() / 2));
    EXPECT_NE(openError(truncated).find("is damaged"), std::string::npos);

    // Garbage over the pages after the schema page: records and b-tree structure.
    for (std::size_t i = 4096; i < bytes.size(); i += 7) {
        bytes[i] = static_cast<char>(0xA5 ^ (i & 0xff));
    }
    const auto damaged = folder / "damaged.sqlite";
    testing::writeBytes(damaged, bytes);
    EXPECT_NE(openError(damaged).find("is damaged"), std::string::npos);
    // One readable line, not the integrity check's report on every damaged cell.
    const std::string message = openError(damaged);
    EXPECT_EQ(message.find('\n'), std::string::npos) << message;
    EXPECT_LT(message.size(), damaged.string().size() + 200) << message;
}

// Writes records in a loop in a child process, telling the parent each committed count,
// until the parent kills it.
TEST(InterruptedWrites, KillingTheWriterLeavesEveryCommittedRecordAndASoundFile) {
    TempFolder folder;
    const auto file = folder / "killed.sqlite";
    ASSERT_TRUE(StructureStore::createEmpty(file).ok());
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(pipeFds[0]);
        DbResult<StructureStore> store = StructureStore::open(file);
        // One growing record rewritten in place, and new records added.
        for (int i = 0;; ++i) {
            const char mark = static_cast<char>('a' + i % 26);
            if (!store.value
                     .put(TableKind::Overlayer, lattice("big", i, std::string(20000 + i, mark)))
                     .ok() ||
                !store.value.add(TableKind::Substrate, lattice(fmt::format("rec-{}", i), i)).ok()) {
                _exit(3);
            }
            if (write(pipeFds[1], &i, sizeof i) != sizeof i) {
                _exit(4);
            }
        }
    }
    close(pipeFds[1]);
    int committed = -1;
    int value = 0;
    while (committed < 40 && read(pipeFds[0], &value, sizeof value) == sizeof value) {
        committed = value;
    }
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    close(pipeFds[0]);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself";
    ASSERT_GE(committed, 40);

    DbResult<StructureStore> reopened = StructureStore::open(file);
    ASSERT_TRUE(reopened.ok()) << reopened.error;
    EXPECT_EQ(integrityCheck(file), "ok");
    for (int i = 0; i <= committed; ++i) {
        const auto found = reopened.value.findFirst(TableKind::Substrate, fmt::format("rec-{}", i));
        ASSERT_TRUE(found.ok() && found.value) << "rec-" << i;
        EXPECT_EQ(found.value->length1, i);
    }
    // The big record is whole: its value and its comments come from the same write.
    const auto big = reopened.value.findFirst(TableKind::Overlayer, "big");
    ASSERT_TRUE(big.ok() && big.value);
    const int version = static_cast<int>(big.value->length1);
    EXPECT_GE(version, committed);
    ASSERT_TRUE(big.value->Notes);
    EXPECT_EQ(*big.value->Notes,
              std::string(20000 + version, static_cast<char>('a' + version % 26)));
    EXPECT_LE(reopened.value.names(TableKind::Substrate).value.size(),
              static_cast<std::size_t>(committed) + 2);
}

// A file size limit makes the disk "full" for one child process only.
TEST(InterruptedWrites, AFullDiskRefusesTheWriteAndKeepsEarlierRecords) {
    TempFolder folder;
    const auto file = filledDatabase(folder, 5);
    const auto sizeBefore = std::filesystem::file_size(file);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{sizeBefore + 2048, sizeBefore + 2048};
        setrlimit(RLIMIT_FSIZE, &limit);
        DbResult<StructureStore> store = StructureStore::open(file);
        if (!store.ok()) {
            _exit(10);
        }
        const DbResult<PutOutcome> put =
            store.value.put(TableKind::Substrate, lattice("S1", 99, std::string(200000, 'z')));
        if (put.ok()) {
            _exit(11);
        }
        // The message tells the user nothing was saved.
        _exit(put.error.find("The database is unchanged.") != std::string::npos ? 0 : 12);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);

    EXPECT_EQ(integrityCheck(file), "ok");
    DbResult<StructureStore> reopened = StructureStore::open(file);
    ASSERT_TRUE(reopened.ok()) << reopened.error;
    const auto s1 = reopened.value.findFirst(TableKind::Substrate, "S1");
    ASSERT_TRUE(s1.value);
    EXPECT_EQ(s1.value->length1, 1);  // the old record, not the refused one
    EXPECT_EQ(s1.value->Notes, std::string(300, 'n'));
    EXPECT_EQ(reopened.value.names(TableKind::Substrate).value.size(), 5u);
}

}  // namespace
}  // namespace lamivex::database
