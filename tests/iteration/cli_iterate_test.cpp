// lamivex-cli iterate run as a user runs it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "run_command.h"

namespace lamivex::testing {
namespace {

const std::vector<std::string> kElevenCubed = {"iterate",    "--b1-range",   "9.5:10.5:0.1",
                                               "--b2-range", "9.5:10.5:0.1", "--beta-range",
                                               "85:95:1",    "--json"};

std::vector<std::string> with(std::vector<std::string> args, const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

int occurrences(const std::string& text, const std::string& what) {
    int count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

TEST(CliIterate, ElevenCubedRunIsTheSameOnOneThread) {
    const CommandResult all = runCli(kElevenCubed);
    ASSERT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(all.out.rfind("{\"match_count\":", 0), 0u);
    const int matches = std::stoi(all.out.substr(std::string("{\"match_count\":").size()));
    EXPECT_GT(matches, 0);
    EXPECT_NE(all.out.find("\"stopped\":\"complete\""), std::string::npos);
    EXPECT_EQ(occurrences(all.out, "\"area\":"), matches);
    // Each record has ten fields: nine tabs, written \t in JSON.
    EXPECT_EQ(occurrences(all.out, "\\t"), 9 * matches);
    // 0..60 degrees: 62 bins for the hits and for the geometric hits.
    EXPECT_NE(all.out.find("\"histogram\":{\"low\":0,\"high\":60,\"hits\":["), std::string::npos);

    const CommandResult one = runCli(with(kElevenCubed, {"--threads", "1"}));
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(one.out, all.out);
}

TEST(CliIterate, TextOutputShowsTheMessageAndTheTable) {
    const CommandResult result = runCli({"iterate", "--iterate", "substrate", "--rigid",
                                         "--a2-range", "9.9:10.1:0.1", "--m", "3", "--n", "3"});
    ASSERT_EQ(result.status, 0) << result.err;
    std::istringstream lines(result.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "Iterations complete. Match count = 3");
    std::getline(lines, line);
    EXPECT_EQ(line.find("Match"), 0u);
    EXPECT_NE(line.find("a1"), std::string::npos);
    EXPECT_NE(line.find("alpha"), std::string::npos);
    int rows = 0;
    while (std::getline(lines, line)) {
        ++rows;
    }
    EXPECT_EQ(rows, 3);
}

TEST(CliIterate, WritesTheDataFile) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "lamivex-cli-iterate-test.dat";
    const CommandResult result = runCli({"iterate", "--b1-range", "9.8:10.2:0.1", "--criterion",
                                         "0.9", "--dat", path.string(), "--json"});
    ASSERT_EQ(result.status, 0) << result.err;
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::filesystem::remove(path);
    const int matches = std::stoi(result.out.substr(std::string("{\"match_count\":").size()));
    EXPECT_EQ(text.str().rfind("Lamivex Version 5.0\r\nEpitaxy Calculation\r\n", 0), 0u);
    EXPECT_NE(text.str().find("\r\n  b1 range :   9.80 -  10.20 Angstroms\r\nAngle\t"),
              std::string::npos);
    // Header lines, the range line and the heading, then one line per match.
    EXPECT_EQ(occurrences(text.str(), "\r\n"), 16 + matches);
}

TEST(CliIterate, BadInputIsOneLineNamingTheOption) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--b1-range", "9:11"}, "--b1-range"},
        {{"--b1-range", "9:11:0"}, "--b1-range"},
        {{"--beta-range", "80:x:1"}, "--beta-range"},
        {{"--a1-range", "2:3:0.1"}, "--a1-range"},  // not iterated in an overlayer run
        {{"--threads", "0"}, "--threads"},
        {{"--fix", "b1,gamma"}, "--fix"},
        {{"--iterate", "sideways"}, "--iterate"},
        {{"--rigid"}, "--rigid"},
        {{"--criterion", "low"}, "--criterion"},
        {{"--b1-range", "1:3000:1", "--b2-range", "1:3000:1", "--beta-range", "1:3:1"},
         "--b1-range"},
        {{"--b1-range", "9:11:1", "--spacing", "0"}, "--spacing"},
        {{"--b1-range", "9:11:1", "--dat", "/nonexistent-folder/x.dat"}, "--dat"},
    };
    for (const auto& [args, option] : cases) {
        const CommandResult result = runCli(with({"iterate"}, args));
        EXPECT_EQ(result.status, 2) << option;
        EXPECT_EQ(occurrences(result.err, "\n"), 1) << result.err;
        EXPECT_EQ(result.err.rfind("lamivex-cli iterate: " + option + ": ", 0), 0u) << result.err;
        EXPECT_TRUE(result.out.empty()) << result.out;
    }
}

}  // namespace
}  // namespace lamivex::testing
