#include "cli/crystal_mesh_options.h"

#include <stdexcept>

#include <fmt/format.h>

#include "crystal/crystal_file.h"
#include "crystal/index_parse.h"
#include "numbers/input_error.h"

namespace lamivex::cli {

crystal::SurfaceMesh meshFromCrystalFile(const std::string& path, const std::string& hklText,
                                         const std::string& fileOption,
                                         const std::string& hklOption,
                                         crystal::BulkLattice* bulkOut) {
    const std::optional<crystal::MillerPlane> plane = crystal::parseMillerPlane(hklText);
    if (!plane) {
        numbers::failInput(hklOption, fmt::format("expected \"h k l\", three whole numbers "
                                                  "separated by single blanks, got '{}'",
                                                  hklText));
    }
    if (plane->h == 0 && plane->k == 0 && plane->l == 0) {
        numbers::failInput(hklOption, "the plane 0 0 0 is no plane: give h k l not all 0");
    }
    crystal::BulkLattice bulk;
    try {
        bulk = crystal::readCrystalFile(path);
    } catch (const std::invalid_argument& error) {
        numbers::failInput(fileOption, error.what());
    }
    try {
        crystal::SurfaceMesh mesh = crystal::surfaceMesh(bulk, {plane->h, plane->k, plane->l});
        if (bulkOut != nullptr) {
            *bulkOut = bulk;
        }
        return mesh;
    } catch (const std::invalid_argument& error) {
        numbers::failInput(fileOption, error.what());
    }
}

}  // namespace lamivex::cli
