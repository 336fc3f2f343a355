#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include <fmt/format.h>

#include "engine/rotation_scan.h"
#include "run_command.h"

namespace lamivex::testing {
namespace {

namespace fs = std::filesystem;

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t pos = text.find(what); pos != std::string::npos;
         pos = text.find(what, pos + 1)) {
        ++n;
    }
    return n;
}

fs::path scratchFolder() {
    const fs::path dir =
        fs::temp_directory_path() /
        ("lamivex-cli-" +
         std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

TEST(CliScanTest, JsonBestIsTheEnginesAtFullPrecision) {
    const CommandResult r = runCli(
        {"scan", "--json", "--b1", "7.3", "--b2", "5.1", "--beta", "75", "--max-multiple", "2"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;

    engine::MainFieldTexts f;
    f.b1 = "7.3";
    f.b2 = "5.1";
    f.beta = "75";
    f.chkgeo = true;
    f.txtUplim = "2";
    engine::ScanResults results;
    engine::BestOrientation best;
    engine::ScanInputs in = engine::scanInputsFrom(engine::captureRun(f));
    in.kernel = engine::KernelPath::Scalar;  // the reference arithmetic, to the last digit
    engine::runRotationScan(in, results, best);
    const std::string expected = fmt::format(
        "{{\"steps\":241,\"best\":{{\"vvo\":{},\"angle\":{},\"m11\":{},\"m12\":{},\"m21\":{},"
        "\"m22\":{},\"b1_multiple\":{},\"b2_multiple\":{}}},",
        best.BestVVo, best.BestAngle, best.BestPx, best.BestQy, best.BestQx, best.BestPy,
        best.BestB1Multiple, best.BestB2Multiple);
    EXPECT_EQ(r.out.substr(0, expected.size()), expected);
}

TEST(CliScanTest, HexagonalRootThreeLayerAtThirtyDegrees) {
    const CommandResult r = runCli({"scan", "--json", "--hexagonal", "--alpha", "60", "--b1",
                                    "17.32051", "--b2", "17.32051", "--beta", "60"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"angle\":30.001,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"vvo\":-0.4999"), std::string::npos) << r.out;
}

TEST(CliScanTest, TableHasOneRowPerStep) {
    const CommandResult r = runCli({"scan", "--json", "--table"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(count(r.out, "\"angle\":"), 1U + 241U);
    EXPECT_NE(r.out.find("\"table\":[{\"angle\":0.001,\"vvo\":"), std::string::npos);
    EXPECT_EQ(r.out.back(), '\n');
}

TEST(CliScanTest, TableWithoutJsonIsPrintedAfterTheResult) {
    const CommandResult r = runCli({"scan", "--table", "--upper", "1"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::size_t heading = r.out.find("\n\n      angle                     vvo b1_multiple");
    ASSERT_NE(heading, std::string::npos) << r.out;
    EXPECT_EQ(count(r.out.substr(heading), "\n"), 2U + 1U + 5U);  // blank, heading, steps 0..4
    EXPECT_NE(r.out.find("\n      0.751 "), std::string::npos) << r.out;
}

TEST(CliScanTest, TextShowsTheResultsFrame) {
    const CommandResult r = runCli({"scan", "--hexagonal", "--alpha", "60", "--b1", "17.32051",
                                    "--b2", "17.32051", "--beta", "60"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Orientation Angle = 30.00\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("V/Vo = -5.000E-01\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("m11 = "), std::string::npos);
}

TEST(CliScanTest, ReportFileHasHeaderAndRowsWithCrLf) {
    const fs::path dir = scratchFolder();
    const fs::path report = dir / "out.epi";
    const CommandResult r =
        runCli({"scan", "--report", report.string(), "--substrate-name", "Cu(100)"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::ifstream in(report, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.rfind("Lamivex Version 5.0\r\nEpitaxy Calculation\r\nJuly 1999\r\n", 0), 0U);
    EXPECT_NE(text.find(" SUBSTRATE : Cu(100)\r\n"), std::string::npos);
    EXPECT_EQ(count(text, "\r\n"), 30U + 241U);
    EXPECT_EQ(count(text, "\n"), 30U + 241U);
    fs::remove_all(dir);
}

TEST(CliScanTest, BadInputIsOneLineNamingTheOptionWithStatusTwo) {
    const fs::path dir = scratchFolder();
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--a1", "5.4x"}, "--a1"},
        {{"--spacing", "0"}, "--spacing"},
        {{"--upper", "-5"}, "--upper"},
        {{"--m", "-1"}, "--m"},
        {{"--spacing", "0.0015"}, "--spacing"},  // 40000 steps
        {{"--max-multiple", "0"}, "--max-multiple"},
        {{"--alpha", "180"}, "--alpha"},
        {{"--report", (dir / "missing" / "out.epi").string()}, "--report"},
        {{"--no-such-option"}, "--no-such-option"},
    };
    for (const auto& [args, option] : cases) {
        std::vector<std::string> all = {"scan"};
        all.insert(all.end(), args.begin(), args.end());
        const CommandResult r = runCli(all);
        EXPECT_EQ(r.status, 2) << option;
        EXPECT_TRUE(r.out.empty()) << option << ": " << r.out;
        EXPECT_EQ(count(r.err, "\n"), 1U) << r.err;
        EXPECT_NE(r.err.find(option), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(dir / "missing"));
    EXPECT_TRUE(fs::is_empty(dir));
    fs::remove_all(dir);
}

TEST(CliScanTest, HelpNamesEveryOptionWithUnits) {
    const CommandResult r = runCli({"scan", "--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* option :
         {"--a1", "--a2", "--alpha", "--b1", "--b2", "--beta", "--hexagonal", "--m", "--n",
          "--lower", "--upper", "--spacing", "--max-multiple", "--substrate-name",
          "--overlayer-name", "--report", "--json", "--table"}) {
        EXPECT_NE(r.out.find(option), std::string::npos) << option;
    }
    EXPECT_NE(r.out.find("Angstroms"), std::string::npos);
    EXPECT_NE(r.out.find("degrees"), std::string::npos);
}

}  // namespace
}  // namespace lamivex::testing

namespace lamivex::testing {
namespace {

std::string fileStart(const std::filesystem::path& path, std::size_t bytes) {
    std::ifstream in(path, std::ios::binary);
    std::string text(bytes, '\0');
    in.read(text.data(), static_cast<std::streamsize>(bytes));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

TEST(CliPlotTest, WritesTheGraphInTheTypeItsNameAsksFor) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / "lamivex-cli-plot-test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    for (const auto& [name, magic] : std::vector<std::pair<std::string, std::string>>{
             {"g.png", "\x89PNG"}, {"g.pdf", "%PDF"}}) {
        const CommandResult r = runCli({"scan", "--plot", (dir / name).string()});
        EXPECT_EQ(r.status, 0) << name << ": " << r.err;
        EXPECT_EQ(fileStart(dir / name, magic.size()), magic) << name;
    }
    const CommandResult svg = runCli({"scan", "--plot", (dir / "g.svg").string()});
    EXPECT_EQ(svg.status, 0) << svg.err;
    EXPECT_NE(fileStart(dir / "g.svg", 4096).find("<svg"), std::string::npos);

    const CommandResult jpg = runCli({"scan", "--plot", (dir / "g.jpg").string()});
    EXPECT_EQ(jpg.status, 2);
    EXPECT_NE(jpg.err.find("--plot"), std::string::npos) << jpg.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "g.jpg"));
    std::filesystem::remove_all(dir);
}

// The width and height in a PNG's header.
std::pair<int, int> pngSize(const std::filesystem::path& png) {
    const std::string head = fileStart(png, 24);
    if (head.size() < 24) {
        return {0, 0};
    }
    const auto word = [&head](std::size_t at) {
        int value = 0;
        for (std::size_t i = at; i < at + 4; ++i) {
            value = value * 256 + static_cast<unsigned char>(head[i]);
        }
        return value;
    };
    return {word(16), word(20)};
}

TEST(CliPlotTest, FiguresHaveTheSizeAskedForAndEmbedTheirFont) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / "lamivex-cli-figure-test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const struct {
        std::vector<std::string> args;
        std::pair<int, int> size;
    } kCases[] = {
        {{"scan", "--plot", (dir / "a.png").string(), "--size", "1200x900"}, {1200, 900}},
        {{"scan", "--plot", (dir / "b.png").string(), "--size", "4x3in", "--dpi", "300"},
         {1200, 900}},
        {{"scan", "--plot", (dir / "c.png").string()}, {907, 680}},  // 160 x 120 mm at 144 dpi
        {{"iterate", "--b1-range", "9.5:10.5:0.5", "--plot", (dir / "h.png").string(), "--size",
          "800x600", "--quiet"},
         {800, 600}},
    };
    for (const auto& c : kCases) {
        const std::string& png = *std::find_if(c.args.begin(), c.args.end(),
                                               [](const auto& a) { return a.ends_with(".png"); });
        const CommandResult r = runCli(c.args);
        ASSERT_EQ(r.status, 0) << png << ": " << r.err;
        EXPECT_EQ(pngSize(png), c.size) << png;
    }

    const std::filesystem::path pdf = dir / "g.pdf";
    ASSERT_EQ(runCli({"scan", "--plot", pdf.string()}).status, 0);
    FILE* pipe = popen(("pdffonts '" + pdf.string() + "'").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string fonts;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        fonts += buffer;
    }
    ASSERT_EQ(pclose(pipe), 0) << "pdffonts (poppler-utils) failed";
    // Below the heading's rule, one line per font: ... emb sub uni object-number generation.
    std::istringstream lines(fonts.substr(fonts.find("---")));
    std::string line;
    std::getline(lines, line);
    int listed = 0;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::vector<std::string> w{std::istream_iterator<std::string>(words), {}};
        ASSERT_GE(w.size(), 6U) << line;
        EXPECT_EQ(w[w.size() - 5], "yes") << "not embedded: " << line;
        ++listed;
    }
    EXPECT_GE(listed, 1) << fonts;
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace lamivex::testing
