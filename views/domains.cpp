#include "views/domains.h"

#include <numbers>

#include "numbers/constants.h"

namespace lamivex::views {
namespace {

using numbers::kDegree;

bool near(double a, double b, double scale) {
    return std::fabs(a - b) <= 1e-6 * scale;
}

double direction(Vec2 v) {
    return std::atan2(v.y, v.x);
}

}  // namespace

Basis2 substrateBasis(const engine::SubstrateCell& s) {
    const double alpha = s.alpha * kDegree;
    return {{s.a1, 0}, {s.a2 * std::cos(alpha), s.a2 * std::sin(alpha)}};
}

Basis2 overlayerBasis(const ViewLattices& l) {
    const double theta = l.angle * kDegree;
    const double second = (l.angle + l.beta) * kDegree;
    return {{l.b1 * std::cos(theta), l.b1 * std::sin(theta)},
            {l.b2 * std::cos(second), l.b2 * std::sin(second)}};
}

engine::Matrix2 matrixOf(const Basis2& substrate, const Basis2& overlayer) {
    const Vec2 u = substrate.coordinates(overlayer.v1);
    const Vec2 v = substrate.coordinates(overlayer.v2);
    return {u.x, u.y, v.x, v.y};
}

const char* kindName(LatticeKind kind) {
    switch (kind) {
        case LatticeKind::Hexagonal:
            return "hexagonal";
        case LatticeKind::Square:
            return "square";
        case LatticeKind::Rectangular:
            return "rectangular";
        case LatticeKind::CentredRectangular:
            return "centred rectangular";
        case LatticeKind::Oblique:
            return "oblique";
    }
    return "oblique";
}

PointGroup pointGroupOf(const Basis2& substrate) {
    const Basis2 r = reduced(substrate);
    const double l1 = r.v1.length();
    const double l2 = r.v2.length();
    const double cosine = dot(r.v1, r.v2) / (l1 * l2);
    const bool equalLengths = near(l1, l2, l2);
    if (equalLengths && near(std::fabs(cosine), 0.5, 1)) {
        return {LatticeKind::Hexagonal, 6, direction(r.v1)};
    }
    if (equalLengths && near(cosine, 0, 1)) {
        return {LatticeKind::Square, 4, direction(r.v1)};
    }
    if (near(cosine, 0, 1)) {
        return {LatticeKind::Rectangular, 2, direction(r.v1)};
    }
    if (equalLengths) {
        return {LatticeKind::CentredRectangular, 2, direction(r.v1 + r.v2)};
    }
    // 2·v2 − v1 at right angles to v1: a centred cell whose short side is v1.
    if (near(2 * std::fabs(dot(r.v1, r.v2)), l1 * l1, l1 * l1)) {
        return {LatticeKind::CentredRectangular, 2, direction(r.v1)};
    }
    return {LatticeKind::Oblique, 2, std::nullopt};
}

std::size_t orientationCount(const Basis2& substrate, bool mirrors) {
    const PointGroup group = pointGroupOf(substrate);
    const auto rotations = static_cast<std::size_t>(group.rotations);
    return mirrors && group.mirrorLine ? 2 * rotations : rotations;
}

std::vector<Domain> domainsOf(const Basis2& substrate, const Basis2& overlayer, bool mirrors) {
    const PointGroup group = pointGroupOf(substrate);
    std::vector<Domain> domains;
    const auto add = [&](double degrees, bool mirrored, const PlaneMap& map) {
        const Basis2 image = overlayer.mapped(map);
        for (const Domain& d : domains) {
            if (sameLattice(d.overlayer, image, kSameDomainTolerance)) {
                return;
            }
        }
        domains.push_back({degrees, mirrored, image, matrixOf(substrate, image)});
    };
    const double step = 360.0 / group.rotations;
    for (int r = 0; r < group.rotations; ++r) {
        add(r * step, false, rotation(r * step * std::numbers::pi / 180));
    }
    if (mirrors && group.mirrorLine) {
        const PlaneMap flip = mirror(*group.mirrorLine);
        for (int r = 0; r < group.rotations; ++r) {
            add(r * step, true, rotation(r * step * std::numbers::pi / 180) * flip);
        }
    }
    return domains;
}

}  // namespace lamivex::views
