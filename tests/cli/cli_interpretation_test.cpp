// What the command line says a result means: a matrix given with --matrix comes back from
// the lattice derived from it, the hexagonal conventions are warned about and converted, and
// iteration matches carry their interpretation.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "run_command.h"

namespace lamivex::testing {
namespace {

// The number after "key": in a JSON text (the first one), NaN when the key is missing.
double numberAfter(const std::string& json, const std::string& key, std::size_t from = 0) {
    const std::string quoted = "\"" + key + "\":";
    const std::size_t at = json.find(quoted, from);
    if (at == std::string::npos) {
        return std::nan("");
    }
    return std::strtod(json.c_str() + at + quoted.size(), nullptr);
}

TEST(CliMatrixTest, AtAngleGivesBackTheMatrixAndItsExactMatch) {
    const struct {
        const char* what;
        std::vector<std::string> substrate;
        double m[4];
        const char* type;
        double vvo;  // NaN: not checked
    } kCases[] = {
        {"sqrt3 on hexagonal",
         {"--a1", "2.5562", "--a2", "2.5562", "--alpha", "60", "--hexagonal"},
         {1, 1, -1, 2},
         "commensurate",
         -0.5},
        {"PTCDA on Cu(100)",
         {"--a1", "2.5562", "--a2", "2.5562", "--alpha", "90"},
         {4, 4, -5, 5},
         "commensurate",
         0},
        {"one whole column",
         {"--a1", "2.5562", "--a2", "2.5562", "--alpha", "90"},
         {2, 0.37, -1, 1.41},
         "point-on-line",
         std::nan("")},
        {"oblique substrate",
         {"--a1", "3.1", "--a2", "4.7", "--alpha", "73.5"},
         {1.7, 0.45, -0.8, 2.3},
         "incommensurate",
         std::nan("")},
    };
    for (const auto& c : kCases) {
        std::vector<std::string> args = {
            "scan", "--json", "--at-angle", "--matrix",
            fmt::format("{} {} {} {}", c.m[0], c.m[1], c.m[2], c.m[3])};
        args.insert(args.end(), c.substrate.begin(), c.substrate.end());
        const CommandResult r = runCli(args);
        ASSERT_EQ(r.status, 0) << c.what << ": " << r.err;
        EXPECT_NEAR(numberAfter(r.out, "m11"), c.m[0], 1e-9) << c.what;
        EXPECT_NEAR(numberAfter(r.out, "m12"), c.m[1], 1e-9) << c.what;
        EXPECT_NEAR(numberAfter(r.out, "m21"), c.m[2], 1e-9) << c.what;
        EXPECT_NEAR(numberAfter(r.out, "m22"), c.m[3], 1e-9) << c.what;
        EXPECT_NE(r.out.find(std::string("\"type\":\"") + c.type + "\""), std::string::npos)
            << c.what << ": " << r.out;
        if (!std::isnan(c.vvo)) {
            EXPECT_NEAR(numberAfter(r.out, "vvo"), c.vvo, 1e-9) << c.what;
        }
    }
}

TEST(CliMatrixTest, ScanAroundTheMatrixFindsItsAzimuth) {
    const CommandResult r = runCli({"scan", "--json", "--a1", "2.5562", "--a2", "2.5562", "--alpha",
                                    "60", "--hexagonal", "--matrix", "2 1 -1 3"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(numberAfter(r.out, "steps"), 3);
    // Step 1 of the three lies on the derived azimuth, atan(√3 / 5) = 19.107°.
    EXPECT_NEAR(numberAfter(r.out, "angle"), 19.107, 1e-3) << r.out;
    EXPECT_NE(r.out.find("\"wood\":\"(√7×√7)R19.1°\""), std::string::npos) << r.out;
}

TEST(CliMatrixTest, RefusesWhatContradictsTheMatrix) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"scan", "--matrix", "1 1 -1"},
             {"scan", "--matrix", "1 1 2 2"},  // b1 and b2 parallel
             {"scan", "--matrix", "1 1 -1 2", "--b1", "4"},
             {"scan", "--matrix", "1 1 -1 2", "--upper", "40"},
             {"scan", "--at-angle"},
             {"scan", "--matrix", "1 1 -1 2", "--at-angle", "--max-multiple", "2"},
             {"scan", "--registry-tolerance", "0"},
         }) {
        const CommandResult r = runCli(args);
        EXPECT_EQ(r.status, 2) << args[2] << " " << args.back();
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
}

// The name a scan gives does not depend on the range it met the orientation in, nor on the
// basis typed: each cell over the default range and over a narrow one around its angle.
TEST(CliNamesTest, NameIsTheSameOverTheDefaultAndANarrowRange) {
    const std::vector<std::string> cu111 = {"--a1",    "2.5562", "--a2",       "2.5562",
                                            "--alpha", "60",     "--hexagonal"};
    const std::vector<std::string> au111 = {"--a1",    "2.884", "--a2",       "2.884",
                                            "--alpha", "60",    "--hexagonal"};
    const std::vector<std::string> cu110 = {"--a1", "2.5562", "--a2", "3.615", "--alpha", "90"};
    const struct {
        const char* what;
        std::vector<std::string> substrate;
        std::vector<std::string> overlayer;
        std::vector<std::string> narrow;  // the default range is 0..60 unless given here
        std::vector<std::string> wide;
        const char* wood;
    } kCases[] = {
        {"p(2x2) on fcc(111)",
         cu111,
         {"--b1", "5.1124", "--b2", "5.1124", "--beta", "60"},
         {"--lower", "59", "--upper", "61"},
         {},
         "(2×2)"},
        {"sqrt3 typed with beta 120",
         au111,
         {"--b1", "4.995234", "--b2", "4.995234", "--beta", "120"},
         {"--lower", "29", "--upper", "31"},
         {},
         "(√3×√3)R30°"},
        {"(2x1) on Cu(110)",
         cu110,
         {"--b1", "5.1124", "--b2", "3.615", "--beta", "90"},
         {"--lower", "179", "--upper", "181"},
         {"--upper", "180"},
         "(2×1)"},
    };
    for (const auto& c : kCases) {
        for (const std::vector<std::string>* range : {&c.wide, &c.narrow}) {
            std::vector<std::string> args = {"scan", "--json"};
            for (const auto* part : {&c.substrate, &c.overlayer, range}) {
                args.insert(args.end(), part->begin(), part->end());
            }
            const CommandResult r = runCli(args);
            ASSERT_EQ(r.status, 0) << c.what << ": " << r.err;
            EXPECT_NE(r.out.find(std::string("\"wood\":\"") + c.wood + "\""), std::string::npos)
                << c.what << ": " << r.out;
        }
    }
}

TEST(CliNamesTest, NoOrientationIsSaidAsSuchInScanAndIterate) {
    const std::vector<std::string> common = {
        "--hexagonal", "--a1",   "2.884", "--a2",    "2.884",  "--alpha", "60",
        "--b1",        "4.9952", "--b2",  "4.9952",  "--beta", "60",      "--m",
        "10",          "--n",    "10",    "--upper", "0.5",    "--json"};
    std::vector<std::string> scan = {"scan"};
    scan.insert(scan.end(), common.begin(), common.end());
    const CommandResult s = runCli(scan);
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_NE(s.out.find("\"type\":\"none\""), std::string::npos) << s.out;
    EXPECT_NE(s.out.find("No orientation below 0.9999 was found"), std::string::npos);
    // A criterion above 1 records trials that met no step below 0.9999.
    std::vector<std::string> iterate = {"iterate",     "--b1-range", "4.9952:4.9953:0.0001",
                                        "--criterion", "1.5",        "--quiet"};
    iterate.insert(iterate.end(), common.begin(), common.end());
    const CommandResult i = runCli(iterate);
    ASSERT_EQ(i.status, 0) << i.err;
    EXPECT_NE(i.out.find("\"type\":\"none\""), std::string::npos) << i.out;
    EXPECT_EQ(i.out.find("(0 0; 0 0)"), std::string::npos) << i.out;
}

TEST(CliHexagonalConventionTest, WarnsWhereTheThirdWaveIsNotFirstOrder) {
    const struct {
        const char* alpha;
        bool hexagonal;
        const char* warning;  // empty: none
    } kCases[] = {
        {"60", true, ""},
        {"120", true, "hexagonal with alpha = 120: the third substrate wave"},
        {"90", true, "hexagonal with alpha = 90"},
        {"60", false, "this lattice is hexagonal; the Hexagonal choice adds its third wave"},
        {"120", false, "this lattice is hexagonal"},
    };
    for (const auto& c : kCases) {
        std::vector<std::string> args = {"scan",   "--json",  "--a1",  "2.5562",  "--a2",
                                         "2.5562", "--alpha", c.alpha, "--upper", "1"};
        if (c.hexagonal) {
            args.emplace_back("--hexagonal");
        }
        const CommandResult r = runCli(args);
        ASSERT_EQ(r.status, 0) << r.err;
        const std::string what = std::string(c.alpha) + (c.hexagonal ? " hexagonal" : "");
        if (*c.warning == '\0') {
            EXPECT_TRUE(r.err.empty()) << what << ": " << r.err;
            EXPECT_NE(r.out.find("\"warnings\":[]"), std::string::npos) << what;
        } else {
            EXPECT_NE(r.err.find(std::string("lamivex-cli scan: warning: ") + c.warning),
                      std::string::npos)
                << what << ": " << r.err;
            EXPECT_NE(r.out.find(std::string("\"warnings\":[\"") + c.warning), std::string::npos)
                << what << ": " << r.out;
        }
    }
}

TEST(CliHexagonalConventionTest, ConvertRoundTripKeepsCellAndMatrix) {
    const CommandResult to60 = runCli({"convert", "--alpha120-to-60", "--a1", "2.5562", "--a2",
                                       "2.5562", "--matrix", "2 1 -1 1", "--json"});
    ASSERT_EQ(to60.status, 0) << to60.err;
    EXPECT_NEAR(numberAfter(to60.out, "alpha"), 60, 1e-9);
    EXPECT_NE(to60.out.find("\"matrix\":[[1,1],[-2,1]]"), std::string::npos) << to60.out;

    const CommandResult back = runCli({"convert", "--alpha60-to-120", "--a1", "2.5562", "--a2",
                                       "2.5562", "--matrix", "1 1 -2 1", "--json"});
    ASSERT_EQ(back.status, 0) << back.err;
    EXPECT_NEAR(numberAfter(back.out, "alpha"), 120, 1e-9);
    EXPECT_NEAR(numberAfter(back.out, "a2"), 2.5562, 1e-9);
    EXPECT_NE(back.out.find("\"matrix\":[[2,1],[-1,1]]"), std::string::npos) << back.out;

    // Exactly one direction, and no cell but a1 = a2 has the other convention.
    EXPECT_EQ(runCli({"convert", "--a1", "2.5", "--a2", "2.5"}).status, 2);
    EXPECT_EQ(runCli({"convert", "--alpha120-to-60", "--alpha60-to-120"}).status, 2);
    EXPECT_EQ(runCli({"convert", "--alpha120-to-60", "--a1", "2.5", "--a2", "3"}).status, 2);
}

TEST(CliIterateInterpretationTest, EveryMatchSaysWhatItIs) {
    const CommandResult r =
        runCli({"iterate", "--json", "--hexagonal", "--alpha", "60", "--b1-range",
                "17.31:17.33:0.01", "--b2-range", "17.31:17.33:0.01", "--beta", "60", "--upper",
                "40", "--criterion", "-0.4", "--quiet"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::size_t match = r.out.find("\"interpretation\":{\"type\":");
    ASSERT_NE(match, std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"summary\":\"commensurate: (√3×√3)R30°"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace lamivex::testing
