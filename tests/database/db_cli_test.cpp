// lamivex-cli db and scan --substrate-from, run as the user runs them.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fmt/format.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "temp_folder.h"

namespace lamivex::database {
namespace {

using testing::TempFolder;

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

CliRun runCli(const TempFolder& folder, std::vector<std::string> args) {
    const auto outFile = folder / "stdout.txt";
    const auto errFile = folder / "stderr.txt";
    args.insert(args.begin(), LAMIVEX_CLI);
    const pid_t child = fork();
    if (child == 0) {
        const int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, testing::readBytes(outFile),
            testing::readBytes(errFile)};
}

class DbCliTest : public ::testing::Test {
  protected:
    void SetUp() override { std::filesystem::copy_file(LAMIVEX_STARTER_DB, db); }
    CliRun run(std::vector<std::string> args) { return runCli(folder, std::move(args)); }

    TempFolder folder;
    std::filesystem::path db = folder / "structures.sqlite";
};

int lineCount(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST_F(DbCliTest, ListPrintsSortedNamesAndJsonRecords) {
    CliRun listed = run({"db", db, "list", "--overlayers"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out, "C60\ngraphene\nNTCDA\npentacene\nPTCDA bulk (102)\nPTCDA/Ag(111)\n");

    listed = run({"db", db, "list"});
    EXPECT_EQ(listed.out.rfind("Substrates:\n  Ag(111)\n  Au(111)\n", 0), 0u) << listed.out;
    EXPECT_NE(listed.out.find("Overlayers:\n  C60\n"), std::string::npos);

    listed = run({"db", db, "list", "--substrates", "--json"});
    EXPECT_EQ(listed.out.rfind(R"j({"substrates":[{"name":"Ag(111)","a1":2.8892,"a2":2.8892,)j"
                               R"j("alpha":60,"notes":"fcc(111) surface of silver)j",
                               0),
              0u)
        << listed.out;
}

TEST_F(DbCliTest, PutShowAndRemoveAnAwkwardNameTouchOnlyThatRecord) {
    CliRun put = run({"db", db, "put-substrate", "Si(111) 7x7 'DAS'", "26.88", "26.88", "60",
                      "--notes", "7x7 \"DAS\" cell"});
    EXPECT_EQ(put.status, 0) << put.err;
    EXPECT_EQ(put.out, "Added substrate 'Si(111) 7x7 'DAS''.\n");

    put = run({"db", db, "put-substrate", "SI(111) 7X7 'das'", "26.9", "26.9", "60"});
    EXPECT_EQ(put.out, "Replaced substrate 'SI(111) 7X7 'das''.\n");

    const CliRun shown = run({"db", db, "show", "si(111) 7x7 'DAS'", "--json"});
    EXPECT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(shown.out.substr(0, shown.out.find(",\"lamivex_version\"")),
              R"j({"substrate":{"name":"SI(111) 7X7 'das'","a1":26.9,"a2":26.9,)j"
              R"j("alpha":60,"notes":"7x7 \"DAS\" cell"})j");
    EXPECT_NE(shown.out.find(R"j("action":"show","name":"si(111) 7x7 'DAS'"}})j"),
              std::string::npos)
        << shown.out;

    const CliRun removed = run({"db", db, "remove-substrate", "si(111) 7x7 'das'"});
    EXPECT_EQ(removed.status, 0) << removed.err;
    const CliRun listed = run({"db", db, "list", "--substrates"});
    EXPECT_EQ(lineCount(listed.out), 13);
    EXPECT_EQ(listed.out.find("7x7"), std::string::npos);
}

TEST_F(DbCliTest, BadInputGivesOneLineOnStderrAndStatusTwo) {
    const auto expectRefused = [&](std::vector<std::string> args, const std::string& part) {
        const CliRun refused = run(args);
        EXPECT_EQ(refused.status, 2) << args.back();
        EXPECT_EQ(lineCount(refused.err), 1) << refused.err;
        EXPECT_NE(refused.err.find(part), std::string::npos) << refused.err;
        EXPECT_TRUE(refused.out.empty()) << refused.out;
    };
    expectRefused({"db", db, "put-overlayer", "x", "abc", "1", "90"},
                  "lamivex-cli db put-overlayer: --b1: \"abc\" is not a number");
    expectRefused({"db", db, "put-substrate", "x", "1", "1", "360"}, "--alpha:");
    expectRefused({"db", db, "show", "Au(1%1)"}, "no substrate or overlayer named 'Au(1%1)'");
    expectRefused({"db", db, "remove-overlayer", "C_0"}, "no overlayer named 'C_0'");
    const auto text = folder / "notes.txt";
    testing::writeBytes(text, "not a database");
    expectRefused({"db", text, "list"}, "is not a structure database (not a database file).");
    expectRefused({"db", folder / "old.mdb", "import-mdb", text}, "is not an Access database file");
    EXPECT_FALSE(std::filesystem::exists(folder / "old.mdb"));
}

TEST_F(DbCliTest, AnUnreadableRecordIsNamedAndTheRestShown) {
    sqlite3* handle = nullptr;
    ASSERT_EQ(sqlite3_open(db.c_str(), &handle), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(handle,
                           "INSERT INTO Substrate VALUES ('Bad', 9e999, 1, 90, NULL);"
                           "INSERT INTO Overlayer VALUES ('Bad', 5, 5, 90, x'ff');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(handle);
    const CliRun listed = run({"db", db, "list", "--json"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_NE(listed.out.find("\"name\":\"Au(111)\""), std::string::npos);
    EXPECT_NE(listed.out.find("\"unreadable\":[\"The substrate 'Bad' has no usable a1 value.\"]"),
              std::string::npos)
        << listed.out;
    EXPECT_NE(listed.out.find("\"notes\":\"\xEF\xBF\xBD\""), std::string::npos);  // still UTF-8
    EXPECT_EQ(lineCount(listed.err), 1) << listed.err;
    const CliRun shown = run({"db", db, "show", "Bad"});  // the overlayer, and the substrate named
    EXPECT_EQ(shown.status, 0) << shown.err;
    EXPECT_NE(shown.out.find("Overlayer: Bad"), std::string::npos) << shown.out;
    EXPECT_NE(shown.err.find("'Bad' has no usable a1 value"), std::string::npos) << shown.err;
}

// The result of a run without its "inputs", which name where the lattices came from.
std::string resultOf(const std::string& json) {
    return json.substr(0, json.find(",\"lamivex_version\""));
}

TEST_F(DbCliTest, ScanTakesLatticesFromTheDatabaseAndExplicitOptionsWin) {
    const std::vector<std::string> common = {"--upper", "5",   "--spacing", "1",     "--m",
                                             "3",       "--n", "3",         "--json"};
    const auto scan = [&](std::vector<std::string> args) {
        args.insert(args.begin(), "scan");
        args.insert(args.end(), common.begin(), common.end());
        return run(args);
    };
    const CliRun picked = scan({"--substrate-from", db.string() + ":au(111)", "--overlayer-from",
                                db.string() + ":C60", "--non-hexagonal"});
    const CliRun typed = scan({"--a1", "2.8836", "--a2", "2.8836", "--alpha", "60", "--b1",
                               "10.0197", "--b2", "10.0197", "--beta", "60"});
    ASSERT_EQ(picked.status, 0) << picked.err;
    EXPECT_EQ(resultOf(picked.out), resultOf(typed.out));
    EXPECT_NE(picked.out.find("\"inputs\":{\"substrate\":{\"name\":\"Au(111)\""),
              std::string::npos);
    // A hexagonal record turns the hexagonal choice on, and the output says so.
    const CliRun hexagonal = scan(
        {"--substrate-from", db.string() + ":au(111)", "--overlayer-from", db.string() + ":C60"});
    const CliRun typedHexagonal =
        scan({"--a1", "2.8836", "--a2", "2.8836", "--alpha", "60", "--b1", "10.0197", "--b2",
              "10.0197", "--beta", "60", "--hexagonal"});
    const auto bestOf = [](const std::string& json) { return json.substr(0, json.find("},")); };
    EXPECT_EQ(bestOf(hexagonal.out), bestOf(typedHexagonal.out));
    EXPECT_NE(bestOf(hexagonal.out), bestOf(typed.out));
    EXPECT_NE(hexagonal.out.find("\"symmetry\":\"hexagonal, as the record"), std::string::npos);

    const CliRun overridden = scan({"--substrate-from", db.string() + ":Au(111)", "--a1", "3.1",
                                    "--overlayer-from", db.string() + ":C60", "--non-hexagonal"});
    const CliRun typedOverride = scan({"--a1", "3.1", "--a2", "2.8836", "--alpha", "60", "--b1",
                                       "10.0197", "--b2", "10.0197", "--beta", "60"});
    EXPECT_EQ(resultOf(overridden.out), resultOf(typedOverride.out));
    EXPECT_NE(overridden.out, picked.out);

    const CliRun missing = scan({"--substrate-from", db.string() + ":Au(110)"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, fmt::format("lamivex-cli scan: --substrate-from: no substrate named "
                                       "'Au(110)' in {}\n",
                                       db.string()));
}

TEST_F(DbCliTest, IterateTakesLatticesFromTheDatabaseLikeScan) {
    const std::vector<std::string> common = {
        "iterate", "--hexagonal", "--b1-range",  "9.9:10.1:0.1", "--upper",
        "5",       "--spacing",   "1",           "--m",          "3",
        "--n",     "3",           "--criterion", "1.1",          "--json"};
    const auto iterate = [&](std::vector<std::string> args) {
        args.insert(args.begin(), common.begin(), common.end());
        return run(args);
    };
    const CliRun picked = iterate(
        {"--substrate-from", db.string() + ":Au(111)", "--overlayer-from", db.string() + ":C60"});
    const CliRun typed = iterate({"--a1", "2.8836", "--a2", "2.8836", "--alpha", "60", "--b1",
                                  "10.0197", "--b2", "10.0197", "--beta", "60"});
    ASSERT_EQ(picked.status, 0) << picked.err;
    EXPECT_EQ(resultOf(picked.out), resultOf(typed.out));
    EXPECT_NE(picked.out.find("\"match_count\":3"), std::string::npos) << picked.out;

    const CliRun missing = iterate({"--overlayer-from", db.string() + ":C70"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, fmt::format("lamivex-cli iterate: --overlayer-from: no overlayer "
                                       "named 'C70' in {}\n",
                                       db.string()));
}

}  // namespace
}  // namespace lamivex::database
