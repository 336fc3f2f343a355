#include "views/real_space.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace lamivex::views {
namespace {

struct Box {
    double halfWidth = 0;
    double halfHeight = 0;
    [[nodiscard]] bool holds(Vec2 v) const {
        return std::fabs(v.x) <= halfWidth && std::fabs(v.y) <= halfHeight;
    }
    [[nodiscard]] double area() const { return 4 * halfWidth * halfHeight; }
};

struct Range {
    long long uMin = 0;
    long long uMax = 0;
    long long vMin = 0;
    long long vMax = 0;
};

// The whole-number components a lattice point inside box can have, from the box's corners.
Range componentRanges(const Basis2& basis, const Box& box) {
    double uMin = 0;
    double uMax = 0;
    double vMin = 0;
    double vMax = 0;
    for (const double sx : {-1.0, 1.0}) {
        for (const double sy : {-1.0, 1.0}) {
            const Vec2 c = basis.coordinates({sx * box.halfWidth, sy * box.halfHeight});
            uMin = std::min(uMin, c.x);
            uMax = std::max(uMax, c.x);
            vMin = std::min(vMin, c.y);
            vMax = std::max(vMax, c.y);
        }
    }
    return {static_cast<long long>(std::floor(uMin)), static_cast<long long>(std::ceil(uMax)),
            static_cast<long long>(std::floor(vMin)), static_cast<long long>(std::ceil(vMax))};
}

std::vector<Vec2> sitesIn(const Basis2& basis, const Box& box) {
    const Range range = componentRanges(basis, box);
    std::vector<Vec2> sites;
    for (long long u = range.uMin; u <= range.uMax; ++u) {
        for (long long v = range.vMin; v <= range.vMax; ++v) {
            const Vec2 site = basis.at(static_cast<double>(u), static_cast<double>(v));
            if (box.holds(site)) {
                sites.push_back(site);
            }
        }
    }
    return sites;
}

}  // namespace

double registryOf(const Basis2& substrate, Vec2 point) {
    const Basis2 r = reduced(substrate);
    return (point - nearestLatticePoint(r, point)).length() / r.v1.length();
}

RealSpaceScene realSpaceScene(const Basis2& substrate, const Basis2& overlayer,
                              const RealSpaceOptions& options) {
    if (options.m < 0 || options.n < 0) {
        throw std::invalid_argument("The domain sizes m and n must be 0 or more.");
    }
    if (options.b1Multiple < 1 || options.b2Multiple < 1) {
        throw std::invalid_argument("The multiples of b1 and b2 must be 1 or more.");
    }
    RealSpaceScene scene;
    scene.substrate = substrate;
    scene.overlayer = overlayer;
    scene.supercell = {options.b1Multiple * overlayer.v1, options.b2Multiple * overlayer.v2};
    scene.hasSupercell = options.b1Multiple > 1 || options.b2Multiple > 1;
    const Basis2 r = reduced(substrate);
    scene.spacing = r.v1.length();

    const long long pMax = static_cast<long long>(options.m) * options.b1Multiple;
    const long long qMax = static_cast<long long>(options.n) * options.b2Multiple;
    // The region shown: the domain's parallelogram in overlayer components (u, v), with one
    // substrate spacing around it (a spacing is |b2| / area of a step in u, and so on).
    const double cell = overlayer.area();
    double uHalf = static_cast<double>(pMax) + scene.spacing * overlayer.v2.length() / cell;
    double vHalf = static_cast<double>(qMax) + scene.spacing * overlayer.v1.length() / cell;
    const double overlayerPoints =
        static_cast<double>(2 * pMax + 1) * static_cast<double>(2 * qMax + 1);
    const double points = overlayerPoints + 4 * uHalf * vHalf * cell / substrate.area();
    const auto limit = static_cast<double>(options.maxPoints);
    if (points > limit) {
        // Both kinds of point scale with the area: shrink both sides by the same factor.
        const double shrink = std::sqrt(limit / points);
        uHalf *= shrink;
        vHalf *= shrink;
        scene.cropped = true;
    }
    const auto inRegion = [&](Vec2 point) {
        const Vec2 c = overlayer.coordinates(point);
        return std::fabs(c.x) <= uHalf && std::fabs(c.y) <= vHalf;
    };
    Box box;
    for (const double su : {-1.0, 1.0}) {
        for (const double sv : {-1.0, 1.0}) {
            const Vec2 corner = overlayer.at(su * uHalf, sv * vHalf);
            box.halfWidth = std::max(box.halfWidth, std::fabs(corner.x));
            box.halfHeight = std::max(box.halfHeight, std::fabs(corner.y));
        }
    }
    scene.halfWidth = box.halfWidth;
    scene.halfHeight = box.halfHeight;

    for (const Vec2& site : sitesIn(r, box)) {
        if (inRegion(site)) {
            scene.substrateSites.push_back(site);
        }
    }
    const auto pLast = std::min(pMax, static_cast<long long>(std::floor(uHalf)));
    const auto qLast = std::min(qMax, static_cast<long long>(std::floor(vHalf)));
    for (long long p = -pLast; p <= pLast; ++p) {
        for (long long q = -qLast; q <= qLast; ++q) {
            const Vec2 at = overlayer.at(static_cast<double>(p), static_cast<double>(q));
            const double registry = (at - nearestLatticePoint(r, at)).length() / scene.spacing;
            scene.overlayerSites.push_back(
                {static_cast<int>(p), static_cast<int>(q), at, registry});
            scene.largestRegistry = std::max(scene.largestRegistry, registry);
        }
    }
    return scene;
}

}  // namespace lamivex::views
