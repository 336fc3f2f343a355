// The per-system formulas. Sources: the reciprocal-metric expressions for 1/d² and cos phi
// of the standard crystallography tables; the direction angle from the direct metric.

#include "crystal/geometry.h"

#include <cmath>
#include <cstdint>

#include <fmt/format.h>

#include "crystal/cell_volume_factor.h"

namespace lamivex::crystal {
namespace {

constexpr double kArccosOffset = 1.5708;          // the tool's pi/2 in its arccosine
constexpr double kHexagonalVolumeFactor = 0.866;  // the tool's sqrt(3)/2
constexpr std::string_view kOutOfRange = "the values are out of range";

CrystalResult finiteResult(double value) {
    return std::isfinite(value) ? CrystalResult::of(value)
                                : CrystalResult::undefined(std::string(kOutOfRange));
}

double square(double x) {
    return x * x;
}

bool isZero(const MillerPlane& p) {
    return p.h == 0 && p.k == 0 && p.l == 0;
}
bool isZero(const Direction& d) {
    return d.u == 0 && d.v == 0 && d.w == 0;
}

// Indices as doubles for the formulas.
struct Hkl {
    double h;
    double k;
    double l;
};
Hkl hkl(const MillerPlane& p) {
    return {double(p.h), double(p.k), double(p.l)};
}

// The triclinic S terms and V² (V = abc·√factor).
struct TriclinicTerms {
    double s11, s22, s33, s12, s23, s13, v2;
};

TriclinicTerms triclinicTerms(const CrystalCell& cell) {
    const auto& [a, b, c, alpha, beta, gamma] = cell;
    const double ca = std::cos(alpha);
    const double cb = std::cos(beta);
    const double cg = std::cos(gamma);
    TriclinicTerms t{};
    t.s11 = b * b * c * c * square(std::sin(alpha));
    t.s22 = a * a * c * c * square(std::sin(beta));
    t.s33 = a * a * b * b * square(std::sin(gamma));
    t.s12 = a * b * c * c * (ca * cb - cg);
    t.s23 = a * a * b * c * (cb * cg - ca);
    t.s13 = a * b * b * c * (cg * ca - cb);
    const double v = a * b * c * std::sqrt(triclinicVolumeFactor(cell));
    t.v2 = v * v;
    return t;
}

// Q = 1/d², Angstroms⁻², for a cell that passed cellProblem.
double inverseSquareSpacing(CrystalSystem system, const CrystalCell& cell, const Hkl& p) {
    const auto& [a, b, c, alpha, beta, gamma] = cell;
    const auto [h, k, l] = p;
    switch (system) {
        case CrystalSystem::Cubic:
            return (h * h + k * k + l * l) / (a * a);
        case CrystalSystem::Tetragonal:
            return (h * h + k * k) / (a * a) + square(l / c);
        case CrystalSystem::Orthorhombic:
            return square(h / a) + square(k / b) + square(l / c);
        case CrystalSystem::Hexagonal:
            return (4.0 / 3.0) * (h * h + h * k + k * k) / (a * a) + l * l / (c * c);
        case CrystalSystem::Trigonal: {
            const double ca = std::cos(alpha);
            const double sa2 = square(std::sin(alpha));
            return ((h * h + k * k + l * l) * sa2 + 2 * (h * k + k * l + h * l) * (ca * ca - ca)) /
                   (a * a * trigonalVolumeFactor(alpha));
        }
        case CrystalSystem::Monoclinic: {
            const double cb = std::cos(beta);
            const double sb2 = square(std::sin(beta));
            return (h * h / (a * a) + k * k * sb2 / (b * b) + l * l / (c * c) -
                    2 * h * l * cb / (a * c)) /
                   sb2;
        }
        case CrystalSystem::Triclinic: {
            const TriclinicTerms t = triclinicTerms(cell);
            return (t.s11 * h * h + t.s22 * k * k + t.s33 * l * l + 2 * t.s12 * h * k +
                    2 * t.s23 * k * l + 2 * t.s13 * h * l) /
                   t.v2;
        }
    }
    return 0;
}

// d of a non-zero plane in a checked cell; undefined when Q is not a positive number.
CrystalResult spacingOf(CrystalSystem system, const CrystalCell& cell, const MillerPlane& plane) {
    const double q = inverseSquareSpacing(system, cell, hkl(plane));
    if (q < 0) {
        return CrystalResult::undefined("no real spacing (1/d² below 0)");
    }
    // Zero for a non-zero plane, or infinite, only when the arithmetic over- or underflowed.
    if (!(q > 0) || std::isinf(q)) {
        return CrystalResult::undefined(std::string(kOutOfRange));
    }
    return finiteResult(1 / std::sqrt(q));
}

// cos phi by the system's formula; d1 and d2 only for the systems that use them.
double planeCosine(CrystalSystem system, const CrystalCell& cell, const Hkl& p1, const Hkl& p2,
                   double d1, double d2) {
    const auto& [a, b, c, alpha, beta, gamma] = cell;
    const auto [h1, k1, l1] = p1;
    const auto [h2, k2, l2] = p2;
    switch (system) {
        case CrystalSystem::Cubic:
            return (h1 * h2 + k1 * k2 + l1 * l2) /
                   std::sqrt((h1 * h1 + k1 * k1 + l1 * l1) * (h2 * h2 + k2 * k2 + l2 * l2));
        case CrystalSystem::Tetragonal: {
            const double a2 = a * a;
            const double c2 = c * c;
            return ((h1 * h2 + k1 * k2) / a2 + l1 * l2 / c2) /
                   std::sqrt(((h1 * h1 + k1 * k1) / a2 + l1 * l1 / c2) *
                             ((h2 * h2 + k2 * k2) / a2 + l2 * l2 / c2));
        }
        case CrystalSystem::Orthorhombic: {
            const double a2 = a * a;
            const double b2 = b * b;
            const double c2 = c * c;
            return (h1 * h2 / a2 + k1 * k2 / b2 + l1 * l2 / c2) /
                   std::sqrt((square(h1 / a) + square(k1 / b) + square(l1 / c)) *
                             (square(h2 / a) + square(k2 / b) + square(l2 / c)));
        }
        case CrystalSystem::Hexagonal: {
            const double f = (3 * a * a) / (4 * c * c);
            return (h1 * h2 + k1 * k2 + 0.5 * (h1 * k2 + h2 * k1) + f * l1 * l2) /
                   std::sqrt((h1 * h1 + k1 * k1 + h1 * k1 + f * l1 * l1) *
                             (h2 * h2 + k2 * k2 + h2 * k2 + f * l2 * l2));
        }
        case CrystalSystem::Monoclinic: {
            const double cb = std::cos(beta);
            const double sb2 = square(std::sin(beta));
            return (d1 * d2 / sb2) * (h1 * h2 / (a * a) + k1 * k2 * sb2 / (b * b) +
                                      l1 * l2 / (c * c) - (l1 * h2 + l2 * h1) * cb / (a * c));
        }
        case CrystalSystem::Trigonal: {
            const double ca = std::cos(alpha);
            const double sa2 = square(std::sin(alpha));
            const double v = a * a * a * std::sqrt(trigonalVolumeFactor(alpha));
            return (a * a * a * a * d1 * d2 / (v * v)) *
                   (sa2 * (h1 * h2 + k1 * k2 + l1 * l2) +
                    (ca * ca - ca) * (k1 * l2 + k2 * l1 + l1 * h2 + l2 * h1 + h1 * k2 + h2 * k1));
        }
        case CrystalSystem::Triclinic: {
            const TriclinicTerms t = triclinicTerms(cell);
            return (d1 * d2 / t.v2) * (t.s11 * h1 * h2 + t.s22 * k1 * k2 + t.s33 * l1 * l2 +
                                       t.s23 * (k1 * l2 + k2 * l1) + t.s13 * (l1 * h2 + l2 * h1) +
                                       t.s12 * (h1 * k2 + h2 * k1));
        }
    }
    return 0;
}

// Integer indices are parallel exactly when their cross product vanishes; the sign of
// their dot product then tells the same sense (0 degrees) from the opposite (180).
std::optional<double> parallelPlanesAngle(const MillerPlane& p1, const MillerPlane& p2) {
    const auto wide = [](int16_t i) { return static_cast<int64_t>(i); };
    const int64_t x = wide(p1.k) * wide(p2.l) - wide(p1.l) * wide(p2.k);
    const int64_t y = wide(p1.l) * wide(p2.h) - wide(p1.h) * wide(p2.l);
    const int64_t z = wide(p1.h) * wide(p2.k) - wide(p1.k) * wide(p2.h);
    if (x != 0 || y != 0 || z != 0) {
        return std::nullopt;
    }
    const int64_t dot = wide(p1.h) * wide(p2.h) + wide(p1.k) * wide(p2.k) + wide(p1.l) * wide(p2.l);
    return dot > 0 ? 0.0 : 180.0;
}

std::optional<double> parallelDirectionsAngle(const Direction& d1, const Direction& d2) {
    const double x = d1.v * d2.w - d1.w * d2.v;
    const double y = d1.w * d2.u - d1.u * d2.w;
    const double z = d1.u * d2.v - d1.v * d2.u;
    if (x != 0 || y != 0 || z != 0) {
        return std::nullopt;
    }
    const double dot = d1.u * d2.u + d1.v * d2.v + d1.w * d2.w;
    return dot > 0 ? 0.0 : 180.0;
}

bool isFinite(const Direction& d) {
    return std::isfinite(d.u) && std::isfinite(d.v) && std::isfinite(d.w);
}

}  // namespace

double arccosDegrees(double x) {
    if (x >= 1) {
        return 0;
    }
    if (x <= -1) {
        return 180;
    }
    const double radians = std::atan(-x / std::sqrt(1 - x * x)) + kArccosOffset;
    return radians * 180 / kPi;
}

CrystalResult planeSpacing(CrystalSystem system, const CrystalCell& cell,
                           const MillerPlane& plane) {
    if (auto problem = cellProblem(system, cell)) {
        return CrystalResult::undefined(std::move(*problem));
    }
    if (isZero(plane)) {
        return CrystalResult::undefined("plane (0 0 0) has no spacing");
    }
    return spacingOf(system, cell, plane);
}

CrystalResult interplanarAngle(CrystalSystem system, const CrystalCell& cell,
                               const MillerPlane& plane1, const MillerPlane& plane2) {
    if (auto problem = cellProblem(system, cell)) {
        return CrystalResult::undefined(std::move(*problem));
    }
    if (isZero(plane1)) {
        return CrystalResult::undefined("plane 1 is (0 0 0)");
    }
    if (isZero(plane2)) {
        return CrystalResult::undefined("plane 2 is (0 0 0)");
    }
    if (const auto parallel = parallelPlanesAngle(plane1, plane2)) {
        return CrystalResult::of(*parallel);
    }
    CrystalResult d1 = spacingOf(system, cell, plane1);
    CrystalResult d2 = spacingOf(system, cell, plane2);
    if (!d1.defined()) {
        return d1;
    }
    if (!d2.defined()) {
        return d2;
    }
    const double cosine = planeCosine(system, cell, hkl(plane1), hkl(plane2), *d1.value, *d2.value);
    if (std::isnan(cosine)) {
        return CrystalResult::undefined(std::string(kOutOfRange));
    }
    return finiteResult(arccosDegrees(cosine));
}

CrystalResult directionAngle(const CrystalCell& cell, const Direction& dir1,
                             const Direction& dir2) {
    // The general metric reads all six values, so the whole cell must be one.
    if (auto problem = cellProblem(CrystalSystem::Triclinic, cell)) {
        return CrystalResult::undefined(std::move(*problem));
    }
    if (!isFinite(dir1) || !isFinite(dir2)) {
        return CrystalResult::undefined(std::string(kOutOfRange));
    }
    if (isZero(dir1)) {
        return CrystalResult::undefined("direction 1 is [0 0 0]");
    }
    if (isZero(dir2)) {
        return CrystalResult::undefined("direction 2 is [0 0 0]");
    }
    if (const auto parallel = parallelDirectionsAngle(dir1, dir2)) {
        return CrystalResult::of(*parallel);
    }
    // The direct metric: r·s = Σ g_ij r_i s_j with g = [[a², ab·cosγ, ac·cosβ], ...].
    const double aa = cell.a * cell.a;
    const double bb = cell.b * cell.b;
    const double cc = cell.c * cell.c;
    const double ab = cell.a * cell.b * std::cos(cell.gamma);
    const double bc = cell.b * cell.c * std::cos(cell.alpha);
    const double ac = cell.a * cell.c * std::cos(cell.beta);
    const auto metric = [=](const Direction& r, const Direction& s) {
        return aa * r.u * s.u + bb * r.v * s.v + cc * r.w * s.w + ab * (r.u * s.v + r.v * s.u) +
               bc * (r.v * s.w + r.w * s.v) + ac * (r.u * s.w + r.w * s.u);
    };
    const double length1Squared = metric(dir1, dir1);
    const double length2Squared = metric(dir2, dir2);
    if (std::isnan(length1Squared) || std::isnan(length2Squared)) {
        return CrystalResult::undefined(std::string(kOutOfRange));
    }
    if (!(length1Squared > 0 && length2Squared > 0)) {
        return CrystalResult::undefined("a direction has no real length");
    }
    const double cosine =
        metric(dir1, dir2) / (std::pow(length1Squared, 0.5) * std::pow(length2Squared, 0.5));
    if (std::isnan(cosine)) {
        return CrystalResult::undefined(std::string(kOutOfRange));
    }
    return finiteResult(arccosDegrees(cosine));
}

CrystalResult cellVolume(CrystalSystem system, const CrystalCell& cell) {
    if (auto problem = cellProblem(system, cell)) {
        return CrystalResult::undefined(std::move(*problem));
    }
    const auto& [a, b, c, alpha, beta, gamma] = cell;
    switch (system) {
        case CrystalSystem::Cubic:
            return finiteResult(a * a * a);
        case CrystalSystem::Tetragonal:
            return finiteResult(a * a * c);
        case CrystalSystem::Orthorhombic:
            return finiteResult(a * b * c);
        case CrystalSystem::Hexagonal:
            return finiteResult(kHexagonalVolumeFactor * a * a * c);
        case CrystalSystem::Monoclinic:
            return finiteResult(a * b * c * std::sin(beta));
        case CrystalSystem::Trigonal:
            return finiteResult(a * a * a * std::sqrt(trigonalVolumeFactor(alpha)));
        case CrystalSystem::Triclinic:
            return finiteResult(a * b * c * std::sqrt(triclinicVolumeFactor(cell)));
    }
    return CrystalResult::undefined(std::string(kOutOfRange));
}

}  // namespace lamivex::crystal
