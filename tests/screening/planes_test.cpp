// Planes a space group makes equivalent are listed once, and every starter crystal reads.
#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "screening/equivalent_planes.h"
#include "screening/substrate.h"

namespace lamivex::screening {
namespace {

// m-3m: the 13 planes (and opposites) with indices up to 1 fall into {100} (3 of them),
// {110} (6) and {111} (4): (100), (010) and (001) are one set.
// 4/mmm: {100} = (100), (010); {001}; {110} = (110), (1-10); {101} = (101), (011), (10-1),
// (01-1); {111} = the four (±1 ±1 1): five sets.
TEST(EquivalentPlanes, CubicAndTetragonalSetsByHand) {
    EXPECT_EQ(distinctPlanes("F m -3 m", 1),
              (std::vector<Miller>{{1, 1, 1}, {1, 1, 0}, {1, 0, 0}}));
    EXPECT_EQ(distinctPlanes("P 42/m n m", 1),
              (std::vector<Miller>{{1, 1, 1}, {1, 1, 0}, {1, 0, 1}, {1, 0, 0}, {0, 0, 1}}));
    EXPECT_THROW((void)distinctPlanes("Q 9", 1), std::invalid_argument);
}

// Each starter crystal reads through the CIF reader and gives its planes: three sets on the
// cubic crystals (-43m and its opposite faces make m-3m), five on tetragonal 4/mmm and on
// hexagonal 6/mmm ({001}, {100}, {110} named so rather than (2 -1 0), {101}, {111}).
TEST(StarterCrystals, EveryFileGivesItsDistinctPlanes) {
    const std::set<std::string> hexagonal = {"Co", "Mg", "Ru", "Zn", "graphite", "hBN"};
    const std::set<std::string> tetragonal = {"TiO2"};
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(LAMIVEX_CRYSTALS_DIR)) {
        const std::string name = entry.path().stem().string();
        const std::vector<Substrate> planes = substratesFromCrystalFile(entry.path().string(), 1);
        ++files;
        ASSERT_FALSE(planes.empty()) << name;
        EXPECT_EQ(planes.front().error, "") << name;
        EXPECT_EQ(planes.front().name, name);
        if (name == "Al2O3") {
            continue;  // trigonal: checked only for reading
        }
        const std::size_t sets = hexagonal.count(name) > 0 || tetragonal.count(name) > 0 ? 5 : 3;
        EXPECT_EQ(planes.size(), sets) << name;
        if (hexagonal.count(name) > 0) {
            std::vector<std::string> names;
            for (const Substrate& s : planes) {
                names.push_back(s.plane);
            }
            EXPECT_EQ(names,
                      (std::vector<std::string>{"(111)", "(110)", "(101)", "(100)", "(001)"}))
                << name;
        }
    }
    EXPECT_EQ(files, 29U);
}

}  // namespace
}  // namespace lamivex::screening
