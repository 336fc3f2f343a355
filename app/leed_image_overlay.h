#pragma once
// The LEED window's picture over a camera's image: the image in its own pixels (x to the
// right, y downwards, pixel (i, j) centred on x = i, y = j), the simulated pattern placed on
// it, the spots marked on it and the fitted pattern.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "fit/leed_fit.h"
#include "output/display_list.h"
#include "views/leed.h"

namespace lamivex::app {

// Where the simulated pattern lies on the image: the (0,0) spot in pixels, pixels per
// 1/Angstrom, and the direction of the substrate's a1 on the image in degrees
// counter-clockwise as the eye sees the image.
struct ImagePlacement {
    double centreX = 0;
    double centreY = 0;
    double scale = 1;
    double rotationDegrees = 0;

    // A reciprocal vector (1/Angstrom, x along the substrate's a1) to its place on the image.
    [[nodiscard]] output::Point onImage(views::Vec2 g) const;
};

// The placement of a fit: its centre, its scale and the turn of its calibration. A fitted
// distortion of the camera is left out, as the placement has no room for it.
[[nodiscard]] ImagePlacement placementOf(const fit::LeedFit& fit);

// A freshly loaded image: the pattern's centre on the image's middle and the Ewald sphere's
// radius k0 (1/Angstrom) over most of the shorter side.
[[nodiscard]] ImagePlacement openingPlacement(int width, int height, double k0);

// The image as the screen shows it.
struct ShownImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> levels;  // 0–255, row by row from the top
};

// The part of the image shown at zoom (1: the whole image), in pixels, y downwards.
[[nodiscard]] output::CoordinateSystem imageFrame(int width, int height, double zoom);

struct OverlayContent {
    const ShownImage& image;
    ImagePlacement placement;
    const views::LeedPattern& pattern;  // simulated: the main window's lattices
    std::span<const fit::Spot> spots;   // measured, in pixels
    const fit::LeedFit* fit = nullptr;  // of exactly these spots, or none
    engine::SubstrateCell substrate;    // the fit's
    bool oneColour = false;
};

// The image, the simulated spots as dots, the measured spots as rings (red where the fit
// explains none), and the fitted pattern as larger rings with its centre.
[[nodiscard]] output::DisplayList imageOverlayPicture(const OverlayContent& content, double zoom);

// The spot within tolerance (pixels) of (x, y), the nearest when several are.
[[nodiscard]] std::optional<std::size_t> spotNear(std::span<const fit::Spot> spots, double x,
                                                  double y, double tolerance);

}  // namespace lamivex::app
