#pragma once
// The few 3D vector and matrix operations the model needs. Vectors are Cartesian,
// Angstroms; a Mat3 is three rows.

#include <array>
#include <cmath>

#include "crystal/surface_mesh.h"

namespace lamivex::model {

using Vec3 = crystal::Vector3;
using Mat3 = std::array<Vec3, 3>;

inline double dot(const Vec3& u, const Vec3& v) {
    return u[0] * v[0] + u[1] * v[1] + u[2] * v[2];
}

inline Vec3 cross(const Vec3& u, const Vec3& v) {
    return {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
}

inline Vec3 add(const Vec3& u, const Vec3& v) {
    return {u[0] + v[0], u[1] + v[1], u[2] + v[2]};
}

inline Vec3 scaled(double s, const Vec3& v) {
    return {s * v[0], s * v[1], s * v[2]};
}

inline double length(const Vec3& v) {
    return std::sqrt(dot(v, v));
}

inline Vec3 normalised(const Vec3& v) {
    return scaled(1 / length(v), v);
}

// The matrix whose columns are a, b and c.
inline Mat3 columns(const Vec3& a, const Vec3& b, const Vec3& c) {
    return {Vec3{a[0], b[0], c[0]}, Vec3{a[1], b[1], c[1]}, Vec3{a[2], b[2], c[2]}};
}

inline Vec3 product(const Mat3& m, const Vec3& v) {
    return {dot(m[0], v), dot(m[1], v), dot(m[2], v)};
}

// By the adjugate; the caller's matrices are cells, never singular.
inline Mat3 inverse(const Mat3& m) {
    const Vec3 c0 = cross(m[1], m[2]);
    const Vec3 c1 = cross(m[2], m[0]);
    const Vec3 c2 = cross(m[0], m[1]);
    const double det = dot(m[0], c0);
    return columns(scaled(1 / det, c0), scaled(1 / det, c1), scaled(1 / det, c2));
}

}  // namespace lamivex::model
