// `lamivex-cli crystal`: the command function for its output, the built program for its
// exit status and its one-line errors.

#include <sys/wait.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include <unistd.h>

#include <gtest/gtest.h>

#include "cli/crystal_command.h"
#include "numbers/input_error.h"

namespace lamivex::cli {
namespace {

std::string run(const CrystalRequest& request) {
    std::ostringstream out;
    EXPECT_EQ(runCrystal(request, out), 0);
    return out.str();
}

// The number after "key": in a JSON text; NaN when the key is missing or null.
double jsonNumber(const std::string& json, const std::string& key) {
    const std::size_t at = json.find("\"" + key + "\":");
    if (at == std::string::npos) {
        return std::nan("");
    }
    const char* start = json.c_str() + at + key.size() + 3;
    char* end = nullptr;
    const double value = std::strtod(start, &end);
    return end == start ? std::nan("") : value;
}

TEST(CrystalCommandTest, SiliconJsonAtFullPrecision) {
    CrystalRequest request;
    request.cell[0] = "5.431";
    request.plane = "1 1 1";
    request.volume = true;
    request.json = true;
    const std::string json = run(request);
    // d(111) = a / sqrt(3); volume = a³.
    EXPECT_NEAR(jsonNumber(json, "spacing"), 5.431 / std::sqrt(3.0), 1e-14);
    EXPECT_NEAR(jsonNumber(json, "volume"), 5.431 * 5.431 * 5.431, 1e-12);
    EXPECT_NE(json.find("\"system\":\"Cubic\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"cell\":{\"a\":5.431,\"b\":5.431,\"c\":5.431,\"alpha\":90,\"beta\":90,"
                        "\"gamma\":90}"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"plane\":[1,1,1]"), std::string::npos) << json;
    EXPECT_NE(json.find("\"notes\":[]"), std::string::npos) << json;
    // Only what was asked.
    EXPECT_EQ(json.find("interplanar_angle"), std::string::npos) << json;
    EXPECT_EQ(json.find("direction_angle"), std::string::npos) << json;
}

TEST(CrystalCommandTest, SystemRulesOverrideFixedFieldsWithANote) {
    CrystalRequest request;
    request.system = "Cubic";
    request.cell = {"4", "7", "9", "60", "70", "80"};
    request.volume = true;
    request.json = true;
    const std::string json = run(request);
    EXPECT_EQ(jsonNumber(json, "volume"), 64);
    EXPECT_NE(json.find("\"b\":4,\"c\":4,\"alpha\":90"), std::string::npos) << json;
    EXPECT_NE(json.find("--b ignored: a Cubic cell takes b = a"), std::string::npos) << json;
    EXPECT_NE(json.find("--gamma ignored"), std::string::npos) << json;

    request.system = "Hexagonal";
    const std::string hexagonal = run(request);
    EXPECT_EQ(jsonNumber(hexagonal, "gamma"), 120);
    EXPECT_EQ(jsonNumber(hexagonal, "c"), 9);  // c is free for a hexagonal cell
    EXPECT_NEAR(jsonNumber(hexagonal, "volume"), 0.866 * 16 * 9, 1e-12);

    request.system = "Trigonal";  // beta and gamma follow alpha
    const std::string trigonal = run(request);
    EXPECT_NE(trigonal.find("\"alpha\":60,\"beta\":60,\"gamma\":60"), std::string::npos)
        << trigonal;
}

TEST(CrystalCommandTest, UndefinedResultIsNullWithANote) {
    CrystalRequest request;
    request.plane = "0 0 0";
    request.dir1 = "1 1 0";
    request.dir2 = "2 2 0";
    request.json = true;
    const std::string json = run(request);
    EXPECT_NE(json.find("\"spacing\":null"), std::string::npos) << json;
    EXPECT_NE(json.find("\"notes\":[\"spacing undefined: plane (0 0 0) has no spacing\"]"),
              std::string::npos)
        << json;
    EXPECT_EQ(jsonNumber(json, "direction_angle"), 0);  // parallel: exactly 0
    EXPECT_NE(json.find("\"dir1\":[1,1,0],\"dir2\":[2,2,0]"), std::string::npos) << json;
}

TEST(CrystalCommandTest, ReadableLinesCarryUnits) {
    CrystalRequest request;
    request.cell[0] = "10";
    request.plane1 = "1 0 0";  // plane2 keeps its default 0 1 0
    request.dir2 = "1 1";      // [1 0 1]
    request.volume = true;
    const std::string text = run(request);
    // Right angles read 90.0002: the arccosine adds 1.5708 - pi/2 radians.
    EXPECT_NE(text.find("Interplanar angle (1 0 0) / (0 1 0) = 90.0002 degrees"), std::string::npos)
        << text;
    EXPECT_NE(text.find("Angle between directions [1 0 0] / [1 0 1] = 45.0002 degrees"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Cell volume = 1000.0000 cubic Angstroms"), std::string::npos) << text;

    request.cell[0] = "-1";
    EXPECT_NE(run(request).find("Cell volume = undefined: a must be above 0"), std::string::npos);
}

TEST(CrystalCommandTest, BadInputNamesTheOption) {
    const auto failingOption = [](const CrystalRequest& request) {
        std::ostringstream out;
        try {
            (void)runCrystal(request, out);
        } catch (const numbers::InputError& e) {
            EXPECT_TRUE(out.str().empty());
            return e.field();
        }
        return std::string("(no error)");
    };
    CrystalRequest request;
    request.system = "cubic";
    EXPECT_EQ(failingOption(request), "system");

    request = {};
    request.cell[3] = "400";
    EXPECT_EQ(failingOption(request), "alpha");
    request = {};
    request.cell[1] = "abc";  // refused even where the system fixes b
    EXPECT_EQ(failingOption(request), "b");
    request = {};
    request.cell[0] = "1e999";
    EXPECT_EQ(failingOption(request), "a");
    request = {};
    request.plane = "1  0 0";
    EXPECT_EQ(failingOption(request), "plane");
    request = {};
    request.plane2 = "1,0,0";
    EXPECT_EQ(failingOption(request), "plane2");
    request = {};
    request.dir1 = "";
    EXPECT_EQ(failingOption(request), "dir1");
}

// ---- The built program ----

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string readFile(const std::string& path) {
    std::string text;
    if (std::FILE* file = std::fopen(path.c_str(), "r")) {
        std::array<char, 4096> buffer{};
        std::size_t n = 0;
        while ((n = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) {
            text.append(buffer.data(), n);
        }
        std::fclose(file);
    }
    return text;
}

// args is passed to the shell as it stands; the tests quote what needs it.
ProgramRun runProgram(const std::string& args, const std::string& subcommand = "crystal") {
    const std::string dir = ::testing::TempDir();
    // ctest runs each test in its own process, several at once: the names must not collide.
    const std::string tag = std::to_string(getpid());
    const std::string outPath = dir + "crystal_cli_out_" + tag + ".txt";
    const std::string errPath = dir + "crystal_cli_err_" + tag + ".txt";
    const std::string command = std::string("'") + LAMIVEX_CLI_PATH + "' " + subcommand + " " +
                                args + " >'" + outPath + "' 2>'" + errPath + "'";
    ProgramRun result;
    const int raw = std::system(command.c_str());
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = readFile(outPath);
    result.err = readFile(errPath);
    std::remove(outPath.c_str());
    std::remove(errPath.c_str());
    return result;
}

TEST(CrystalProgramTest, JsonOnStdoutAndStatusZero) {
    const ProgramRun run =
        runProgram("--system Hexagonal --a 2.464 --c 6.711 --plane '0 0 2' --volume --json");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;
    EXPECT_NEAR(jsonNumber(run.out, "spacing"), 3.3555, 1e-12) << run.out;
    EXPECT_NE(run.out.find("\"system\":\"Hexagonal\""), std::string::npos) << run.out;
}

TEST(CrystalProgramTest, BadInputIsOneLineOnStderrAndStatusTwo) {
    for (const auto& [args, option] :
         {std::pair{"--a abc", "--a:"}, std::pair{"--system cubic", "--system:"},
          std::pair{"--system Triclinic --alpha 400", "--alpha:"},
          std::pair{"--plane '1  0 0'", "--plane:"},
          // Not rounded to (2 1 1), not read as [1 1 11] or [0 0 1].
          std::pair{"--plane '1.5 1 1'",
                    "--plane: Incorrect Miller plane: Miller indices must "
                    "be whole numbers; 1.5 in '1.5 1 1' is not"},
          std::pair{"--plane1 '1 1 0.4'", "--plane1: Incorrect Miller plane: Miller indices"},
          std::pair{"--dir1 '1 1 1 1'", "--dir1: a direction has three indices u v w"},
          std::pair{"--dir2 '1,1,1'", "--dir2: expected \"u v w\", numbers separated by"}}) {
        const ProgramRun run = runProgram(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_TRUE(run.out.empty()) << args << ": " << run.out;
        EXPECT_NE(run.err.find(option), std::string::npos) << args << ": " << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << args << ": " << run.err;
    }
}

TEST(CrystalProgramTest, UndefinedResultIsNotAnError) {
    const ProgramRun run = runProgram("--a 0 --volume --json");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("\"volume\":null"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("volume undefined: a must be above 0"), std::string::npos) << run.out;
}

TEST(SurfaceProgramTest, MeshesReachTheJsonAndTheScansThatUseThem) {
    const std::string data = LAMIVEX_TEST_DATA_DIR;
    const ProgramRun fe = runProgram("'" + data + "/fe.cif' --hkl '1 1 0' --json", "surface");
    ASSERT_EQ(fe.status, 0) << fe.err;
    EXPECT_NEAR(jsonNumber(fe.out, "a1"), 2.482462, 1e-6);
    EXPECT_NEAR(jsonNumber(fe.out, "alpha"), 70.528779, 1e-6);
    EXPECT_NE(fe.out.find("\"mesh_type\":\"centred rectangular\""), std::string::npos);
    EXPECT_NEAR(jsonNumber(fe.out, "b"), 4.053843, 1e-6);  // the conventional rectangle

    // A scan on Cu(111) from the file is the scan on the mesh typed in, hexagonal.
    const std::string overlayer = " --b1 4.4274 --b2 4.4274 --beta 60 --json";
    const ProgramRun fromFile = runProgram(
        "--substrate-cif '" + data + "/cu.cif' --substrate-hkl '1 1 1'" + overlayer, "scan");
    const ProgramRun typed = runProgram(
        "--hexagonal --a1 2.5561910139893693 --a2 2.5561910139893693 --alpha 60 "
        "--substrate-name 'Cu(111)'" +
            overlayer,
        "scan");
    ASSERT_EQ(fromFile.status, 0) << fromFile.err;
    EXPECT_EQ(fromFile.out.substr(0, fromFile.out.find("\"warnings\"")),
              typed.out.substr(0, typed.out.find("\"warnings\"")));
    EXPECT_NEAR(jsonNumber(fromFile.out, "vvo"), -0.5, 1e-3);

    const struct {
        std::string args;
        std::string subcommand;
        std::string says;
    } kRefused[] = {
        {"'" + data + "/no_cell.cif'", "surface", "surface: --file: no_cell.cif gives no cell"},
        {"'" + data + "/cu.cif' --hkl '1 1'", "surface", "surface: --hkl: expected"},
        {"'" + data + "/cu.cif' --hkl '1.5 1 1'", "surface",
         "surface: --hkl: Miller indices must be whole numbers"},
        {"--substrate-cif '" + data + "/cu.cif' --substrate-hkl '1.4 1 1'", "scan",
         "scan: --substrate-hkl: Miller indices must be whole numbers"},
        {"'" + data + "/no_angles.cif'", "surface",
         "surface: --file: no_angles.cif gives no _cell_angle_alpha"},
        {"--substrate-cif '" + data + "/cu.cif'", "scan", "scan: --substrate-hkl: "},
        {"--overlayer-cif '" + data + "/unknown_group.cif' --overlayer-hkl '1 0 0'", "scan",
         "scan: --overlayer-cif: unknown_group.cif names the space group"},
    };
    for (const auto& c : kRefused) {
        const ProgramRun run = runProgram(c.args, c.subcommand);
        EXPECT_EQ(run.status, 2) << c.args;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    }
}

}  // namespace
}  // namespace lamivex::cli
