#include "cli/crystal_mesh_options.h"

#include <utility>

#include "api/crystal.h"

namespace lamivex::cli {

crystal::SurfaceMesh meshFromCrystalFile(const std::string& path, const std::string& hklText,
                                         const std::string& fileOption,
                                         const std::string& hklOption,
                                         crystal::BulkLattice* bulkOut) {
    // One reading of crystal files for the command line and the Python module.
    api::MeshFromFile read = api::surfaceMesh(path, hklText, fileOption, hklOption);
    if (bulkOut != nullptr) {
        *bulkOut = std::move(read.bulk);
    }
    return read.mesh;
}

}  // namespace lamivex::cli
