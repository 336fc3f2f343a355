#pragma once
// What a fitted cell means: the matrices of small whole numbers whose cells lie within the
// fit's uncertainties, with their names in Wood's notation.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/interpretation.h"
#include "fit/pattern_model.h"

namespace lamivex::fit {

struct CommensurateCandidate {
    engine::IntMatrix2 matrix;        // b1 = m11·a1 + m12·a2, b2 = m21·a1 + m22·a2
    std::optional<std::string> name;  // the cell's name: "(√7×√7)R19.1°", "c(2×2)", or none
    CellParameters cell;              // the cell the matrix gives
    // √(Δᵀ C⁻¹ Δ) of the cell parameters against the fit with covariance C: how many
    // standard uncertainties away, taking their correlations into account.
    double distance = 0;
};

// Candidates ranked nearest first within maxDistance. covariance is the 4 × 4 covariance of
// (b1, b2, beta, azimuth), row-major.
[[nodiscard]] std::vector<CommensurateCandidate> commensurateCandidates(
    const CellParameters& cell, std::span<const double> covariance,
    const engine::SubstrateCell& substrate, double maxDistance);

// √χ² of four parameters at 99.9 %: a candidate farther than this is not the fitted cell.
inline constexpr double kCandidateDistance = 4.3;

}  // namespace lamivex::fit
