#pragma once
// From a measured LEED pattern to the overlayer: the calibration from the substrate's orders,
// the overlayer's cell with all its domains fitted by least squares to every indexed spot,
// the cell's standard uncertainties, each spot's assignment, and the alternatives.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/interpretation.h"
#include "fit/commensurate.h"
#include "fit/pattern_model.h"
#include "fit/spots.h"
#include "views/domains.h"

namespace lamivex::fit {

struct FitOptions {
    std::optional<ScreenPoint> centre;  // the (0,0) spot, in the spots' coordinates
    std::optional<double> energyEv;     // only to leave out orders beyond the Ewald sphere
    bool mirrors = true;                // the mirrored domains, where the substrate has mirrors
    bool allDomains = true;             // false: one domain, the cell as it lies
    bool affine = false;                // fit a small affine distortion of the camera
};

// The least a fit can work with: three substrate orders to calibrate and four overlayer
// spots for the four cell parameters.
inline constexpr std::size_t kMinimumSubstrateSpots = 3;
inline constexpr std::size_t kMinimumOverlayerSpots = 4;

enum class Assignment { Substrate, Overlayer, Unexplained };
[[nodiscard]] const char* assignmentName(Assignment a);  // "substrate", "overlayer", "unexplained"

struct SpotResult {
    Assignment assignment = Assignment::Unexplained;
    int domain = -1;  // overlayer spots: index into LeedFit::domains
    int h = 0;        // order of the substrate, or of the domain's reciprocal basis
    int k = 0;
    double residualScreen = 0;  // distance from the predicted place, screen units
    double residual = 0;        // the same in 1/Angstrom
};

// A spot of the fitted pattern on the screen where no spot was measured.
struct MissingSpot {
    int domain = 0;
    int h = 0;
    int k = 0;
    ScreenPoint position;
};

// Another cell the search judged, and how it stands to the fitted one.
struct AlternativeCell {
    CellParameters cell;
    std::size_t domains = 0;
    std::size_t explained = 0;
    std::size_t missing = 0;
    double score = 0;
    // The alternative's cell area over the fitted one's, when one lattice holds the other:
    // above 1 a super-cell, below 1 a sub-cell; 0 when they are unrelated.
    double areaRatio = 0;
};

struct LeedFit {
    CellParameters cell;     // Angstroms and degrees; the cell of the first domain
    CellParameters sigma;    // standard uncertainties, scaled by the residual
    double rmsResidual = 0;  // 1/Angstrom, over the indexed spots
    double rmsResidualScreen = 0;
    Calibration calibration;
    ScreenPoint centre;  // in the spots' coordinates
    std::vector<views::Domain> domains;
    std::vector<SpotResult> spots;  // in the order given
    std::size_t substrateCount = 0;
    std::size_t overlayerCount = 0;
    std::vector<std::size_t> unexplained;
    std::vector<MissingSpot> missing;
    std::vector<AlternativeCell> alternatives;  // best first, the fitted cell not among them
    std::vector<CommensurateCandidate> candidates;
    engine::Matrix2 matrix;  // of the fitted cell: b1 = m11·a1 + m12·a2, ...
    engine::Interpretation interpretation;
    // Sentences for the user: a super- or sub-cell that explains the spots as well, the
    // substrate taken from unmarked spots, ...
    std::vector<std::string> notes;
};

// Throws FitError with a one-line message when the spots cannot give a cell: too few of
// them, no substrate orders among them, no centre, or no lattice that explains them (no cell
// found; never a made-up one).
[[nodiscard]] LeedFit fitLeed(std::span<const Spot> spots, const engine::SubstrateCell& substrate,
                              const FitOptions& options = {});

}  // namespace lamivex::fit
