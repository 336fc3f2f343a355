#pragma once
// From a transformation matrix to the main window's overlayer fields and an azimuth range with
// a step on the matrix's own orientation: one rule for "From matrix…" and --matrix.

#include <string>

#include "engine/interpretation.h"

namespace lamivex::engine {

struct MatrixFields {
    OverlayerFromMatrix overlayer;
    std::string b1;  // as the capture step writes a field: the single's shortest text
    std::string b2;
    std::string beta;
    std::string lower;  // full precision: step stepsEachSide lies on the matrix's angle
    std::string upper;
};

// Steps lie at lower + k·spacing + kAngleOffset; the range spans stepsEachSide steps (at
// least 1) either side of the matrix's angle. spacing in degrees, above 0.
[[nodiscard]] MatrixFields fieldsFromMatrix(const Matrix2& matrix, const SubstrateCell& substrate,
                                            double spacing, int stepsEachSide);

}  // namespace lamivex::engine
