#include "fit/image_levels.h"

#include <algorithm>
#include <cmath>

namespace lamivex::fit {

std::vector<std::uint8_t> displayLevels(const GreyImage& image, const Contrast& contrast) {
    std::vector<std::uint8_t> levels(image.values.size(), 0);
    if (image.values.empty()) {
        return levels;
    }
    std::vector<float> sorted = image.values;
    const auto quantile = [&](double q) {
        const auto at = static_cast<std::ptrdiff_t>(std::clamp(q, 0.0, 1.0) *
                                                    static_cast<double>(sorted.size() - 1));
        std::nth_element(sorted.begin(), sorted.begin() + at, sorted.end());
        return static_cast<double>(sorted[static_cast<std::size_t>(at)]);
    };
    const double low = quantile(contrast.lowQuantile);
    const double high = quantile(contrast.highQuantile);
    const double span = high > low ? high - low : 1;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const double t = std::clamp((image.values[i] - low) / span, 0.0, 1.0);
        levels[i] = static_cast<std::uint8_t>(std::lround(255 * t));
    }
    return levels;
}

}  // namespace lamivex::fit
