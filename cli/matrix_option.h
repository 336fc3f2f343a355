#pragma once
// scan --matrix, view --matrix and convert: the overlayer a transformation matrix gives
// (b = M a), as api/ has it for the command line and the Python module alike.

#include "api/matrix_overlayer.h"

namespace lamivex::cli {

using api::checkedOverlayerOf;
using api::checkMatrixOverlayer;
using api::fieldsAroundMatrix;
using api::MatrixOrientation;
using api::orientationOfMatrix;

}  // namespace lamivex::cli
