#pragma once
// LEED patterns made from known cells by the tests' own arithmetic, independent of the
// fitter: the reciprocal lattices from a_i · a_j* = 2π δ_ij, the domains from the
// substrate's rotations and one mirror written out here, placed on a screen at a random
// centre, scale and rotation, with noise, a share of the spots removed and spurious ones
// added.

#include <cstdint>
#include <vector>

#include "fit/spots.h"

namespace lamivex::testing {

struct KnownPattern {
    double a = 0;      // substrate a1 = a2, Angstroms
    double alpha = 0;  // 60 (hexagonal) or 90 (square)
    double b1 = 0;     // the overlayer cell, Angstroms and degrees
    double b2 = 0;
    double beta = 0;
    double azimuth = 0;
    bool mirrors = true;
    double radius = 1.5;  // spots out to this many first-order distances
};

struct ScreenSettings {
    std::uint32_t seed = 1;
    double noise = 0.003;        // of the first-order distance, per coordinate
    double removed = 0.2;        // share of the spots taken away
    int spurious = 3;            // spots added anywhere on the screen
    bool markSubstrate = false;  // kind substrate on the substrate's orders
};

struct SyntheticScreen {
    std::vector<fit::Spot> spots;
    std::vector<std::size_t> spuriousIndices;
    double centreX = 0;  // pixels, y down
    double centreY = 0;
    double firstOrder = 0;  // pixels
    double rotation = 0;    // degrees counter-clockwise, as the eye sees the image, of a1
};

[[nodiscard]] SyntheticScreen makeScreen(const KnownPattern& pattern,
                                         const ScreenSettings& settings);

}  // namespace lamivex::testing
