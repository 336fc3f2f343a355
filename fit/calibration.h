#pragma once
// Calibration of a measured pattern from the substrate: its centre from the pattern's
// inversion symmetry (the (0,0) spot usually lies behind the electron gun), its scale and
// rotation (and optionally a small affine distortion, a camera not square to the screen) from
// the spots that index as orders of the known substrate.

#include <optional>
#include <span>
#include <vector>

#include "fit/pattern_model.h"

namespace lamivex::fit {

// The point the most spots lie symmetric about (a kinematic pattern is inversion-symmetric:
// G and −G), refined as the mean midpoint of the symmetric pairs; nullopt when fewer than
// minimumPairs pairs agree (points of no pattern). Screen units, y up.
[[nodiscard]] std::optional<views::Vec2> inversionCentre(std::span<const views::Vec2> points,
                                                         std::size_t minimumPairs);

// The typical distance between neighbouring spots: the median of each spot's distance to
// its nearest neighbour.
[[nodiscard]] double typicalSpacing(std::span<const views::Vec2> points);

struct CalibrationSettings {
    std::optional<views::Vec2> centre;  // given by the user, screen units y up
    views::Vec2 centreGuess;            // from inversion symmetry, when no centre is given
    bool affine = false;
    // Test that the whole pattern keeps the mirror of the substrate lattice a hypothesis puts
    // on the screen: tells the substrate from a commensurate domain when nobody marked it.
    bool requireMirrorSymmetry = false;
    std::optional<double> k0;  // 1/Angstrom: orders beyond it are not expected
};

struct SubstrateCalibration {
    Calibration calibration;
    std::vector<SpotIndex> indexed;  // substrate spots, domain −1
    double rmsScreen = 0;            // RMS distance of the indexed spots from their orders
};

// Indexes candidates (indices into screen) as substrate orders and fits the calibration to
// them. Throws FitError when no hypothesis indexes at least three orders and half of those
// expected within the pattern's radius.
[[nodiscard]] SubstrateCalibration calibrate(std::span<const views::Vec2> screen,
                                             std::span<const std::size_t> candidates,
                                             const engine::SubstrateCell& substrate,
                                             const CalibrationSettings& settings);

}  // namespace lamivex::fit
