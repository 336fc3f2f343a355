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
    const crystal::IndexReading<crystal::MillerPlane> reading =
        crystal::readWholeMillerPlane(hklText);
    if (!reading.indices) {
        numbers::failInput(hklOption, reading.problem);
    }
    const crystal::MillerPlane& plane = *reading.indices;
    if (plane.h == 0 && plane.k == 0 && plane.l == 0) {
        numbers::failInput(hklOption, "the plane 0 0 0 is no plane: give h k l not all 0");
    }
    crystal::BulkLattice bulk;
    try {
        bulk = crystal::readCrystalFile(path);
    } catch (const std::invalid_argument& error) {
        numbers::failInput(fileOption, error.what());
    }
    try {
        crystal::SurfaceMesh mesh = crystal::surfaceMesh(bulk, {plane.h, plane.k, plane.l});
        if (bulkOut != nullptr) {
            *bulkOut = bulk;
        }
        return mesh;
    } catch (const std::invalid_argument& error) {
        numbers::failInput(fileOption, error.what());
    }
}

}  // namespace lamivex::cli
