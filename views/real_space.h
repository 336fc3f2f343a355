#pragma once
// The overlayer on the substrate in real space: the overlayer points p·b1 + q·b2 of the
// scan's domain, each with its registry (its distance to the nearest substrate site in
// substrate spacings), the substrate sites under them, and the cells to outline.

#include <cstddef>
#include <vector>

#include "views/plane.h"

namespace lamivex::views {

struct RealSpaceOptions {
    int m = 25;  // the domain: −m·i ≤ p ≤ m·i, −n·j ≤ q ≤ n·j for the supercell (i·b1, j·b2)
    int n = 25;
    int b1Multiple = 1;
    int b2Multiple = 1;
    // The most points (substrate and overlayer) a scene holds, about; a larger domain is
    // shown in a centred part of it.
    std::size_t maxPoints = 150'000;
};

struct OverlayerSite {
    int p = 0;
    int q = 0;
    Vec2 position;
    double registry = 0;  // distance to the nearest substrate site / substrate spacing
};

struct RealSpaceScene {
    Basis2 substrate;
    Basis2 overlayer;
    Basis2 supercell;  // (i·b1, j·b2); the overlayer cell itself without a geometric search
    bool hasSupercell = false;
    double spacing = 0;  // the substrate's nearest-neighbour distance, Angstroms
    // The box around the region shown (the domain with a spacing around it), centred on the
    // origin; cropped when the domain has more points than maxPoints.
    double halfWidth = 0;
    double halfHeight = 0;
    bool cropped = false;
    std::vector<Vec2> substrateSites;
    std::vector<OverlayerSite> overlayerSites;
    double largestRegistry = 0;
};

// The registry of a point: its distance to the nearest site of the substrate, in units of
// the substrate's nearest-neighbour distance (0 on a site; 0.5 half-way to a neighbour;
// at most 0.577 on a hexagonal substrate, 0.707 on a square one).
[[nodiscard]] double registryOf(const Basis2& substrate, Vec2 point);

// Throws std::invalid_argument for a negative domain or a multiple below 1.
[[nodiscard]] RealSpaceScene realSpaceScene(const Basis2& substrate, const Basis2& overlayer,
                                            const RealSpaceOptions& options);

}  // namespace lamivex::views
