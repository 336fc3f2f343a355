// The two views on the command line: what their JSON says, that their files open in another
// program's renderer at the size asked for, and what they refuse.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "run_command.h"

namespace lamivex::testing {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kRootThree = {"--hexagonal", "--a1",   "2.8836", "--a2",   "2.8836",
                                             "--alpha",     "60",     "--b1",   "4.9945", "--b2",
                                             "4.9945",      "--beta", "60"};
const std::vector<std::string> kOblique = {"--hexagonal", "--a1",   "2.8836", "--a2",    "2.8836",
                                           "--alpha",     "60",     "--b1",   "7.3",     "--b2",
                                           "5.1",         "--beta", "75",     "--angle", "13.7"};

std::vector<std::string> with(std::vector<std::string> head, const std::vector<std::string>& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

double numberAfter(const std::string& json, const std::string& key) {
    const std::string quoted = "\"" + key + "\":";
    const std::size_t at = json.find(quoted);
    return at == std::string::npos ? std::nan("")
                                   : std::strtod(json.c_str() + at + quoted.size(), nullptr);
}

fs::path scratch() {
    const fs::path dir =
        fs::temp_directory_path() /
        ("lamivex-view-" +
         std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

TEST(CliViewTest, LeedJsonCountsOrientationsAndDistinctDomains) {
    const struct {
        std::vector<std::string> lattice;
        std::vector<std::string> extra;
        int orientations;
        std::size_t domains;
    } kCases[] = {
        {kRootThree, {}, 12, 1},  // at the scan's best orientation, 30.001°
        {kOblique, {}, 12, 6},
        {kOblique, {"--no-mirror"}, 6, 3},
        {kOblique, {"--domains", "one"}, 1, 1},
    };
    for (const auto& c : kCases) {
        const CommandResult r = runCli(with(with({"view", "leed", "--json"}, c.lattice), c.extra));
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(numberAfter(r.out, "orientations"), c.orientations) << r.out.substr(0, 300);
        EXPECT_EQ(count(r.out, "\"rotation_deg\":"), c.domains);
        EXPECT_NEAR(numberAfter(r.out, "k0"), 0.5123 * std::sqrt(60.0), 1e-3);
        EXPECT_EQ(count(r.out, "\"source\":\"substrate\""), 7U);  // (0,0) and the first ring
    }
}

TEST(CliViewTest, RealSpaceJsonOfACommensurateCellIsInRegistry) {
    const CommandResult r = runCli(with(with({"view", "real-space", "--json"}, kRootThree),
                                        {"--angle", "30", "--m", "3", "--n", "3"}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(count(r.out, "\"registry\":"), 49U);
    // 4.9945 is √3 · 2.8836 to 4 parts in 10^5: 1e-4 of a spacing across three cells.
    EXPECT_LT(numberAfter(r.out, "largest_registry"), 1e-3);
    EXPECT_NE(r.out.find("\"substrate_kind\":\"hexagonal\""), std::string::npos);
    EXPECT_NE(r.out.find("\"supercell\":null"), std::string::npos);

    // A geometric solution's supercell, given by its multiples.
    const CommandResult super = runCli(with(with({"view", "real-space", "--json"}, kRootThree),
                                            {"--angle", "30", "--b1-multiple", "2", "--m", "1"}));
    ASSERT_EQ(super.status, 0) << super.err;
    EXPECT_NE(super.out.find("\"supercell\":{\"b1\":"), std::string::npos);
}

TEST(CliViewTest, PicturesOpenElsewhereAndHaveTheSizeAskedFor) {
    const fs::path dir = scratch();
    for (const char* view : {"real-space", "leed"}) {
        const fs::path svg = dir / (std::string(view) + ".svg");
        const fs::path png = dir / (std::string(view) + ".png");
        ASSERT_EQ(runCli(with({"view", view, "--out", svg.string()}, kRootThree)).status, 0);
        const CommandResult r =
            runCli(with({"view", view, "--out", png.string(), "--size", "640x480"}, kRootThree));
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;

        // The PNG header: width and height, big-endian, after the signature and "IHDR".
        std::ifstream in(png, std::ios::binary);
        unsigned char header[24] = {};
        in.read(reinterpret_cast<char*>(header), sizeof header);
        const auto word = [&](int at) {
            return (header[at] << 24) | (header[at + 1] << 16) | (header[at + 2] << 8) |
                   header[at + 3];
        };
        EXPECT_EQ(word(16), 640) << view;
        EXPECT_EQ(word(20), 480) << view;

        if (std::system("command -v rsvg-convert >/dev/null 2>&1") != 0) {
            ADD_FAILURE() << "rsvg-convert (Debian's librsvg2-bin) is needed to check the SVG";
            continue;
        }
        const fs::path converted = dir / (std::string(view) + "-rsvg.png");
        const std::string command =
            "rsvg-convert '" + svg.string() + "' -o '" + converted.string() + "' 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << view;
        EXPECT_GT(fs::file_size(converted), 1000U) << view;
    }
    fs::remove_all(dir);
}

TEST(CliViewTest, RefusesWhatItCannotShow) {
    for (const std::vector<std::string>& extra : std::vector<std::vector<std::string>>{
             {"--energy", "0"},
             {"--energy", "abc"},
             {"--domains", "some"},
             {"--size", "10x10"},
             {"--size", "800"},
             {"--zoom", "0.5"},
             {"--out", "pattern.bmp"},
             {"--b1-multiple", "0"},
             {"--matrix", "1 1 -1 2"},  // with the --b1 of the lattice
         }) {
        const CommandResult r = runCli(with(with({"view", "leed"}, kRootThree), extra));
        EXPECT_EQ(r.status, 2) << extra[0] << " " << extra[1];
        EXPECT_NE(r.err.find("lamivex-cli view leed: --"), std::string::npos) << r.err;
    }
}

}  // namespace
}  // namespace lamivex::testing
