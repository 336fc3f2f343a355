#pragma once
// A picture of the LEED screen as grey levels, row by row from the top, as the camera gave
// them (0–255 for 8-bit, 0–65535 for 16-bit files). Pixel (i, j) is centred on x = i, y = j.

#include <cstddef>
#include <vector>

namespace lamivex::fit {

struct GreyImage {
    int width = 0;
    int height = 0;
    std::vector<float> values;  // width × height, y downwards

    [[nodiscard]] bool empty() const { return width <= 0 || height <= 0; }
    [[nodiscard]] float at(int x, int y) const {
        return values[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

}  // namespace lamivex::fit
