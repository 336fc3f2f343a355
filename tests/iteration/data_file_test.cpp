// The iteration data file. The golden file was written by hand from the line table of the
// data file format, not by this writer. To update it, edit
// tests/iteration/golden/overlayer_b2_fixed.dat by hand (lines end with CR LF) and check
// every changed line against the format; never copy the writer's output over it.

#include "output/iteration_data_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "iteration/completed_iteration.h"
#include "iteration_test_support.h"

namespace lamivex::iteration {
namespace {

using testing::allFixed;
using testing::captured;
using testing::range;

std::string readWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A finished run holding three records, as the data file's inputs point into it.
const CompletedIteration& threeRecords() {
    static const CompletedIteration run = [] {
        CompletedIteration r;
        r.MatchRecords = {
            "12.50\t0.42\t12.30\t19.30\t118.00\t4.71\t0.99\t-1.23\t7.45\t209.56",
            "-3.25\t0.57\t12.60\t19.30\t120.50\t4.93\t-0.28\t0.34\t7.55\t209.56",
            "0.00\t1.00\t12.70\t19.30\t121.00\t4.97\t0.00\t0.00\t7.55\t210.10",
        };
        r.MatchCount = 3;
        return r;
    }();
    return run;
}
const CompletedIteration kNoMatches;

output::IterationDataInputs overlayerInputs() {
    engine::MainFieldTexts fields;
    fields.SubName = "Cu(100)";
    fields.a1 = "2.556";
    fields.a2 = "2.556";
    fields.alpha = "90";
    fields.OverName = "PTCDA";
    fields.b1 = "12.45";
    fields.b2 = "19.3";
    fields.beta = "120";
    IterationWindowFields window;
    window.row(Constant::b2).fixed = true;
    IterationRanges ranges;
    ranges[Constant::b1] = {12.2F, 12.7F, 0.1F};
    ranges[Constant::b2] = {19.3F, 0, 0};
    ranges[Constant::beta] = {118, 121, 0.5F};
    ranges[Constant::a1] = {2, 3, 0.1F};  // not iterated: no line
    return dataFileInputs(threeRecords(), fields, window, ranges, {2024, 3, 5});
}

class DataFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_folder = std::filesystem::temp_directory_path() /
                   ("lamivex-iteration-" +
                    std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_folder);
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    std::filesystem::path m_folder;
};

TEST_F(DataFileTest, OverlayerRunMatchesTheHandCheckedFile) {
    std::ostringstream out;
    output::writeIterationData(out, overlayerInputs());
    EXPECT_EQ(out.str(), readWhole(LAMIVEX_ITERATION_GOLDEN_DIR "/overlayer_b2_fixed.dat"));
}

TEST_F(DataFileTest, SavedFileIsTheWrittenText) {
    const std::filesystem::path target = m_folder / "run.dat";
    std::ofstream(target) << "an older file";
    const output::SaveResult saved = output::saveIterationData(target, overlayerInputs());
    ASSERT_TRUE(saved.ok) << saved.error;
    std::ostringstream out;
    output::writeIterationData(out, overlayerInputs());
    EXPECT_EQ(readWhole(target), out.str());
    // Nothing but the file itself is left in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_folder),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(DataFileTest, FailedSaveSaysWhyAndWritesNothing) {
    const output::SaveResult saved =
        output::saveIterationData(m_folder / "missing" / "run.dat", overlayerInputs());
    EXPECT_FALSE(saved.ok);
    EXPECT_FALSE(saved.error.empty());
    EXPECT_FALSE(std::filesystem::exists(m_folder / "missing"));
}

TEST(DataFileLines, SubstrateRunListsSubstrateRangesAndHeading) {
    engine::MainFieldTexts fields;
    fields.hexagonal = true;
    IterationWindowFields window = allFixed(false);
    window.row(Constant::a1).fixed = false;
    window.row(Constant::alpha).fixed = false;
    IterationRanges ranges;
    ranges[Constant::a1] = {2.5F, 2.75F, 0.05F};
    ranges[Constant::alpha] = {-1000, 1000, 10};  // wider than six characters: kept whole
    const std::vector<std::string> lines = output::iterationDataHeaderLines(
        dataFileInputs(kNoMatches, fields, window, ranges, {2001, 12, 31}));
    ASSERT_EQ(lines.size(), 17u);
    EXPECT_EQ(lines[3], "01/12/31");
    EXPECT_EQ(lines[8], "         Hexagonal substrate symmetry");
    EXPECT_EQ(lines[14], "  a1 range :   2.50 -   2.75 Angstroms");
    EXPECT_EQ(lines[15], "alpha range : -1000.00 - 1000.00 degrees");
    EXPECT_EQ(lines[16], "Angle\tV/Vo\t  a1\t  a2\talpha\t m11\t m12\t m21\tm22\tArea");
}

TEST(DataFileLines, RunWithoutMatchesHasHeaderAndHeadingOnly) {
    IterationWindowFields window = allFixed();
    std::ostringstream out;
    output::writeIterationData(out, dataFileInputs(kNoMatches, {}, window, {}, {1999, 7, 5}));
    const std::string text = out.str();
    EXPECT_EQ(text.substr(text.size() - 6), "Area\r\n");
    EXPECT_NE(text.find(" Iteration Parameters \r\nAngle\t"), std::string::npos);
}

TEST(DataFileLines, RecordsOfARunAreWrittenAsStored) {
    const engine::CapturedRun capture = captured([](engine::MainFieldTexts& f) {
        f.b1size = "2";
        f.b2size = "2";
        f.AngleSpacing = "5";
    });
    IterationWindowFields window = allFixed();
    range(window, Constant::b1, "9", "11", "0.5");
    window.itercrit = "1.1";
    engine::BestOrientation best;
    const CompletedIteration result = runIteration(planIteration(capture, window), best, {}, 2);
    ASSERT_EQ(result.MatchCount, 5);
    std::ostringstream out;
    output::writeIterationData(
        out, dataFileInputs(result, result.restoredFields, window, result.ranges, {2024, 1, 1}));
    const std::string text = out.str();
    std::string expectedTail;
    for (const std::string& record : result.MatchRecords) {
        expectedTail += record + "\r\n";
    }
    ASSERT_GE(text.size(), expectedTail.size());
    EXPECT_EQ(text.substr(text.size() - expectedTail.size()), expectedTail);
    EXPECT_NE(text.find("\r\n  b1 range :   9.00 -  11.00 Angstroms\r\nAngle\t"),
              std::string::npos);
    EXPECT_NE(text.find("\r\n  b1   =  10.00 Angstroms\r\n"), std::string::npos);
}

}  // namespace
}  // namespace lamivex::iteration
