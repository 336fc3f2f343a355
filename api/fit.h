#pragma once
// A measured LEED pattern fitted as typed values: the spots given, or found first on a
// picture of the screen, against the substrate as every run takes it; the fitted overlayer
// and, for a picture, what the spot finder saw.

#include <filesystem>
#include <optional>
#include <vector>

#include "api/lattice_request.h"
#include "api/locations.h"
#include "fit/leed_fit.h"
#include "fit/spot_finder.h"

namespace lamivex::api {

struct LeedFitRequest {
    LatticeRequest lattice;  // only the substrate's values count
    // The spots, x to the right and y downwards in pixels or any linear unit; or
    std::optional<std::vector<fit::Spot>> spots;
    // a PNG, JPEG or TIFF picture whose spots are found first.
    std::optional<std::filesystem::path> image;
    std::optional<double> threshold;  // a spot's least height above the background, grey levels
    fit::FitOptions options;          // centre, energy (eV), domains, mirrors, affine
};

// The spots found on a picture, brightest first, and the picture as read (its size, and for a
// picture of the fit over it).
struct ImageSpots {
    fit::SpotSearch search;
    fit::GreyImage picture;
};

struct LeedFitResult {
    fit::LeedFit fit;
    std::vector<fit::Spot> spots;     // as fitted, given or found: fit.spots[i] is spots[i]'s
    std::optional<ImageSpots> image;  // set when the spots came from a picture
};

// Throws numbers::InputError naming the option (image, threshold, energy, centre) for a
// refused value, FileError naming image when the picture cannot be read, and fit::FitError
// with the sentence for the user when the spots give no cell.
[[nodiscard]] LeedFitResult fitLeed(const LeedFitRequest& request, const Locations& locations);

// The spots of a PNG, JPEG or TIFF picture, threshold in grey levels (unset: from the noise).
// Throws FileError naming image when it cannot be read, InputError naming threshold.
[[nodiscard]] ImageSpots findImageSpots(const std::filesystem::path& image,
                                        std::optional<double> threshold,
                                        const Locations& locations);

}  // namespace lamivex::api
