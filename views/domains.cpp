#include "views/domains.h"

#include <numbers>

#include "numbers/constants.h"

namespace lamivex::views {
namespace {

using numbers::kDegree;

}  // namespace

Basis2 substrateBasis(const engine::SubstrateCell& s) {
    return engine::basisOf(s);
}

Basis2 overlayerBasis(const ViewLattices& l) {
    const double theta = l.angle * kDegree;
    const double second = (l.angle + l.beta) * kDegree;
    return {{l.b1 * std::cos(theta), l.b1 * std::sin(theta)},
            {l.b2 * std::cos(second), l.b2 * std::sin(second)}};
}

const char* kindName(LatticeKind kind) {
    return lattice::bravaisName(kind);
}

PointGroup pointGroupOf(const Basis2& substrate) {
    const lattice::PointGroup group = lattice::pointGroup(substrate);
    return {group.type, group.rotationCount, group.mirrorLine};
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
        const Basis2 image = mapped(overlayer, map);
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
