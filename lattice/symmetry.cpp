#include "lattice/symmetry.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <numbers>

namespace lamivex::lattice {
namespace {

bool sameLength(double a, double b, double tolerance) {
    return std::fabs(a - b) <= tolerance * std::max(std::fabs(a), std::fabs(b));
}

// The generators of each type's group in the reduced basis (|v1| ≤ |v2|, 60…90°), as
// matrices of coordinates: columns are the images of v1 and v2.
struct Generators {
    IntMatrix2 rotation;
    int rotationCount = 2;
    std::optional<IntMatrix2> mirror;
};

Generators generatorsOf(BravaisType type, const Basis2& reduced) {
    constexpr IntMatrix2 halfTurn{-1, 0, 0, -1};
    switch (type) {
        case BravaisType::Hexagonal:  // v1 → v2, v2 → v2 − v1; mirror across v1
            return {{0, -1, 1, 1}, 6, IntMatrix2{1, 1, 0, -1}};
        case BravaisType::Square:  // v1 → v2, v2 → −v1; mirror across v1
            return {{0, -1, 1, 0}, 4, IntMatrix2{1, 0, 0, -1}};
        case BravaisType::Rectangular:
            return {halfTurn, 2, IntMatrix2{1, 0, 0, -1}};
        case BravaisType::CentredRectangular: {
            const double a = reduced.v1.length();
            const double b = reduced.v2.length();
            if (std::fabs(a - b) <= std::fabs(2 * dot(reduced.v1, reduced.v2) / a - a)) {
                return {halfTurn, 2, IntMatrix2{0, 1, 1, 0}};  // a rhombus: v1 ↔ v2
            }
            return {halfTurn, 2, IntMatrix2{1, 1, 0, -1}};  // v2 halfway along v1
        }
        case BravaisType::Oblique:
            break;
    }
    return {halfTurn, 2, std::nullopt};
}

// The Cartesian turn (true degrees, 0 ≤ r < 360) and handedness of the operation whose
// coordinate matrix in basis is g.
SymmetryOperation describe(const IntMatrix2& g, const Basis2& basis) {
    // Images of v1 and v2: the columns of g.
    const Vec2 image1 =
        static_cast<double>(g.m11) * basis.v1 + static_cast<double>(g.m21) * basis.v2;
    double rotation = std::atan2(image1.y, image1.x) - std::atan2(basis.v1.y, basis.v1.x);
    const bool mirror = g.determinant() < 0;
    if (mirror) {
        // R = Rot(r)·M_x maps v1 at direction d to direction r − d.
        rotation = std::atan2(image1.y, image1.x) + std::atan2(basis.v1.y, basis.v1.x);
    }
    double degrees = rotation * 180 / std::numbers::pi;
    degrees = std::fmod(degrees, 360.0);
    if (degrees < 0) {
        degrees += 360;
    }
    degrees = std::round(degrees * 1e6) / 1e6;
    if (degrees >= 360) {
        degrees -= 360;
    }
    return {g, degrees, mirror};
}

}  // namespace

const char* bravaisName(BravaisType type) {
    switch (type) {
        case BravaisType::Hexagonal:
            return "hexagonal";
        case BravaisType::Square:
            return "square";
        case BravaisType::Rectangular:
            return "rectangular";
        case BravaisType::CentredRectangular:
            return "centred rectangular";
        case BravaisType::Oblique:
            break;
    }
    return "oblique";
}

std::optional<BravaisType> bravaisFromName(std::string_view name) {
    for (const BravaisType t :
         {BravaisType::Oblique, BravaisType::Rectangular, BravaisType::CentredRectangular,
          BravaisType::Square, BravaisType::Hexagonal}) {
        if (name == bravaisName(t)) {
            return t;
        }
    }
    return std::nullopt;
}

BravaisType bravaisType(const Basis2& basis, double tolerance) {
    const Basis2 r = reduce(basis).basis;
    const double a = r.v1.length();
    const double b = r.v2.length();
    const double cosine = dot(r.v1, r.v2) / (a * b);
    const bool equal = sameLength(a, b, tolerance);
    const bool right = std::fabs(cosine) <= tolerance;
    if (equal && std::fabs(cosine - 0.5) <= tolerance) {
        return BravaisType::Hexagonal;
    }
    if (right) {
        return equal ? BravaisType::Square : BravaisType::Rectangular;
    }
    if (equal || sameLength(2 * b * cosine, a, tolerance)) {
        return BravaisType::CentredRectangular;
    }
    return BravaisType::Oblique;
}

PointGroup pointGroup(const Basis2& basis, double tolerance) {
    const ReducedBasis reduced = reduce(basis);
    PointGroup group;
    group.type = bravaisType(basis, tolerance);
    const Generators gen = generatorsOf(group.type, reduced.basis);
    group.rotationCount = gen.rotationCount;

    // From the reduced basis's coordinates to basis's: c = Tᵀ·c_r.
    const IntMatrix2 toOriginal = transposed(reduced.transform);
    const IntMatrix2 toReduced = unimodularInverse(toOriginal);
    std::vector<IntMatrix2> inReduced;
    IntMatrix2 power = kIdentity;
    for (int k = 0; k < gen.rotationCount; ++k) {
        inReduced.push_back(power);
        power = gen.rotation * power;
    }
    if (gen.mirror) {
        for (int k = 0; k < gen.rotationCount; ++k) {
            inReduced.push_back(inReduced[static_cast<std::size_t>(k)] * *gen.mirror);
        }
    }
    for (const IntMatrix2& g : inReduced) {
        group.operations.push_back(describe(toOriginal * g * toReduced, basis));
    }
    std::stable_sort(group.operations.begin() + 1, group.operations.end(),
                     [](const SymmetryOperation& x, const SymmetryOperation& y) {
                         if (x.mirror != y.mirror) {
                             return !x.mirror;
                         }
                         return x.rotation < y.rotation;
                     });
    for (const SymmetryOperation& op : group.operations) {
        if (op.mirror) {
            group.mirrorLine = op.rotation / 2 * std::numbers::pi / 180;
            break;
        }
    }
    return group;
}

std::vector<RowFamily> rowFamilies(const Basis2& basis, double tolerance) {
    const Basis2 reciprocal = basis.reciprocal();
    const ReducedBasis r = reduce(reciprocal);
    // Reduced reciprocal rows are transform · (a1*, a2*): their (h, k) are the transform's rows.
    const IntMatrix2& t = r.transform;
    const std::array<std::array<std::int64_t, 2>, 4> candidates = {
        {{t.m11, t.m12},
         {t.m21, t.m22},
         {t.m11 + t.m21, t.m12 + t.m22},
         {t.m11 - t.m21, t.m12 - t.m22}}};
    const double longest = std::max(r.basis.v1.length(), r.basis.v2.length());
    std::vector<RowFamily> families;
    for (auto [h, k] : candidates) {
        if (h < 0 || (h == 0 && k < 0)) {
            h = -h;
            k = -k;
        }
        const Vec2 g = reciprocal.at(static_cast<double>(h), static_cast<double>(k));
        if (g.length() > longest * (1 + tolerance)) {
            continue;
        }
        families.push_back({h, k, g, 2 * std::numbers::pi / g.length()});
    }
    const auto rank = [](const RowFamily& f) {
        if (f.h == 1 && f.k == 0) {
            return 0;
        }
        return f.h == 0 && f.k == 1 ? 1 : 2;
    };
    std::stable_sort(families.begin(), families.end(), [&](const RowFamily& x, const RowFamily& y) {
        if (rank(x) != rank(y)) {
            return rank(x) < rank(y);
        }
        return x.reciprocal.length() < y.reciprocal.length();
    });
    return families;
}

AzimuthWedge irreducibleWedge(const PointGroup& group) {
    return {0, 360.0 / group.rotationCount};
}

}  // namespace lamivex::lattice
