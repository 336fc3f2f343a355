#pragma once
// The atoms of a bulk crystal from a CIF file: its cell and centring (as the surface mesh
// reads them) and every atom of the conventional cell, the symmetry copies included.

#include <array>
#include <string>
#include <vector>

#include "crystal/surface_mesh.h"

namespace lamivex::model {

struct CellAtom {
    std::string element;             // "Cu", "C"
    std::array<double, 3> fraction;  // of the conventional cell's edges, each in [0, 1)
};

struct CrystalAtoms {
    crystal::BulkLattice bulk;
    std::vector<CellAtom> atoms;
    std::string fileName;  // for the messages: "cu.cif"
};

// Throws std::invalid_argument for a file the crystal reader refuses, and for one that lists
// no atoms (no _atom_site_fract_x, _y, _z) or an element that is not known.
[[nodiscard]] CrystalAtoms readCrystalAtoms(const std::string& path);

}  // namespace lamivex::model
