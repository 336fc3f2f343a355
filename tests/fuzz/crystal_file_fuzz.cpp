// Arbitrary bytes as a CIF file, then the surface meshes of a few planes: a refusal is a
// std::invalid_argument; a crash, a hang or any other exception is a fault.

#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "crystal/crystal_file.h"
#include "crystal/surface_mesh.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = (std::filesystem::temp_directory_path() /
                                     ("lamivex-fuzz-" + std::to_string(getpid()) + ".cif"))
                                        .string();
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    try {
        const lamivex::crystal::BulkLattice bulk = lamivex::crystal::readCrystalFile(path);
        // Planes from the last bytes, small enough to stay quick.
        const int h = size > 0 ? static_cast<int8_t>(data[size - 1]) % 7 : 1;
        const int k = size > 1 ? static_cast<int8_t>(data[size - 2]) % 7 : 1;
        for (const std::array<int, 3> hkl : {std::array<int, 3>{1, 1, 1}, {1, 0, 0}, {h, k, 1}}) {
            try {
                (void)lamivex::crystal::surfaceMesh(bulk, hkl);
            } catch (const std::invalid_argument&) {
            }
        }
    } catch (const std::invalid_argument&) {
    }
    return 0;
}
