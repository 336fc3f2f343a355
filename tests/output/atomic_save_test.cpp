#include "output/atomic_save.h"
#include "output/save_target.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <fmt/format.h>

namespace lamivex::output {
namespace {

namespace fs = std::filesystem;

class AtomicSaveTest : public ::testing::Test {
  protected:
    // A death test's child runs SetUp again in a process of its own: it must save into the
    // folder the parent then looks at, and leave no folder of its own behind.
    static constexpr const char* kFolderVariable = "LAMIVEX_ATOMIC_SAVE_TEST_DIR";

    void SetUp() override {
        if (const char* inherited = std::getenv(kFolderVariable)) {
            m_dir = inherited;
            return;
        }
        m_dir = fs::temp_directory_path() /
                ("lamivex-save-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        ::setenv(kFolderVariable, m_dir.c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv(kFolderVariable);
        fs::remove_all(m_dir);
    }

    static std::string contents(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    [[nodiscard]] std::size_t filesInFolder() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()));
    }

    fs::path m_dir;
};

TEST_F(AtomicSaveTest, WritesAndReplacesWithoutLeavingTemporaries) {
    const fs::path target = m_dir / "run.epi";
    ASSERT_TRUE(saveAtomically(target, [](std::ostream& out) { out << "first\r\n"; }).ok);
    ASSERT_TRUE(saveAtomically(target, [](std::ostream& out) { out << "second\r\n"; }).ok);
    EXPECT_EQ(contents(target), "second\r\n");
    EXPECT_EQ(filesInFolder(), 1U);
}

TEST_F(AtomicSaveTest, FailedWriteKeepsTheOldFileAndSaysWhy) {
    const fs::path target = m_dir / "run.epi";
    ASSERT_TRUE(saveAtomically(target, [](std::ostream& out) { out << "kept"; }).ok);
    const SaveResult failed = saveAtomically(target, [](std::ostream& out) {
        out << "half";
        out.setstate(std::ios::badbit);  // as a full disk would
    });
    EXPECT_FALSE(failed.ok);
    EXPECT_FALSE(failed.error.empty());
    EXPECT_EQ(contents(target), "kept");
    EXPECT_EQ(filesInFolder(), 1U);
}

TEST_F(AtomicSaveTest, MissingFolderIsAnErrorNotAFile) {
    const SaveResult failed =
        saveAtomically(m_dir / "no" / "such" / "run.epi", [](std::ostream& out) { out << "x"; });
    EXPECT_FALSE(failed.ok);
    EXPECT_NE(failed.error.find("Cannot write"), std::string::npos) << failed.error;
    EXPECT_FALSE(fs::exists(m_dir / "no"));
}

TEST_F(AtomicSaveTest, FolderAsTargetIsRefused) {
    fs::create_directory(m_dir / "sub");
    const SaveResult failed = saveAtomically(m_dir / "sub", [](std::ostream& out) { out << "x"; });
    EXPECT_FALSE(failed.ok);
    EXPECT_TRUE(fs::is_directory(m_dir / "sub"));
    EXPECT_EQ(filesInFolder(), 1U);
}

TEST_F(AtomicSaveTest, SymbolicLinksAreWrittenThroughToTheFileTheyName) {
    fs::create_directory(m_dir / "data");
    { std::ofstream(m_dir / "data" / "real.epi") << "old"; }
    fs::create_symlink("data/real.epi", m_dir / "link.epi");  // relative, existing file
    fs::create_symlink(m_dir / "data" / "new.epi", m_dir / "new-link.epi");  // dangling
    ASSERT_TRUE(saveAtomically(m_dir / "link.epi", [](std::ostream& out) { out << "new"; }).ok);
    ASSERT_TRUE(saveAtomically(m_dir / "new-link.epi", [](std::ostream& out) { out << "x"; }).ok);
    EXPECT_TRUE(fs::is_symlink(m_dir / "link.epi"));
    EXPECT_TRUE(fs::is_symlink(m_dir / "new-link.epi"));
    EXPECT_EQ(contents(m_dir / "data" / "real.epi"), "new");
    EXPECT_EQ(contents(m_dir / "data" / "new.epi"), "x");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir / "data"), fs::directory_iterator()), 2);
}

TEST_F(AtomicSaveTest, TargetsThatAreNotRegularFilesAreRefusedAndLeftAlone) {
    ASSERT_EQ(::mkfifo((m_dir / "pipe").c_str(), 0600), 0);
    fs::create_directory(m_dir / "folder");
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = (m_dir / "socket").string();
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    fs::create_symlink("pipe", m_dir / "link-to-pipe");

    const struct {
        const char* name;
        const char* says;
        fs::file_type stays;
    } kCases[] = {{"pipe", "a named pipe", fs::file_type::fifo},
                  {"folder", "a folder", fs::file_type::directory},
                  {"socket", "a socket", fs::file_type::socket},
                  {"link-to-pipe", "a named pipe", fs::file_type::fifo}};
    for (const auto& c : kCases) {
        const SaveResult refused =
            saveAtomically(m_dir / c.name, [](std::ostream& out) { out << "x"; });
        EXPECT_FALSE(refused.ok) << c.name;
        EXPECT_NE(refused.error.find(c.says), std::string::npos) << refused.error;
        EXPECT_EQ(checkSaveTarget(m_dir / c.name).error, refused.error);
        EXPECT_EQ(fs::status(m_dir / c.name).type(), c.stays) << c.name;
    }
    ::close(sock);
    EXPECT_EQ(filesInFolder(), 4U);
}

TEST_F(AtomicSaveTest, ReplacedFileKeepsItsPermissions) {
    for (const mode_t mode : {0600, 0640, 0755}) {
        const fs::path target = m_dir / fmt::format("run-{:o}.epi", mode);
        { std::ofstream(target) << "old"; }
        ASSERT_EQ(::chmod(target.c_str(), mode), 0);
        ASSERT_TRUE(saveAtomically(target, [](std::ostream& out) { out << "new"; }).ok);
        struct stat st {};
        ASSERT_EQ(::stat(target.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, mode);
        EXPECT_EQ(contents(target), "new");
    }
}

TEST_F(AtomicSaveTest, WriterThatThrowsLeavesTheOldFileAndNoTemporary) {
    const fs::path target = m_dir / "run.epi";
    ASSERT_TRUE(saveAtomically(target, [](std::ostream& out) { out << "kept"; }).ok);
    EXPECT_THROW((void)saveAtomically(target,
                                      [](std::ostream& out) {
                                          out << std::string(100000, 'x');
                                          throw std::runtime_error("writer failed");
                                      }),
                 std::runtime_error);
    EXPECT_EQ(contents(target), "kept");
    EXPECT_EQ(filesInFolder(), 1U);
}

TEST_F(AtomicSaveTest, SignalDuringTheSaveRemovesTheTemporary) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const fs::path target = m_dir / "run.epi";
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        EXPECT_EXIT(
            {
                (void)saveAtomically(target, [signal](std::ostream& out) {
                    out << std::string(100000, 'x') << std::flush;
                    ::raise(signal);
                });
                std::_Exit(0);
            },
            ::testing::KilledBySignal(signal), "");
        EXPECT_EQ(filesInFolder(), 0U) << strsignal(signal);
    }
}

TEST_F(AtomicSaveTest, OnlyStrayTemporariesOfTheSameTargetFromEndedProcessesAreRemoved) {
    const pid_t ended = ::fork();
    if (ended == 0) {
        std::_Exit(0);
    }
    ASSERT_GT(ended, 0);
    ASSERT_EQ(::waitpid(ended, nullptr, 0), ended);
    const struct {
        std::string name;
        bool removed;
    } kCases[] = {
        {fmt::format(".run.epi.lamivex.{}-3.tmp", ended), true},         // a killed save of run.epi
        {fmt::format(".run.epi.lamivex.{}-7.tmp", ::getppid()), false},  // may still finish
        {fmt::format(".other.epi.lamivex.{}-3.tmp", ended), false},      // another target's
        {".backup.2023-12.tmp", false},  // users' files that merely look like temporaries
        {".thesis.draft.1999-01.tmp", false},
        {fmt::format(".notes.{}-1.tmp", ended), false},
        {fmt::format(".run.epi.{}-3.tmp", ended), false},
        {fmt::format(".run.epi.lamivex.{}-3.tmp.bak", ended), false},
        {fmt::format(".run.epi.lamivex.{}-x3.tmp", ended), false},
        {".notes.tmp", false},
    };
    for (const auto& c : kCases) {
        std::ofstream(m_dir / c.name) << "left";
    }
    ASSERT_TRUE(saveAtomically(m_dir / "run.epi", [](std::ostream& out) { out << "x"; }).ok);
    for (const auto& c : kCases) {
        EXPECT_EQ(fs::exists(m_dir / c.name), !c.removed) << c.name;
    }
}

TEST_F(AtomicSaveTest, NamesUpToTheSystemLimitAreSaved) {
    for (const std::size_t length : {249U, 255U}) {
        const fs::path target = m_dir / (std::string(length - 4, 'r') + ".epi");
        const SaveResult saved = saveAtomically(target, [](std::ostream& out) { out << "x"; });
        EXPECT_TRUE(saved.ok) << length << ": " << saved.error;
        EXPECT_EQ(contents(target), "x");
    }
    EXPECT_EQ(filesInFolder(), 2U);
}

TEST_F(AtomicSaveTest, StrayTemporaryOfALongNameIsFoundByTheNextSave) {
    const pid_t ended = ::fork();
    if (ended == 0) {
        std::_Exit(0);
    }
    ASSERT_GT(ended, 0);
    ASSERT_EQ(::waitpid(ended, nullptr, 0), ended);
    const fs::path target = m_dir / (std::string(251, 'r') + ".epi");
    const long nameMax = ::pathconf(m_dir.c_str(), _PC_NAME_MAX);
    ASSERT_GT(nameMax, 0);
    const fs::path stray =
        detail::temporaryNameFor(target, ended, 4000000000U, static_cast<std::size_t>(nameMax));
    EXPECT_LE(stray.filename().string().size(), static_cast<std::size_t>(nameMax));
    std::ofstream(stray) << "left";
    ASSERT_TRUE(fs::exists(stray));
    ASSERT_TRUE(saveAtomically(target, [](std::ostream& out) { out << "x"; }).ok);
    EXPECT_EQ(filesInFolder(), 1U);
}

}  // namespace
}  // namespace lamivex::output
