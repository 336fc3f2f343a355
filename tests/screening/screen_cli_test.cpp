// lamivex-cli screen and merge as a cluster would run them: shards merged, an interrupted run
// resumed and GNU parallel's job slots all give the bytes of one run; bad input is refused
// or reported in one line.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "run_command.h"

namespace lamivex::screening {
namespace {

namespace fs = std::filesystem;
using lamivex::testing::runCli;

// A screen of about a hundred pairs (the starter crystals' planes) that runs in a blink.
const std::vector<std::string> kScreen = {"screen",
                                          "--b1",
                                          "4.995",
                                          "--b2",
                                          "4.995",
                                          "--beta",
                                          "60",
                                          "--m",
                                          "10",
                                          "--n",
                                          "10",
                                          "--spacing",
                                          "0.5",
                                          "--max-multiple",
                                          "2",
                                          "--substrate-cif-dir",
                                          LAMIVEX_CRYSTALS_DIR,
                                          "--quiet"};

std::vector<std::string> with(std::vector<std::string> base, const std::vector<std::string>& more) {
    base.insert(base.end(), more.begin(), more.end());
    return base;
}

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::size_t lines(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

class ScreenCli : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("lamivex-screen-" + std::to_string(getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    [[nodiscard]] std::string at(const std::string& name) const { return (m_dir / name).string(); }

    // One unsplit run: its --json on standard output, its --csv and --jsonl files.
    struct Run {
        std::string json;
        std::string csv;
        std::string jsonl;
    };
    Run unsplit(const std::vector<std::string>& screen) {
        const auto done =
            runCli(with(screen, {"--json", "--csv", at("one.csv"), "--jsonl", at("one.jsonl")}));
        EXPECT_EQ(done.status, 0) << done.err;
        return {done.out, contents(at("one.csv")), contents(at("one.jsonl"))};
    }
    void expectMergeGives(const Run& one, std::vector<std::string> parts) {
        std::vector<std::string> merge = {"merge"};
        merge.insert(merge.end(), parts.begin(), parts.end());
        const auto merged =
            runCli(with(merge, {"--json", "--csv", at("m.csv"), "--jsonl", at("m.jsonl")}));
        ASSERT_EQ(merged.status, 0) << merged.err;
        EXPECT_EQ(merged.out, one.json);
        EXPECT_EQ(contents(at("m.csv")), one.csv);
        EXPECT_EQ(contents(at("m.jsonl")), one.jsonl);
    }

    fs::path m_dir;
};

TEST_F(ScreenCli, ShardsMergedInAnyOrderEqualOneRun) {
    const Run one = unsplit(kScreen);
    ASSERT_GT(lines(one.jsonl), 90U);
    std::mt19937 random(29);
    for (const int count : {2, 3, 7}) {
        std::vector<std::string> parts;
        for (int i = 1; i <= count; ++i) {
            parts.push_back(at("part" + std::to_string(i) + ".jsonl"));
            const auto part =
                runCli(with(kScreen, {"--shard", std::to_string(i) + "/" + std::to_string(count),
                                      "--jsonl", parts.back()}));
            ASSERT_EQ(part.status, 0) << part.err;
        }
        std::shuffle(parts.begin(), parts.end(), random);
        SCOPED_TRACE(count);
        expectMergeGives(one, parts);
    }
}

// A run cut off anywhere, even in the middle of a line, goes on with --resume to the files
// of a run that was never interrupted; Ctrl-C itself stops a run with what it has done.
TEST_F(ScreenCli, ResumeAfterAnInterruptionEqualsOneRun) {
    const Run one = unsplit(kScreen);
    std::mt19937 random(12);
    std::uniform_int_distribution<std::size_t> cut(1, one.jsonl.size() - 1);
    for (const std::size_t at_byte : {cut(random), cut(random), one.jsonl.find('\n') + 1}) {
        std::ofstream(at("r.jsonl"), std::ios::binary) << one.jsonl.substr(0, at_byte);
        const auto resumed = runCli(
            with(kScreen, {"--resume", "--jsonl", at("r.jsonl"), "--csv", at("r.csv"), "--json"}));
        ASSERT_EQ(resumed.status, 0) << resumed.err;
        EXPECT_EQ(resumed.out, one.json) << at_byte;
        EXPECT_EQ(contents(at("r.jsonl")), one.jsonl) << at_byte;
        EXPECT_EQ(contents(at("r.csv")), one.csv) << at_byte;
    }

    // A slow screen, stopped by SIGINT as a terminal's Ctrl-C stops it.
    const std::vector<std::string> slow = {"screen",
                                           "--b1",
                                           "18.96",
                                           "--b2",
                                           "12.61",
                                           "--beta",
                                           "90",
                                           "--spacing",
                                           "0.02",
                                           "--max-multiple",
                                           "3",
                                           "--substrate-cif-dir",
                                           LAMIVEX_CRYSTALS_DIR,
                                           "--quiet",
                                           "--threads",
                                           "1"};
    std::vector<std::string> args = with(slow, {"--jsonl", at("cut.jsonl")});
    args.insert(args.begin(), LAMIVEX_CLI);
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, LAMIVEX_CLI, nullptr, nullptr, argv.data(), environ), 0);
    // Once the header is out the run catches Ctrl-C; a slow start (a sanitizer build on a busy
    // machine) must not turn the signal into a kill.
    const auto started = std::chrono::steady_clock::now();
    while (lines(contents(at("cut.jsonl"))) < 1 &&
           std::chrono::steady_clock::now() - started < std::chrono::seconds(60)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(pid, SIGINT);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);
    const std::string kept = contents(at("cut.jsonl"));
    ASSERT_GE(lines(kept), 1U);
    const auto finished = runCli(with(slow, {"--resume", "--jsonl", at("cut.jsonl")}));
    ASSERT_EQ(finished.status, 0) << finished.err;
    const auto whole = runCli(with(slow, {"--jsonl", at("whole.jsonl")}));
    ASSERT_EQ(whole.status, 0) << whole.err;
    EXPECT_LT(lines(kept), lines(contents(at("whole.jsonl"))));
    EXPECT_EQ(contents(at("cut.jsonl")), contents(at("whole.jsonl")));
    EXPECT_EQ(finished.out, whole.out);
}

// GNU parallel runs the shards in two job slots, as on two hosts with --sshlogin.
TEST_F(ScreenCli, GnuParallelOverTwoSlotsEqualsOneRun) {
    ASSERT_EQ(std::system("command -v parallel > /dev/null"), 0)
        << "GNU parallel is missing: scripts/packages.sh lists it";
    const Run one = unsplit(kScreen);
    std::string command = "parallel --will-cite -j2 '" LAMIVEX_CLI "'";
    for (const std::string& a : kScreen) {
        command += " '" + a + "'";
    }
    command += " --shard {}/2 --jsonl '" + at("p{}.jsonl") + "' ::: 1 2 > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    expectMergeGives(one, {at("p1.jsonl"), at("p2.jsonl")});
}

// The Slurm array script of the manual, its tasks run as Slurm would start them (the same
// variables, one after the other), merged: the bytes of one run.
TEST_F(ScreenCli, SlurmArrayScriptPartsMergeToOneRun) {
    const std::string script = std::string(LAMIVEX_DOCS_DIR) + "/slurm-screen.sbatch";
    const std::string environment = "cd '" + m_dir.string() + "' && export PATH='" +
                                    fs::path(LAMIVEX_CLI).parent_path().string() +
                                    "':\"$PATH\" XDG_DATA_HOME='" + at("xdg") +
                                    "' SLURM_ARRAY_TASK_COUNT=3 SLURM_CPUS_PER_TASK=1";
    for (const int task : {1, 2, 3}) {
        std::string command = environment;
        command += " SLURM_ARRAY_TASK_ID=" + std::to_string(task);
        command += " && bash '" + script + "' > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    const std::string one =
        environment +
        " && lamivex-cli screen --overlayer-from 'PTCDA/Ag(111)' "
        "--substrate-crystals --max-multiple 3 --spacing 0.1 --quiet --json > one.json"
        " && lamivex-cli merge parts/part-3.jsonl parts/part-1.jsonl "
        "parts/part-2.jsonl --json > merged.json";
    ASSERT_EQ(std::system(one.c_str()), 0) << one;
    EXPECT_GT(contents(at("one.json")).size(), 1000U);
    EXPECT_EQ(contents(at("merged.json")), contents(at("one.json")));
}

// An unreadable crystal file among good ones is named in the output and the rest screened.
TEST_F(ScreenCli, UnreadableCrystalFileIsReportedAndTheRestScreened) {
    std::ofstream(at("broken.cif")) << "data_broken\n_cell_length_a oops\n";
    const auto run = runCli({"screen", "--b1", "4.995", "--b2", "4.995", "--beta", "60", "--quiet",
                             "--json", "--substrate-cif", at("broken.cif"), "--substrate-cif",
                             std::string(LAMIVEX_CRYSTALS_DIR) + "/Cu.cif"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\"errors\":[{\"pair\":0,\"substrate\":\"broken.cif\""),
              std::string::npos)
        << run.out;
    std::size_t ranks = 0;
    for (std::size_t at = run.out.find("\"rank\":"); at != std::string::npos;
         at = run.out.find("\"rank\":", at + 1)) {
        ++ranks;
    }
    EXPECT_EQ(ranks, 3U);  // Cu (111), (110), (100)
    const auto table = runCli({"screen", "--b1", "4.995", "--b2", "4.995", "--beta", "60",
                               "--quiet", "--substrate-cif", at("broken.cif")});
    EXPECT_EQ(table.status, 0);
    EXPECT_NE(table.out.find("not screened: " + at("broken.cif")), std::string::npos) << table.out;
}

TEST_F(ScreenCli, BadInputIsRefusedInOneLineNamingTheOption) {
    fs::create_directories(at("empty"));
    const std::vector<std::string> overlayer = {"screen", "--b1", "5", "--b2", "5", "--quiet"};
    const struct {
        std::vector<std::string> extra;
        std::string expected;
    } cases[] = {
        {{}, "lamivex-cli screen: no substrates to screen"},
        {{"--substrate-cif-dir", at("empty")}, "lamivex-cli screen: --substrate-cif-dir: no .cif"},
        {{"--substrate-mesh", "3 3 90", "--shard", "3/2"},
         "lamivex-cli screen: --shard: part 3 of 2"},
        {{"--substrate-mesh", "3 3 90", "--shard", "0/2"}, "lamivex-cli screen: --shard:"},
        {{"--substrate-mesh", "3 3"}, "lamivex-cli screen: --substrate-mesh:"},
        {{"--substrate-mesh", "3 3 90", "--resume"}, "lamivex-cli screen: --resume:"},
        {{"--substrate-mesh", "3 3 90", "--max-index", "0"}, "lamivex-cli screen: --max-index:"},
    };
    for (const auto& c : cases) {
        const auto refused = runCli(with(overlayer, c.extra));
        EXPECT_EQ(refused.status, 2) << c.expected;
        EXPECT_EQ(refused.err.rfind(c.expected, 0), 0U) << refused.err;
        EXPECT_EQ(lines(refused.err), 1U) << refused.err;
        EXPECT_EQ(refused.out, "");
    }
    const auto part = runCli(with(kScreen, {"--shard", "1/2", "--jsonl", at("half.jsonl")}));
    ASSERT_EQ(part.status, 0);
    const auto merged = runCli({"merge", at("half.jsonl")});
    EXPECT_EQ(merged.status, 2);
    EXPECT_EQ(merged.err.rfind("lamivex-cli merge: ", 0), 0U) << merged.err;
    EXPECT_NE(merged.err.find("are in no part"), std::string::npos) << merged.err;
}

}  // namespace
}  // namespace lamivex::screening
