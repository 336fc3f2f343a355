#pragma once
// A crystal's plane (h k l) as a stack of atomic layers: the atoms of one period of the
// stack, in fractions of the plane's surface mesh and heights along its normal v1 × v2.

#include <array>
#include <string>
#include <vector>

#include "crystal/surface_mesh.h"
#include "model/crystal_atoms.h"

namespace lamivex::model {

// Atoms whose heights differ by no more than this are one layer, Angstroms.
inline constexpr double kLayerTolerance = 0.01;

struct LayerAtom {
    std::string element;
    double u = 0;       // along v1 (b1 for an overlayer), in [0, 1)
    double v = 0;       // along v2
    double height = 0;  // Angstroms along the normal v1 × v2
};

struct AtomLayer {
    std::vector<LayerAtom> atoms;
    [[nodiscard]] std::string composition() const;  // "Cu", "C2", "Ti O2"
};

struct PlaneLayers {
    crystal::SurfaceMesh mesh;
    std::string name;  // "Cu(111)"
    // One period of the stack, the top layer first; heights from 0 (bottom) up to below
    // period.
    std::vector<AtomLayer> layers;
    double period = 0;                    // the plane spacing, Angstroms
    std::array<double, 2> periodShift{};  // the in-plane part of the lattice vector one period
                                          // up, in fractions of v1 and v2
};

// Throws std::invalid_argument for a plane the surface mesh refuses.
[[nodiscard]] PlaneLayers planeLayers(const CrystalAtoms& crystal, std::array<int, 3> hkl);

}  // namespace lamivex::model
