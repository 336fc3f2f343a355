#pragma once
// The spots of a LEED image: a smooth background taken away, bright local maxima above a
// threshold, each refined to a fraction of a pixel, and dark regions (the electron gun's
// shadow, the rim of the screen) left out, since their edges would look like spots.

#include <optional>
#include <vector>

#include "fit/grey_image.h"
#include "fit/spots.h"

namespace lamivex::fit {

struct SpotFinding {
    // The least height of a spot above the background, in the image's grey levels; by
    // default kNoiseMultiple times the noise measured on the image.
    std::optional<double> threshold;
    // About a spot's radius in pixels: maxima closer than this are one spot.
    double spotRadius = 3;
    bool maskDark = true;  // leave out dark regions and their edges
};

inline constexpr double kNoiseMultiple = 6;

struct FoundSpot {
    double x = 0;       // pixels, x to the right
    double y = 0;       // pixels, y downwards
    double height = 0;  // peak above the background, grey levels
};

struct SpotSearch {
    std::vector<FoundSpot> spots;  // brightest first
    double noise = 0;              // standard deviation of the smoothed background, grey levels
    double threshold = 0;          // the threshold used
    std::size_t maskedPixels = 0;  // pixels left out as dark
};

// Throws FitError for an empty image or a threshold that is not a positive number.
[[nodiscard]] SpotSearch findSpots(const GreyImage& image, const SpotFinding& finding = {});

// The spots as the fit takes them, of no known kind.
[[nodiscard]] std::vector<Spot> spotsOf(const SpotSearch& search);

}  // namespace lamivex::fit
