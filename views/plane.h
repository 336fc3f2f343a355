#pragma once
// Vectors and lattice bases in the surface plane, in Cartesian coordinates: x along the
// substrate's a1, y at +90°. Lengths in Angstroms, reciprocal lengths in 1/Angstrom. The
// vector, the basis and the lattice questions are the lattice library's; the views add the
// plane's rotations and mirrors.

#include <cmath>
#include <optional>

#include "lattice/basis2.h"

namespace lamivex::views {

using lattice::Basis2;
using lattice::cross;
using lattice::dot;
using lattice::matrixOf;
using lattice::nearestLatticePoint;
using lattice::sameLattice;
using lattice::Vec2;

// A 2×2 linear map of the plane: a rotation, a mirror or their product.
struct PlaneMap {
    double xx = 1;
    double xy = 0;
    double yx = 0;
    double yy = 1;

    [[nodiscard]] Vec2 operator()(Vec2 v) const {
        return {xx * v.x + xy * v.y, yx * v.x + yy * v.y};
    }
};

[[nodiscard]] PlaneMap rotation(double radians);
// The mirror across the line through the origin at the given direction.
[[nodiscard]] PlaneMap mirror(double lineRadians);
[[nodiscard]] PlaneMap operator*(const PlaneMap& a, const PlaneMap& b);  // b first, then a

[[nodiscard]] inline Basis2 mapped(const Basis2& basis, const PlaneMap& map) {
    return {map(basis.v1), map(basis.v2)};
}

// The Gauss-reduced basis of the same lattice: |v1| ≤ |v2| and |v1 · v2| ≤ |v1|² / 2, so that
// the nearest lattice point of any point is a corner of the cell around it.
[[nodiscard]] inline Basis2 reduced(const Basis2& basis) {
    return lattice::reduceKeepingHandedness(basis).basis;
}

}  // namespace lamivex::views
