#pragma once
// A bulk crystal from a CIF file: its conventional cell and the centring translations of
// its space group.

#include <string>

#include "crystal/surface_mesh.h"

namespace lamivex::crystal {

// Throws std::invalid_argument naming what is missing or wrong: a file that cannot be read
// or is not CIF, no cell, a cell length or angle that is missing, unknown ('?', '.') or not a
// number, no space group or one that is not known. A leading UTF-8 byte-order mark is skipped.
[[nodiscard]] BulkLattice readCrystalFile(const std::string& path);

}  // namespace lamivex::crystal
