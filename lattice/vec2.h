#pragma once
// A vector in the surface plane, Cartesian: x along the substrate's a1, y at +90°.
// Lengths in Angstroms (reciprocal vectors in 1/Angstrom).

#include <cmath>

namespace lamivex::lattice {

struct Vec2 {
    double x = 0;
    double y = 0;

    [[nodiscard]] double length() const { return std::hypot(x, y); }
    [[nodiscard]] double direction() const { return std::atan2(y, x); }  // radians from x
    friend Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
    friend Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
    friend Vec2 operator-(Vec2 a) { return {-a.x, -a.y}; }
    friend Vec2 operator*(double s, Vec2 v) { return {s * v.x, s * v.y}; }
};

[[nodiscard]] inline double dot(Vec2 a, Vec2 b) {
    return a.x * b.x + a.y * b.y;
}
[[nodiscard]] inline double cross(Vec2 a, Vec2 b) {
    return a.x * b.y - a.y * b.x;
}

}  // namespace lamivex::lattice
