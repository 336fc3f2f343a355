#include "output/atomic_save.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace lamivex::output {
namespace {

namespace fs = std::filesystem;

class AtomicSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("lamivex-save-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                 "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

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

}  // namespace
}  // namespace lamivex::output
