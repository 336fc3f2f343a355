#pragma once
// The file types a picture (graph, histogram) is written as, told by the file's name.

#include <filesystem>
#include <optional>

namespace lamivex::output {

enum class PictureFormat { Png, Svg, Pdf };

// By the file's extension, in any letter case; nullopt for anything else.
[[nodiscard]] std::optional<PictureFormat> pictureFormatFor(const std::filesystem::path& file);

}  // namespace lamivex::output
