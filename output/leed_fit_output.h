#pragma once
// A fitted LEED pattern as the command line prints it: one JSON object, or a few lines of
// text for the user.

#include <cstddef>
#include <optional>
#include <ostream>
#include <span>

#include "fit/leed_fit.h"
#include "fit/spots.h"

namespace lamivex::output {

// What the spot finder saw, when the spots came from a picture.
struct FoundSpotsSummary {
    int width = 0;  // pixels
    int height = 0;
    std::size_t spotsFound = 0;
    double threshold = 0;  // grey levels
    double noise = 0;
};

struct LeedFitReport {
    const fit::LeedFit& fit;
    std::span<const fit::Spot> spots;  // as fitted: fit.spots[i] is spots[i]'s
    std::optional<FoundSpotsSummary> image;
};

// b1, b2, beta, azimuth with *_sigma, rms_residual (1/Angstrom) and rms_residual_pixels,
// calibration, domains, spots, missing, candidates, alternatives, interpretation, notes and,
// for a picture, image; one line.
void writeLeedFitJson(std::ostream& out, const LeedFitReport& report);
// The cell with its uncertainties, the counts, the residual, the matrices and the notes.
void writeLeedFitText(std::ostream& out, const LeedFitReport& report);

}  // namespace lamivex::output
