#pragma once
// Reads a camera's picture (PNG, JPEG, TIFF; 8- or 16-bit; grey or colour) as grey levels
// for the spot finder, keeping 16 bits where the file has them.

#include <filesystem>
#include <string>

#include "fit/grey_image.h"

namespace lamivex::render {

struct GreyImageRead {
    fit::GreyImage image;
    std::string error;  // empty when read; otherwise one line for the user
};

[[nodiscard]] GreyImageRead readGreyImage(const std::filesystem::path& path);

}  // namespace lamivex::render
