#include "output/picture_format.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace lamivex::output {

std::optional<PictureFormat> pictureFormatFor(const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".png") {
        return PictureFormat::Png;
    }
    if (extension == ".svg") {
        return PictureFormat::Svg;
    }
    if (extension == ".pdf") {
        return PictureFormat::Pdf;
    }
    return std::nullopt;
}

}  // namespace lamivex::output
