// The work list of crystal files is the same, in the same order, however many threads read it.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "api/screen.h"

namespace lamivex::api {
namespace {

TEST(WorkList, ThreadsReadingTheFilesKeepTheirOrderAndTheirErrors) {
    const std::filesystem::path folder =
        std::filesystem::path(::testing::TempDir()) / "lamivex_work_list";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    for (const char* name : {"Cu", "Ru", "TiO2", "W", "NaCl"}) {
        std::filesystem::copy_file(
            std::filesystem::path(LAMIVEX_CRYSTALS_DIR) / (std::string(name) + ".cif"),
            folder / (std::string(name) + ".cif"));
    }
    std::ofstream(folder / "Broken.cif") << "data_x\n_cell_length_a ?\n";

    ScreenSubstrates substrates;
    substrates.cifDirs = {folder.string()};
    substrates.meshes = {"3 3 60"};
    const std::vector<screening::Substrate> one = workList(substrates, 1, {}, 1);
    for (const int threads : {2, 3, 8}) {
        EXPECT_EQ(workList(substrates, 1, {}, threads), one) << threads;
    }
    // The mesh first, then the files by name: Broken's one entry carries its reason.
    ASSERT_EQ(one.size(), 1U + 1 + 3 + 5 + 5 + 3 + 3);
    EXPECT_EQ(one[0].name, "3 3 60");
    EXPECT_EQ(one[1].name, "Broken.cif");
    EXPECT_NE(one[1].error, "");
    EXPECT_EQ(one[2].name, "Cu");
    EXPECT_EQ(one.back().name, "W");
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace lamivex::api
