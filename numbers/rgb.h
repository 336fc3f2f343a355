#pragma once
// A colour by its red, green and blue parts (0 to 255), as drawings and field backgrounds
// name them.

#include <cstdint>

namespace lamivex::numbers {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

}  // namespace lamivex::numbers
