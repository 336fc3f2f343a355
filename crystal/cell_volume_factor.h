#pragma once
// The squared volume per (abc)² of a cell, shared by the checks and the formulas.

#include <cmath>

#include "crystal/crystal_cell.h"

namespace lamivex::crystal {

// 1 − cos²α − cos²β − cos²γ + 2·cosα·cosβ·cosγ
[[nodiscard]] inline double triclinicVolumeFactor(const CrystalCell& cell) {
    const double ca = std::cos(cell.alpha);
    const double cb = std::cos(cell.beta);
    const double cg = std::cos(cell.gamma);
    return 1 - ca * ca - cb * cb - cg * cg + 2 * ca * cb * cg;
}

// 1 − 3cos²α + 2cos³α: the same with α = β = γ (rhombohedral axes).
[[nodiscard]] inline double trigonalVolumeFactor(double alpha) {
    const double ca = std::cos(alpha);
    return 1 - 3 * ca * ca + 2 * ca * ca * ca;
}

}  // namespace lamivex::crystal
