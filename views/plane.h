#pragma once
// Vectors and lattice bases in the surface plane, in Cartesian coordinates: x along the
// substrate's a1, y at +90°. Lengths in Angstroms, reciprocal lengths in 1/Angstrom.

#include <cmath>
#include <optional>

namespace lamivex::views {

struct Vec2 {
    double x = 0;
    double y = 0;

    [[nodiscard]] double length() const { return std::hypot(x, y); }
    friend Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
    friend Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
    friend Vec2 operator*(double s, Vec2 v) { return {s * v.x, s * v.y}; }
};

[[nodiscard]] inline double dot(Vec2 a, Vec2 b) {
    return a.x * b.x + a.y * b.y;
}
[[nodiscard]] inline double cross(Vec2 a, Vec2 b) {
    return a.x * b.y - a.y * b.x;
}

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

struct Basis2 {
    Vec2 v1;
    Vec2 v2;

    [[nodiscard]] Vec2 at(double u, double v) const { return u * v1 + v * v2; }
    [[nodiscard]] double area() const { return std::fabs(cross(v1, v2)); }
    // The components (u, v) of point in this basis.
    [[nodiscard]] Vec2 coordinates(Vec2 point) const;
    // v_i* with v_i* · v_j = 2π δ_ij.
    [[nodiscard]] Basis2 reciprocal() const;
    [[nodiscard]] Basis2 mapped(const PlaneMap& map) const { return {map(v1), map(v2)}; }
};

// The Gauss-reduced basis of the same lattice: |v1| ≤ |v2| and |v1 · v2| ≤ |v1|² / 2, so that
// the nearest lattice point of any point is a corner of the cell around it.
[[nodiscard]] Basis2 reduced(Basis2 basis);

// True when both bases span the same lattice: each vector of one is a whole-number
// combination of the other's, with determinant ±1 (relative tolerance on the components).
[[nodiscard]] bool sameLattice(const Basis2& a, const Basis2& b, double tolerance = 1e-6);

// The lattice point of basis nearest to point.
[[nodiscard]] Vec2 nearestLatticePoint(const Basis2& reducedBasis, Vec2 point);

}  // namespace lamivex::views
