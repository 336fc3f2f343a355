// The worked examples of the user manual, run as the manual shows them: every command in a
// "console" block must print what the manual says it prints.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "output_match.h"

namespace lamivex::testing {
namespace {

namespace fs = std::filesystem;

struct Example {
    int line = 0;  // where the command starts in the manual
    std::string command;
    std::vector<std::string> output;
};

// Reads the "$ " commands of every ```console block, with their shown output. A command
// line ending in a backslash continues on the next line.
std::vector<Example> examplesIn(const std::vector<std::string>& lines) {
    std::vector<Example> examples;
    bool inConsole = false;
    bool continued = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (!inConsole) {
            inConsole = line == "```console";
            continue;
        }
        if (line.rfind("```", 0) == 0) {
            inConsole = false;
            continue;
        }
        if (continued) {
            examples.back().command += "\n" + line;
        } else if (line.rfind("$ ", 0) == 0) {
            examples.push_back({static_cast<int>(i + 1), line.substr(2), {}});
        } else if (!examples.empty()) {
            examples.back().output.push_back(line);
            continue;
        }
        continued = !line.empty() && line.back() == '\\';
    }
    return examples;
}

struct ShellRun {
    int status = -1;
    std::string out;
};

// Runs one command through the shell, as a reader pastes it, in the examples' folder.
ShellRun runInShell(const fs::path& folder, const std::string& command) {
    const fs::path script = folder / "example.sh";
    {
        std::ofstream s(script);
        s << "cd '" << folder.string() << "' || exit 99\n"
          << "export PATH='" << LAMIVEX_BIN_DIR << "':\"$PATH\"\n"
          << command << "\n";
    }
    ShellRun run;
    FILE* pipe = popen(("sh '" + script.string() + "' 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.out.append(buffer, got);
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::vector<std::string> manualLines() {
    std::ifstream in(LAMIVEX_MANUAL);
    std::stringstream text;
    text << in.rdbuf();
    return splitLines(text.str());
}

class ManualExamples : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("lamivex-manual-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        // The manual's database examples run where the reader copied the starter database.
        fs::copy_file(LAMIVEX_STARTER_DB, folder / "structures.sqlite");
    }
    void TearDown() override { fs::remove_all(folder); }
    fs::path folder;
};

TEST_F(ManualExamples, EveryCommandPrintsWhatTheManualShows) {
    const std::vector<Example> examples = examplesIn(manualLines());
    ASSERT_GE(examples.size(), 10u) << "the manual at " << LAMIVEX_MANUAL << " lost its examples";
    for (const Example& example : examples) {
        SCOPED_TRACE("manual line " + std::to_string(example.line) + ": " + example.command);
        const ShellRun run = runInShell(folder, example.command);
        EXPECT_EQ(run.status, 0) << run.out;
        const std::string mismatch = outputMismatch(example.output, splitLines(run.out));
        EXPECT_TRUE(mismatch.empty()) << mismatch;
    }
}

TEST_F(ManualExamples, CoverEveryJobOfTheCommandLine) {
    const std::vector<Example> examples = examplesIn(manualLines());
    for (const char* job :
         {"lamivex-cli scan", "lamivex-cli iterate", "lamivex-cli crystal", "lamivex-cli db"}) {
        bool shown = false;
        bool asJson = false;
        for (const Example& example : examples) {
            if (example.command.rfind(job, 0) == 0) {
                shown = true;
                asJson = asJson || example.command.find("--json") != std::string::npos;
            }
        }
        EXPECT_TRUE(shown) << job;
        if (std::string(job) != "lamivex-cli db") {
            EXPECT_TRUE(asJson) << job << " --json";
        }
    }
}

// Every picture the manual shows lies beside it, and there is one of the main window drawn at
// double size.
TEST(ManualPictures, EveryPictureShownIsThere) {
    const fs::path folder = fs::path(LAMIVEX_MANUAL).parent_path();
    int pictures = 0;
    bool doubleSize = false;
    for (const std::string& line : manualLines()) {
        for (std::size_t at = line.find("]("); at != std::string::npos;
             at = line.find("](", at + 2)) {
            const std::size_t end = line.find(')', at);
            const std::string target = line.substr(at + 2, end - at - 2);
            if (target.rfind("images/", 0) != 0) {
                continue;
            }
            ++pictures;
            doubleSize = doubleSize || target == "images/scale2/MainForm.png";
            EXPECT_TRUE(fs::is_regular_file(folder / target)) << target;
        }
    }
    EXPECT_GE(pictures, 13);
    EXPECT_TRUE(doubleSize);
}

// The anchor of a heading as published Markdown names it (ASCII letters and digits kept,
// blanks become '-', the rest dropped); the manual's headings need no more.
std::string headingAnchor(const std::string& heading) {
    std::string anchor;
    for (const char c : heading) {
        if (std::isalnum(static_cast<unsigned char>(c)) != 0 && (c & 0x80) == 0) {
            anchor += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        } else if (c == '-' || c == '_') {
            anchor += c;
        } else if (c == ' ') {
            anchor += '-';
        }
    }
    return anchor;
}

TEST(ManualLinks, EveryLinkToASectionFindsIt) {
    std::vector<std::string> anchors;
    std::vector<std::string> links;
    for (const std::string& line : manualLines()) {
        if (line.rfind('#', 0) == 0) {
            anchors.push_back(headingAnchor(line.substr(line.find(' ') + 1)));
        }
        for (std::size_t at = line.find("](#"); at != std::string::npos;
             at = line.find("](#", at + 3)) {
            links.push_back(line.substr(at + 3, line.find(')', at) - at - 3));
        }
    }
    EXPECT_GE(links.size(), 8u);
    for (const std::string& link : links) {
        EXPECT_NE(std::find(anchors.begin(), anchors.end(), link), anchors.end()) << link;
    }
    EXPECT_EQ(headingAnchor("3. A coincidence (2×2) found"), "3-a-coincidence-22-found");
}

TEST(OutputMatch, RoundedFiguresMustBeExactAndFullPrecisionMayDrift) {
    EXPECT_TRUE(lineMatches("  V/Vo = -5.000E-01", "  V/Vo = -5.000E-01"));
    EXPECT_FALSE(lineMatches("  V/Vo = -5.000E-01", "  V/Vo = -4.999E-01"));
    EXPECT_FALSE(lineMatches("Orientation Angle = 30.00", "Orientation Angle = 30.0"));
    EXPECT_FALSE(lineMatches("m11 = 1.000E+00", "m11 =  1.000E+00"));
    EXPECT_TRUE(lineMatches(R"({"vvo":-0.4999922184853455})", R"({"vvo":-0.49999221848539})"));
    EXPECT_FALSE(lineMatches(R"({"vvo":-0.4999922184853455})", R"({"vvo":-0.4999922})"));
    EXPECT_FALSE(lineMatches(R"({"vvo":-0.4999922184853455})", R"({"vvo":-0.4999932184853455})"));
    EXPECT_FALSE(lineMatches(R"({"steps":121})", R"({"steps":121,"x":1})"));
}

TEST(OutputMatch, EllipsisSkipsLinesOrEndsALine) {
    const std::vector<std::string> printed = {"head", "a", "b", "c", "tail 42"};
    EXPECT_EQ(outputMismatch({"head", "...", "tail 42"}, printed), "");
    EXPECT_EQ(outputMismatch({"head", "..."}, printed), "");
    EXPECT_EQ(outputMismatch({"he...", "a", "b", "c", "tail..."}, printed), "");
    EXPECT_NE(outputMismatch({"head", "...", "tail 43"}, printed), "");
    EXPECT_NE(outputMismatch({"head", "a"}, printed), "");
    EXPECT_NE(outputMismatch({"head", "a", "b", "c", "tail 42", "more"}, printed), "");
    EXPECT_NE(outputMismatch({"x..."}, printed), "");
}

TEST(OutputMatch, ConsoleBlocksGiveCommandsWithTheirOutput) {
    const std::vector<Example> examples =
        examplesIn({"text", "```sh", "$ not run", "```", "```console", "$ first \\", "  --more",
                    "out 1", "out 2", "$ second", "```", "$ outside"});
    ASSERT_EQ(examples.size(), 2u);
    EXPECT_EQ(examples[0].command, "first \\\n  --more");
    EXPECT_EQ(examples[0].output, (std::vector<std::string>{"out 1", "out 2"}));
    EXPECT_EQ(examples[0].line, 6);
    EXPECT_EQ(examples[1].command, "second");
    EXPECT_TRUE(examples[1].output.empty());
}

}  // namespace
}  // namespace lamivex::testing
