#pragma once
// A basis of a 2D lattice as two Cartesian vectors, its Lagrange–Gauss reduction and the
// questions that need only the basis: coordinates, the reciprocal basis, equal lattices.

#include <optional>

#include "lattice/matrix2.h"
#include "lattice/vec2.h"

namespace lamivex::lattice {

struct Basis2 {
    Vec2 v1;
    Vec2 v2;

    // a1 along x, a2 at +angle (degrees of the program's own degree factor, as the scan's
    // matrices use them). Lengths in Angstroms.
    [[nodiscard]] static Basis2 fromParameters(double length1, double length2, double angle);

    [[nodiscard]] Vec2 at(double u, double v) const { return u * v1 + v * v2; }
    [[nodiscard]] double area() const { return std::fabs(cross(v1, v2)); }
    [[nodiscard]] bool rightHanded() const { return cross(v1, v2) > 0; }
    // The angle from v1 to v2, degrees in (0, 180) (of the program's degree factor).
    [[nodiscard]] double angle() const;
    // The components (u, v) of point in this basis.
    [[nodiscard]] Vec2 coordinates(Vec2 point) const;
    // v_i* with v_i* · v_j = 2π δ_ij (1/Angstrom).
    [[nodiscard]] Basis2 reciprocal() const;
    // The basis whose rows are matrix · (v1, v2).
    [[nodiscard]] Basis2 transformed(const Matrix2& matrix) const;
    [[nodiscard]] Basis2 transformed(const IntMatrix2& matrix) const {
        return transformed(matrix.real());
    }
};

// The rows of matrix in basis: b_i = m_i1·v1 + m_i2·v2 given as Cartesian vectors, back to the
// matrix (the inverse of Basis2::transformed).
[[nodiscard]] Matrix2 matrixOf(const Basis2& basis, const Basis2& other);

// The Lagrange–Gauss reduced basis of the same lattice, with the integral transform that
// gives it: reduced = transform · original (rows), det(transform) = ±1.
//   |v1| ≤ |v2| and 0 ≤ v1·v2 ≤ |v1|²/2, so the angle lies in 60…90° as the fields write it
// (a1 ≤ a2, alpha 60…90); v2 is turned over to reach it, which makes the basis left-handed
// when the input's obtuse angle asked for it (det(transform) = −1 then).
// Lagrange (1773) and Gauss (Disquisitiones Arithmeticae, art. 171); the algorithm as
// H. Cohen, A Course in Computational Algebraic Number Theory (Springer 1993), Algorithm
// 1.3.14, p. 23.
struct ReducedBasis {
    Basis2 basis;
    IntMatrix2 transform = kIdentity;
};
[[nodiscard]] ReducedBasis reduce(const Basis2& basis);

// The Gauss-reduced basis keeping the input's handedness: |v1| ≤ |v2|, |v1·v2| ≤ |v1|²/2
// (angle 60…120°), so that the nearest lattice point of any point is near a corner of the cell.
[[nodiscard]] ReducedBasis reduceKeepingHandedness(const Basis2& basis);

// True when both bases span the same lattice: each vector of one is a whole-number combination
// of the other's within tolerance (relative to each component's size, at least 1), with
// determinant ±1.
[[nodiscard]] bool sameLattice(const Basis2& a, const Basis2& b, double tolerance = 1e-6);

// The whole-number coordinates of point in basis, when it is a lattice point within
// tolerance (relative, as sameLattice), else nullopt.
struct IntCoordinates {
    std::int64_t u = 0;
    std::int64_t v = 0;
};
[[nodiscard]] std::optional<IntCoordinates> latticeCoordinates(const Basis2& basis, Vec2 point,
                                                               double tolerance);

// The lattice point of a reduced basis nearest to point.
[[nodiscard]] Vec2 nearestLatticePoint(const Basis2& reducedBasis, Vec2 point);

}  // namespace lamivex::lattice
