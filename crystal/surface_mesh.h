#pragma once
// The surface mesh of a plane (h k l) of a bulk crystal: the 2D lattice of every lattice
// translation (the centring ones included) that lies in the plane, reduced to its shortest
// basis and written as the main window takes a lattice: a1 <= a2, alpha from 60 to 90.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "lattice/symmetry.h"

namespace lamivex::crystal {

// A conventional cell with its centring translations, in 24ths of the cell edges (the
// translations of C, I, F, R and the like are all whole 24ths). The zero translation may be
// left out.
struct BulkLattice {
    double a = 1;
    double b = 1;
    double c = 1;
    double alpha = 90;  // degrees
    double beta = 90;
    double gamma = 90;
    std::vector<std::array<int, 3>> centring;
    std::string spaceGroup;  // as the file names it, for the messages
    std::string name;        // the data block's name ("Cu")
};

using Vector3 = std::array<double, 3>;

using MeshType = lattice::BravaisType;

[[nodiscard]] const char* meshTypeName(MeshType type);  // "hexagonal", "centred rectangular", ...

struct SurfaceMesh {
    std::array<int, 3> hkl{};
    double a1 = 0;  // Angstroms, a1 <= a2
    double a2 = 0;
    double alpha = 0;        // degrees, 60..90
    bool hexagonal = false;  // a1 = a2 at 60°: the main window's Hexagonal
    MeshType type = MeshType::Oblique;
    // The two basis vectors: Cartesian (a along x, b in the xy plane), Angstroms, and in
    // fractions of the conventional cell's edges.
    Vector3 v1{};
    Vector3 v2{};
    Vector3 v1Fractional{};
    Vector3 v2Fractional{};
    double spacing = 0;  // between neighbouring lattice planes (h k l), Angstroms
    // A centred rectangular mesh also as its conventional rectangle (two lattice points).
    std::optional<std::array<double, 2>> conventional;
};

// Throws std::invalid_argument naming what is wrong: a cell edge not above 0, angles that
// make no cell, the plane 0 0 0, a centring translation that is not one.
[[nodiscard]] SurfaceMesh surfaceMesh(const BulkLattice& bulk, std::array<int, 3> hkl);

// "Cu(111)": the crystal's name and the plane ("(1 -1 10)" once an index has two digits).
[[nodiscard]] std::string meshName(const BulkLattice& bulk, const SurfaceMesh& mesh);

// A length or angle of a mesh as a lattice field takes it: the shortest text that reads back
// as the same double.
[[nodiscard]] std::string meshFieldText(double value);

// The cell's edges as Cartesian vectors, a along x and b in the xy plane.
[[nodiscard]] std::array<Vector3, 3> cellVectors(const BulkLattice& bulk);

}  // namespace lamivex::crystal
