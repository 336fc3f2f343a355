#pragma once
// A lattice from a crystal file: the surface mesh of a plane of a CIF file, for `surface`
// and for the --substrate-cif/--overlayer-cif options of the commands that run scans.

#include <string>

#include "crystal/surface_mesh.h"

namespace lamivex::cli {

// The mesh of plane hklText ("1 1 1") of the crystal in path. Throws InputError naming
// fileOption for a file it cannot use and hklOption for indices it cannot read.
[[nodiscard]] crystal::SurfaceMesh meshFromCrystalFile(const std::string& path,
                                                       const std::string& hklText,
                                                       const std::string& fileOption,
                                                       const std::string& hklOption,
                                                       crystal::BulkLattice* bulk = nullptr);

}  // namespace lamivex::cli
