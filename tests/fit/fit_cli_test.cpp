// lamivex-cli fit leed as a user runs it: a spots file in, the cell or one refusal line out.

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "synthetic_image.h"
#include "synthetic_pattern.h"

namespace lamivex::fit {
namespace {

namespace fs = std::filesystem;

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string slurp(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class FitCli : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("lamivex-fit-cli-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path write(const std::string& name, const std::string& text) {
        std::ofstream(m_dir / name) << text;
        return m_dir / name;
    }

    // Arguments are plain words and paths without blanks here, so the shell passes them as
    // they stand.
    CliRun run(const std::string& arguments) {
        const std::string command = std::string(LAMIVEX_CLI) + " fit leed " + arguments + " >" +
                                    (m_dir / "out").string() + " 2>" + (m_dir / "err").string();
        const int status = std::system(command.c_str());
        return {WEXITSTATUS(status), slurp(m_dir / "out"), slurp(m_dir / "err")};
    }

    fs::path m_dir;
};

constexpr const char* kCu111 = " --a1 2.5562 --a2 2.5562 --alpha 60 --hexagonal";

std::string csv(const testing::SyntheticScreen& screen, bool allOverlayer) {
    std::string text = "x,y,kind\n";
    for (const Spot& s : screen.spots) {
        text += std::to_string(s.x) + "," + std::to_string(s.y) + "," +
                (allOverlayer ? "overlayer" : kindName(s.kind)) + "\n";
    }
    return text;
}

TEST_F(FitCli, FitsTheCellAndDrawsIt) {
    // (√7×√7)R19.1° on Cu(111), unmarked: b1 = 2.5562·√7 = 6.7631 Å.
    const testing::KnownPattern p{2.5562, 60, 6.763108, 6.763108, 60, 19.106605, true, 1.8};
    const fs::path spots = write("spots.csv", csv(testing::makeScreen(p, {}), false));
    const fs::path picture = m_dir / "fit.svg";
    const CliRun r = run(spots.string() + kCu111 + " --json --out " + picture.string());
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* key :
         {"\"b1\":", "\"b1_sigma\":", "\"beta_sigma\":", "\"azimuth_sigma\":", "\"rms_residual\":",
          "\"spots\":", "\"candidates\":", "\"interpretation\":", "(√7×√7)R19.1°"}) {
        EXPECT_NE(r.out.find(key), std::string::npos) << key;
    }
    EXPECT_NE(slurp(picture).find("<svg"), std::string::npos);
}

TEST_F(FitCli, RefusesWithOneLine) {
    const testing::KnownPattern p{2.5562, 60, 6.763108, 6.763108, 60, 19.106605, true, 1.8};
    const struct {
        const char* file;
        std::string text;
        const char* message;
    } cases[] = {
        {"noxy.csv", "u,v\n1,2\n3,4\n", "has no columns x and y"},
        {"few.csv", "x,y\n10,0\n0,10\n-10,0\n0,-10\n", "Too few spots: 4 given"},
        {"marked.csv", csv(testing::makeScreen(p, {}), true), "No substrate spots and no centre"},
    };
    for (const auto& c : cases) {
        const CliRun r = run(write(c.file, c.text).string() + kCu111);
        EXPECT_EQ(r.status, 2) << c.file;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.file << ": " << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << c.file;
    }
}

// A camera's files as ImageMagick writes them from the tests' own picture: the spots found
// within half a pixel of where they were painted, and the same cell fitted.
TEST_F(FitCli, FindsTheSpotsOnA16BitTiffAndAn8BitPng) {
    const testing::KnownPattern p{2.5562, 60, 6.763108, 6.763108, 60, 19.106605, true, 1.8};
    const testing::SyntheticScreen screen = testing::makeScreen(p, {});
    const testing::CameraPicture picture = testing::photograph(screen, 1200, 11);
    testing::writePgm16(picture.image, m_dir / "leed.pgm");
    const struct {
        const char* name;
        const char* depth;
    } files[] = {{"leed.tif", "16"}, {"leed.png", "8"}};
    for (const auto& f : files) {
        const std::string convert = "convert " + (m_dir / "leed.pgm").string() + " -depth " +
                                    f.depth + " " + (m_dir / f.name).string();
        ASSERT_EQ(std::system(convert.c_str()), 0) << convert;
        const fs::path found = m_dir / "found.csv";
        const CliRun r =
            run("--image " + (m_dir / f.name).string() + " --spots-out " + found.string() + kCu111 +
                " --json --out " + (m_dir / "overlay.png").string());
        ASSERT_EQ(r.status, 0) << f.name << ": " << r.err;
        std::istringstream lines(slurp(found));
        std::string line;
        std::getline(lines, line);
        EXPECT_EQ(line, "x,y,kind,height");
        std::size_t count = 0;
        while (std::getline(lines, line)) {
            ++count;
            double x = 0;
            double y = 0;
            ASSERT_EQ(std::sscanf(line.c_str(), "%lf,%lf", &x, &y), 2) << line;
            EXPECT_LT(testing::distanceToPainted(screen, x, y), 0.5) << f.name << ": " << line;
        }
        std::size_t clear = 0;
        for (const bool c : picture.clear) {
            clear += c ? 1 : 0;
        }
        EXPECT_GE(count, clear) << f.name;
        const std::size_t at = r.out.find("\"b1\":");
        ASSERT_NE(at, std::string::npos);
        EXPECT_NEAR(std::stod(r.out.substr(at + 5)), p.b1, 0.005 * p.b1) << f.name;
        EXPECT_NE(r.out.find("(√7×√7)R19.1°"), std::string::npos) << f.name;
        EXPECT_TRUE(fs::file_size(m_dir / "overlay.png") > 0);
    }
}

TEST_F(FitCli, RefusesImagesWithOneLine) {
    testing::writePgm16(testing::noisePicture(256, 4), m_dir / "noise.pgm");
    const std::string convert =
        "convert " + (m_dir / "noise.pgm").string() + " " + (m_dir / "noise.png").string();
    ASSERT_EQ(std::system(convert.c_str()), 0);
    const struct {
        std::string arguments;
        const char* message;
    } cases[] = {
        {"--image " + write("text.png", "not a picture").string(), "cannot read the image"},
        {"--image " + (m_dir / "noise.png").string(), "Too few spots"},
        {"--image " + (m_dir / "noise.png").string() + " --threshold -1", "--threshold"},
        {write("s.csv", "x,y\n").string() + " --image " + (m_dir / "noise.png").string(),
         "either a spots file or --image"},
        {write("t.csv", "x,y\n").string() + " --threshold 5", "--threshold"},
    };
    for (const auto& c : cases) {
        const CliRun r = run(c.arguments + kCu111);
        EXPECT_EQ(r.status, 2) << c.arguments;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.arguments << ": " << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << c.arguments;
    }
}

}  // namespace
}  // namespace lamivex::fit
