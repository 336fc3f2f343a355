#include "lattice/basis2.h"

#include <algorithm>
#include <numbers>
#include <utility>

#include "numbers/constants.h"

namespace lamivex::lattice {
namespace {

void swapRows(ReducedBasis& r) {
    std::swap(r.basis.v1, r.basis.v2);
    r.transform = {r.transform.m21, r.transform.m22, r.transform.m11, r.transform.m12};
}

void negateSecond(ReducedBasis& r) {
    r.basis.v2 = -r.basis.v2;
    r.transform.m21 = -r.transform.m21;
    r.transform.m22 = -r.transform.m22;
}

// Rounding makes the exact stop test loop on lattices at a boundary (60° against 120°):
// a step is taken only when it shortens v2 by more than this relative amount.
constexpr double kShortening = 1e-12;

}  // namespace

Basis2 Basis2::fromParameters(double length1, double length2, double angle) {
    const double a = angle * numbers::kDegree;
    return {{length1, 0}, {length2 * std::cos(a), length2 * std::sin(a)}};
}

double Basis2::angle() const {
    return std::atan2(std::fabs(cross(v1, v2)), dot(v1, v2)) / numbers::kDegree;
}

Vec2 Basis2::coordinates(Vec2 point) const {
    const double det = cross(v1, v2);
    return {cross(point, v2) / det, cross(v1, point) / det};
}

Basis2 Basis2::reciprocal() const {
    const double scale = 2 * std::numbers::pi / cross(v1, v2);
    return {scale * Vec2{v2.y, -v2.x}, scale * Vec2{-v1.y, v1.x}};
}

Basis2 Basis2::transformed(const Matrix2& m) const {
    return {m.m11 * v1 + m.m12 * v2, m.m21 * v1 + m.m22 * v2};
}

Matrix2 matrixOf(const Basis2& basis, const Basis2& other) {
    const Vec2 u = basis.coordinates(other.v1);
    const Vec2 v = basis.coordinates(other.v2);
    return {u.x, u.y, v.x, v.y};
}

ReducedBasis reduceKeepingHandedness(const Basis2& basis) {
    ReducedBasis r{basis, kIdentity};
    if (dot(r.basis.v2, r.basis.v2) < dot(r.basis.v1, r.basis.v1)) {
        swapRows(r);
        negateSecond(r);  // a swap alone would turn the handedness over
    }
    // Each step shortens v2 below v1's length or stops; the cap guards against NaN input.
    for (int step = 0; step < 10000; ++step) {
        const double v1Squared = dot(r.basis.v1, r.basis.v1);
        const double q = std::round(dot(r.basis.v1, r.basis.v2) / v1Squared);
        if (q == 0) {
            break;
        }
        const Vec2 shorter = r.basis.v2 - q * r.basis.v1;
        if (!(dot(shorter, shorter) < dot(r.basis.v2, r.basis.v2) * (1 - kShortening))) {
            break;
        }
        r.basis.v2 = shorter;
        const auto k = static_cast<std::int64_t>(q);
        r.transform.m21 -= k * r.transform.m11;
        r.transform.m22 -= k * r.transform.m12;
        if (dot(r.basis.v2, r.basis.v2) >= v1Squared) {
            break;
        }
        swapRows(r);
        negateSecond(r);
    }
    return r;
}

ReducedBasis reduce(const Basis2& basis) {
    ReducedBasis r = reduceKeepingHandedness(basis);
    if (dot(r.basis.v1, r.basis.v2) < 0) {
        negateSecond(r);
    }
    return r;
}

std::optional<IntCoordinates> latticeCoordinates(const Basis2& basis, Vec2 point,
                                                 double tolerance) {
    const Vec2 c = basis.coordinates(point);
    for (const double x : {c.x, c.y}) {
        if (!std::isfinite(x) || std::fabs(x) > 9e15 ||
            std::fabs(x - std::round(x)) > tolerance * std::max(1.0, std::fabs(x))) {
            return std::nullopt;
        }
    }
    return IntCoordinates{std::llround(c.x), std::llround(c.y)};
}

bool sameLattice(const Basis2& a, const Basis2& b, double tolerance) {
    const std::optional<IntCoordinates> u = latticeCoordinates(a, b.v1, tolerance);
    const std::optional<IntCoordinates> v = latticeCoordinates(a, b.v2, tolerance);
    if (!u || !v) {
        return false;
    }
    const std::int64_t det = u->u * v->v - u->v * v->u;
    return det == 1 || det == -1;
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

}  // namespace lamivex::lattice
