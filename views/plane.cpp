#include "views/plane.h"

#include <numbers>
#include <utility>

namespace lamivex::views {

PlaneMap rotation(double radians) {
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    return {c, -s, s, c};
}

PlaneMap mirror(double lineRadians) {
    const double c = std::cos(2 * lineRadians);
    const double s = std::sin(2 * lineRadians);
    return {c, s, s, -c};
}

PlaneMap operator*(const PlaneMap& a, const PlaneMap& b) {
    return {a.xx * b.xx + a.xy * b.yx, a.xx * b.xy + a.xy * b.yy, a.yx * b.xx + a.yy * b.yx,
            a.yx * b.xy + a.yy * b.yy};
}

Vec2 Basis2::coordinates(Vec2 point) const {
    const double det = cross(v1, v2);
    return {cross(point, v2) / det, cross(v1, point) / det};
}

Basis2 Basis2::reciprocal() const {
    const double scale = 2 * std::numbers::pi / cross(v1, v2);
    return {scale * Vec2{v2.y, -v2.x}, scale * Vec2{-v1.y, v1.x}};
}

Basis2 reduced(Basis2 basis) {
    // Lagrange's reduction: subtract the nearest multiple of the shorter vector until the
    // longer one no longer gets shorter. Each round shortens a vector, so it ends.
    if (basis.v1.length() > basis.v2.length()) {
        std::swap(basis.v1, basis.v2);
    }
    for (int round = 0; round < 200; ++round) {
        const double k = std::round(dot(basis.v1, basis.v2) / dot(basis.v1, basis.v1));
        if (k == 0) {
            break;
        }
        basis.v2 = basis.v2 - k * basis.v1;
        if (basis.v2.length() >= basis.v1.length()) {
            break;
        }
        std::swap(basis.v1, basis.v2);
    }
    return basis;
}

bool sameLattice(const Basis2& a, const Basis2& b, double tolerance) {
    const Vec2 u = a.coordinates(b.v1);
    const Vec2 v = a.coordinates(b.v2);
    for (const double c : {u.x, u.y, v.x, v.y}) {
        if (std::fabs(c - std::round(c)) > tolerance * std::max(1.0, std::fabs(c))) {
            return false;
        }
    }
    const double det = std::round(u.x) * std::round(v.y) - std::round(u.y) * std::round(v.x);
    return std::fabs(det) == 1;
}

Vec2 nearestLatticePoint(const Basis2& reducedBasis, Vec2 point) {
    const Vec2 f = reducedBasis.coordinates(point);
    const double u0 = std::floor(f.x);
    const double v0 = std::floor(f.y);
    Vec2 best = reducedBasis.at(u0, v0);
    double bestDistance = (point - best).length();
    // The corners of the cell, and one ring more for bases reduced only to rounding.
    for (int du = -1; du <= 2; ++du) {
        for (int dv = -1; dv <= 2; ++dv) {
            const Vec2 candidate = reducedBasis.at(u0 + du, v0 + dv);
            const double distance = (point - candidate).length();
            if (distance < bestDistance) {
                best = candidate;
                bestDistance = distance;
            }
        }
    }
    return best;
}

}  // namespace lamivex::views
