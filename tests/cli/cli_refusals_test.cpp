// Command lines the program must refuse before it writes anything, the files it writes to
// standard output, and what it shows on a terminal.

#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "cli/progress_meter.h"
#include "run_command.h"

namespace lamivex::testing {
namespace {

namespace fs = std::filesystem;

class CliRefusalTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("lamivex-refusals-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    [[nodiscard]] std::string in(const char* name) const { return (m_dir / name).string(); }

    fs::path m_dir;
};

std::size_t lines(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST_F(CliRefusalTest, RefusedCommandLinesWriteNothingAndSayWhyInOneLine) {
    ASSERT_EQ(::mkfifo(in("pipe.epi").c_str(), 0600), 0);
    const struct {
        std::vector<std::string> args;
        std::string says;  // the start of the one line on standard error
    } kCases[] = {
        // Output names: empty, a value forgotten before the next option, a target that
        // is no regular file, a second output that cannot be written.
        {{"scan", "--report", ""}, "lamivex-cli scan: --report: no file name"},
        {{"scan", "--plot", ""}, "lamivex-cli scan: --plot: no file name"},
        {{"scan", "--report=", "--json"}, "lamivex-cli: --report=: the value after '='"},
        {{"scan", "--report", "--json"}, "lamivex-cli: --report: the value is missing"},
        {{"scan", "--report", in("pipe.epi")}, "lamivex-cli scan: --report: "},
        {{"scan", "--report", in("r.epi"), "--plot", "/nonexistent/x.png"},
         "lamivex-cli scan: --plot: "},
        {{"scan", "--report", "-", "--json"}, "lamivex-cli scan: --report: standard output"},
        // Figure sizes: a size that is no size, too many pixels, a resolution or font out of
        // range, a figure too small for its text.
        {{"scan", "--plot", in("g.png"), "--size", "12x"}, "lamivex-cli scan: --size: "},
        {{"scan", "--plot", in("g.png"), "--size", "40000x100"}, "lamivex-cli scan: --size: "},
        {{"scan", "--plot", in("g.png"), "--dpi", "5"}, "lamivex-cli scan: --dpi: "},
        {{"scan", "--plot", in("g.png"), "--font-size", "200"}, "lamivex-cli scan: --font-size: "},
        {{"scan", "--plot", in("g.png"), "--size", "40x30", "--font-size", "30"},
         "lamivex-cli scan: --size: "},
        {{"iterate", "--b1-range", "9:11:1", "--plot", in("h.jpg")},
         "lamivex-cli iterate: --plot: "},
        {{"iterate", "--b1-range", "9:11:1", "--dat", ""}, "lamivex-cli iterate: --dat: "},
        // What the main window's fields refuse, and the degenerate lattices the run refuses.
        {{"scan", "--alpha", "400"}, "lamivex-cli scan: --alpha: "},
        {{"scan", "--beta", "360"}, "lamivex-cli scan: --beta: "},
        {{"scan", "--beta", "0"}, "lamivex-cli scan: --beta: "},
        {{"scan", "--beta", "180"}, "lamivex-cli scan: --beta: "},
        {{"scan", "--b1", "1e-45"}, "lamivex-cli scan: --b1: "},
        {{"scan", "--a2", "1e39"}, "lamivex-cli scan: --a2: "},
        {{"scan", "--m", "40000"}, "lamivex-cli scan: --m: "},
        {{"scan", "--lower", "10", "--upper", "5"}, "lamivex-cli scan: --upper: "},
        {{"scan", "--substrate-name", "a\xff"}, "lamivex-cli scan: --substrate-name: "},
        // What the Iteration window's fields refuse.
        {{"iterate", "--b1-range", "5:4:0.1"}, "lamivex-cli iterate: --b1-range: The To value"},
        {{"iterate", "--b1-range", "5:5:x"}, "lamivex-cli iterate: --b1-range: The Increment"},
        {{"iterate", "--beta-range", "170:190:10"}, "lamivex-cli iterate: --beta-range: "},
        // Lattices the arithmetic cannot carry: lengths, nearly parallel vectors, a domain
        // spanning too many wave periods, azimuths, matrices singular for their size.
        {{"scan", "--b1", "1e38"}, "lamivex-cli scan: --b1: b1 must be from 0.001 to 100000"},
        {{"scan", "--beta", "1e-9"}, "lamivex-cli scan: --beta: beta must be at least 0.057"},
        {{"scan", "--a1", "0.001", "--b1", "1e5"}, "lamivex-cli scan: --m: the domain would span"},
        {{"scan", "--lower", "1e30", "--upper", "1e30"}, "lamivex-cli scan: --lower: "},
        {{"scan", "--matrix", "1000000 0 0 1"}, "lamivex-cli scan: --matrix: on this substrate b1"},
        {{"view", "real-space", "--angle", "1e30"}, "lamivex-cli view real-space: --angle: "},
        {{"convert", "--alpha120-to-60", "--matrix", "1e300 1e300 1e300 1e300"},
         "lamivex-cli convert: --matrix: the matrix makes b1 and b2 parallel"},
        {{"iterate", "--b1-range", "1:1e6:1e5"}, "lamivex-cli iterate: --b1-range: The b1 range "},
        {{"iterate", "--beta-range", "0.01:10:1"}, "lamivex-cli iterate: --beta-range: "},
        // A structure database keeps only what a run can compute with.
        {{"db", in("s.sqlite"), "put-substrate", "X", "0", "3", "90"},
         "lamivex-cli db put-substrate: --a1: "},
        {{"db", in("s.sqlite"), "put-substrate", "X", "3", "-1", "90"},
         "lamivex-cli db put-substrate: --a2: "},
        {{"db", in("s.sqlite"), "put-overlayer", "X", "1e-400", "3", "90"},
         "lamivex-cli db put-overlayer: --b1: "},
        {{"db", in("s.sqlite"), "put-overlayer", "X", "3", "3", "180"},
         "lamivex-cli db put-overlayer: --beta: "},
        {{"db", in("s.sqlite"), "put-substrate", "X", "-inf", "3", "90"},
         "lamivex-cli: -inf is not a number"},
        // Values that would vanish: empty, cut to a whole number, given twice.
        {{"scan", "--max-multiple", ""}, "lamivex-cli scan: --max-multiple: the value is empty"},
        {{"scan", "--max-multiple", "2.5"}, "lamivex-cli scan: --max-multiple: \"2.5\" is not"},
        {{"scan", "--substrate-from", ""}, "lamivex-cli scan: --substrate-from: "},
        {{"iterate", "--b1-range", "9:11:1", "--threads", ""}, "lamivex-cli iterate: --threads: "},
        {{"iterate", "--b1-range", "9:11:1", "--fix", "b1,,beta"}, "lamivex-cli iterate: --fix: "},
        {{"scan", "--b1", "3", "--b1", "4"}, "lamivex-cli: --b1 is given twice"},
        {{"scan", "--substrate-name", "Cu\n(111)"}, "lamivex-cli scan: --substrate-name: "},
    };
    for (const auto& c : kCases) {
        const CommandResult r = runCli(c.args);
        EXPECT_EQ(r.status, 2) << c.says;
        EXPECT_TRUE(r.out.empty()) << c.says << ": " << r.out;
        EXPECT_EQ(lines(r.err), 1U) << r.err;
        EXPECT_EQ(r.err.rfind(c.says, 0), 0U) << r.err;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);
    EXPECT_TRUE(fs::is_fifo(m_dir / "pipe.epi"));
}

TEST_F(CliRefusalTest, NamesFromJsonObeyTheRulesOfTypedNames) {
    // NUL, escape and newline would reach the report's lines raw.
    const struct {
        const char* lattice;
        const char* name;  // as JSON writes it
    } kCases[] = {{"substrate", "Cu\\u0000(111)"},
                  {"substrate", "Cu\\u001b[31m(111)"},
                  {"overlayer", "PTCDA\\n(102)"}};
    for (const auto& c : kCases) {
        std::ofstream(in("run.json"))
            << "{\"inputs\":{\"" << c.lattice << "\":{\"name\":\"" << c.name << "\"}}}";
        const CommandResult r =
            runCli({"scan", "--from-json", in("run.json"), "--report", in("r.epi")});
        EXPECT_EQ(r.status, 2) << c.name;
        EXPECT_EQ(
            r.err.rfind(
                std::string("lamivex-cli scan: --from-json: inputs.") + c.lattice + ".name: ", 0),
            0U)
            << r.err;
        EXPECT_FALSE(fs::exists(in("r.epi")));
    }
}

TEST_F(CliRefusalTest, ControlCharactersInUserTextAreShownNotObeyed) {
    const CommandResult r = runCli({"scan", "--alpha", "4\n\x1b[31m0"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "lamivex-cli scan: --alpha: \"4\\n\\x1b[31m0\" is not a number\n");
}

TEST_F(CliRefusalTest, DashWritesTheFileToStandardOutput) {
    const CommandResult report = runCli({"scan", "--report", "-", "--m", "3", "--n", "3"});
    ASSERT_EQ(report.status, 0) << report.err;
    const CommandResult saved = runCli({"scan", "--report", in("r.epi"), "--m", "3", "--n", "3"});
    ASSERT_EQ(saved.status, 0) << saved.err;
    std::ifstream file(m_dir / "r.epi", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    EXPECT_EQ(report.out, bytes);  // the file and nothing else

    const CommandResult dat = runCli({"iterate", "--b1-range", "9.9:10.1:0.1", "--dat", "-"});
    ASSERT_EQ(dat.status, 0) << dat.err;
    EXPECT_EQ(dat.out.rfind("Lamivex Version 5.0\r\n", 0), 0U);
    EXPECT_EQ(dat.out.find("Iterations complete"), std::string::npos);
}

TEST_F(CliRefusalTest, OutputLostOnAFullDiskIsAFailure) {
    const std::string database = in("s.sqlite");
    ASSERT_EQ(runCli({"db", database, "create"}).status, 0);
    const std::string reason = std::strerror(ENOSPC);
    const struct {
        std::vector<std::string> args;
        std::string says;  // the one line on standard error, before the reason
    } kCases[] = {
        {{"scan", "--json"}, "lamivex-cli scan: "},
        {{"scan", "--m", "3", "--n", "3"}, "lamivex-cli scan: "},
        {{"scan", "--json", "--table"}, "lamivex-cli scan: "},  // beyond a stdio buffer
        {{"scan", "--report", "-"}, "lamivex-cli scan: --report: "},
        {{"iterate", "--b1-range", "9.9:10.1:0.1", "--json"}, "lamivex-cli iterate: "},
        {{"view", "leed", "--matrix", "4 4 -5 5", "--json"}, "lamivex-cli view: "},
        {{"db", database, "list", "--json"}, "lamivex-cli db: "},
        {{"crystal", "--a", "5.431", "--plane", "1 1 1"}, "lamivex-cli crystal: "},
        {{"convert", "--alpha120-to-60", "--a1", "2.5562", "--a2", "2.5562", "--matrix",
          "2 1 -1 1"},
         "lamivex-cli convert: "},
        {{"--help"}, "lamivex-cli: "},
    };
    for (const auto& c : kCases) {
        const CommandResult r = runCli(c.args, "/dev/full");
        EXPECT_EQ(r.status, 2) << c.says;
        EXPECT_EQ(r.err, c.says + "standard output could not be written: " + reason + "\n");
    }
}

// Runs the program with standard output and error on a terminal; returns what it showed.
std::string onTerminal(const std::vector<std::string>& arguments) {
    std::vector<std::string> args = {LAMIVEX_CLI};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    int master = -1;
    const pid_t pid = ::forkpty(&master, nullptr, nullptr, nullptr);
    if (pid == 0) {
        ::execv(LAMIVEX_CLI, argv.data());
        std::_Exit(127);
    }
    std::string shown;
    std::array<char, 4096> buffer{};
    ssize_t n = 0;
    while ((n = ::read(master, buffer.data(), buffer.size())) > 0) {
        shown.append(buffer.data(), static_cast<std::size_t>(n));
    }
    ::close(master);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return shown;
}

TEST_F(CliRefusalTest, ProgressIsShownOnATerminalOnly) {
    const std::vector<std::string> run = {"iterate", "--b1-range", "9.5:10.5:0.1"};
    EXPECT_NE(onTerminal(run).find("% done"), std::string::npos);
    std::vector<std::string> quiet = run;
    quiet.emplace_back("--quiet");
    EXPECT_EQ(onTerminal(quiet).find("% done"), std::string::npos);
    const CommandResult piped = runCli(run);
    EXPECT_EQ(piped.status, 0);
    EXPECT_TRUE(piped.err.empty()) << piped.err;
    EXPECT_NE(onTerminal({"scan", "--max-multiple", "3"}).find("% done"), std::string::npos);
}

TEST(ProgressLineTest, EstimatesTheTimeLeftOnceEnoughIsDone) {
    const struct {
        double fraction;
        double elapsed;
        const char* line;
    } kCases[] = {
        {0.0, 0.0, "  0% done"},
        {0.5, 0.5, " 50% done"},  // too early to tell
        {0.25, 10, " 25% done, about 30 s left"},
        {0.5, 150, " 50% done, about 2 min 30 s left"},
        {0.1, 1000, " 10% done, about 2 h 30 min left"},
        {0.9999, 100, " 99% done, about 1 s left"},  // 100% only when done
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(cli::progressLine(c.fraction, c.elapsed), c.line);
    }
}

}  // namespace
}  // namespace lamivex::testing
