#pragma once
// A LEED camera's picture made by the tests from a synthetic screen: Gaussian spots on a
// smooth, uneven background with noise, and the electron gun's dark shadow (a disc at the
// centre and its arm to the edge). Pixel (i, j) is centred on x = i, y = j.

#include <filesystem>
#include <vector>

#include "fit/grey_image.h"
#include "synthetic_pattern.h"

namespace lamivex::testing {

struct CameraPicture {
    fit::GreyImage image;     // grey levels 0…65535
    std::vector<bool> clear;  // per spot: well inside, away from the shadow, with no partner
};

// Spots closer than this are painted as one (a substrate order that is also an order of the
// overlayer appears twice in a synthetic screen, with its own noise each time).
inline constexpr double kPartnerDistance = 3;

// How far (x, y) lies from a painted spot: its place, or for a partnered pair the segment
// between them, where their sum has its peak.
[[nodiscard]] double distanceToPainted(const SyntheticScreen& screen, double x, double y);

[[nodiscard]] CameraPicture photograph(const SyntheticScreen& screen, int size, unsigned seed);

// A picture of noise on a flat background: no spots at all.
[[nodiscard]] fit::GreyImage noisePicture(int size, unsigned seed);

// As a 16-bit binary PGM, which ImageMagick turns into the files a camera writes.
void writePgm16(const fit::GreyImage& image, const std::filesystem::path& path);

}  // namespace lamivex::testing
