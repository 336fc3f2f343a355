#pragma once
// A camera's picture as the 0–255 grey levels a screen shows, its contrast stretched between
// two quantiles so that a dim pattern on a 16-bit image is visible under an overlay.

#include <cstdint>
#include <vector>

#include "fit/grey_image.h"

namespace lamivex::fit {

struct Contrast {
    double lowQuantile = 0.005;   // at and below: black
    double highQuantile = 0.999;  // at and above: white
};

[[nodiscard]] std::vector<std::uint8_t> displayLevels(const GreyImage& image,
                                                      const Contrast& contrast = {});

}  // namespace lamivex::fit
