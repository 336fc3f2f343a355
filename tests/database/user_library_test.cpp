// The user's own library: made from the starter database on first use, found by the command
// line without a FILE, and never the installed starter database itself.

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "database/structure_store.h"
#include "database/user_library.h"
#include "temp_folder.h"

namespace lamivex::database {
namespace {

using testing::TempFolder;

// XDG_DATA_HOME pointed at a scratch folder for one test, in this process and the programs
// it starts.
class UserLibraryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* saved = std::getenv("XDG_DATA_HOME");
        m_saved = saved != nullptr ? std::optional<std::string>(saved) : std::nullopt;
        ::setenv("XDG_DATA_HOME", folder.path().c_str(), 1);
    }
    void TearDown() override {
        if (m_saved) {
            ::setenv("XDG_DATA_HOME", m_saved->c_str(), 1);
        } else {
            ::unsetenv("XDG_DATA_HOME");
        }
    }
    TempFolder folder;
    std::filesystem::path library = folder / "lamivex/structures.sqlite";

  private:
    std::optional<std::string> m_saved;
};

int runCli(const std::vector<std::string>& arguments) {
    std::vector<std::string> args = {LAMIVEX_CLI};
    args.insert(args.end(), arguments.begin(), arguments.end());
    const pid_t child = fork();
    if (child == 0) {
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        freopen("/dev/null", "w", stdout);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(UserLibraryTest, IsCopiedFromTheStarterOnceAndKeptAfterwards) {
    EXPECT_EQ(userLibraryPath(), library);
    const DbResult<std::filesystem::path> made = ensureUserLibrary(LAMIVEX_STARTER_DB);
    ASSERT_TRUE(made.ok()) << made.error;
    EXPECT_EQ(made.value, library);
    EXPECT_EQ(testing::readBytes(library), testing::readBytes(LAMIVEX_STARTER_DB));
    EXPECT_FALSE(isStarterDatabase(library, LAMIVEX_STARTER_DB));
    EXPECT_TRUE(isStarterDatabase(LAMIVEX_STARTER_DB, LAMIVEX_STARTER_DB));

    testing::writeBytes(library, "the user's own data");  // not copied over a second time
    EXPECT_TRUE(ensureUserLibrary(LAMIVEX_STARTER_DB).ok());
    EXPECT_EQ(testing::readBytes(library), "the user's own data");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(library.parent_path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(UserLibraryTest, CommandLineWithoutAFileUsesItAndLeavesTheStarterAlone) {
    const std::string starterBefore = testing::readBytes(LAMIVEX_STARTER_DB);
    EXPECT_EQ(runCli({"db", "put-substrate", "Mine(100)", "3.6", "3.6", "90"}), 0);
    EXPECT_EQ(runCli({"db", "show", "Mine(100)"}), 0);
    EXPECT_EQ(runCli({"scan", "--substrate-from", "Mine(100)", "--upper", "1"}), 0);
    EXPECT_EQ(runCli({"scan", "--substrate-from", "Au(111)", "--upper", "1"}), 0);  // copied
    EXPECT_EQ(runCli({"db", "create"}), 2);  // names its file
    DbResult<StructureStore> mine = StructureStore::open(library);
    ASSERT_TRUE(mine.ok()) << mine.error;
    EXPECT_TRUE(mine.value.findFirst(TableKind::Substrate, "Mine(100)").value.has_value());
    EXPECT_EQ(testing::readBytes(LAMIVEX_STARTER_DB), starterBefore);
}

}  // namespace
}  // namespace lamivex::database
