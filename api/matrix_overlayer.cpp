#include "api/matrix_overlayer.h"

#include <fmt/format.h>

#include "engine/match_kernel.h"
#include "engine/matrix_fields.h"
#include "engine/rotation_scan.h"
#include "numbers/input_error.h"
#include "numbers/lattice_rules.h"
#include "numbers/number_text.h"

namespace lamivex::api {

void checkMatrixScanRequest(bool matrixGiven, bool atAngle, bool overlayerOrRangeGiven) {
    if (atAngle && !matrixGiven) {
        numbers::failInput("at-angle", "--at-angle goes with --matrix");
    }
    if (matrixGiven && overlayerOrRangeGiven) {
        numbers::failInput("matrix",
                           "the matrix gives b1, b2, beta and the azimuth range: "
                           "leave out --b1, --b2, --beta, --lower and --upper");
    }
}

void refuseStepsOfOneOrientation(bool stepsAskedFor) {
    if (stepsAskedFor) {
        numbers::failInput("at-angle",
                           "one orientation has no report, plot, table or geometric search");
    }
}

void checkMatrixOverlayer(const engine::OverlayerFromMatrix& o) {
    for (const numbers::FieldVerdict& verdict :
         {numbers::checkLatticeLength("b1", o.b1), numbers::checkLatticeLength("b2", o.b2),
          numbers::checkCellAngle("beta", o.beta, "b1 and b2")}) {
        if (!verdict.accepted) {
            numbers::failInput("matrix", fmt::format("on this substrate {}", verdict.reason));
        }
    }
}

engine::OverlayerFromMatrix checkedOverlayerOf(const engine::CapturedRun& run,
                                               const engine::Matrix2& matrix) {
    engine::ScanInputs check = engine::scanInputsFrom(run);
    engine::checkScanInputs(check);  // the substrate first: the overlayer is made on it
    const engine::OverlayerFromMatrix o =
        engine::overlayerFromMatrix(matrix, engine::substrateCellOf(run));
    checkMatrixOverlayer(o);
    check.b1 = o.b1;
    check.b2 = o.b2;
    check.beta = o.beta;
    engine::checkScanInputs(check);
    return o;
}

engine::MainFieldTexts fieldsAroundMatrix(engine::MainFieldTexts fields,
                                          const engine::Matrix2& matrix) {
    const engine::CapturedRun run = engine::captureRun(fields);
    static_cast<void>(checkedOverlayerOf(run, matrix));  // refuses a lattice no field takes
    // One step either side: step 1 of 0..2 falls on the matrix's angle.
    const engine::MatrixFields m = engine::fieldsFromMatrix(matrix, engine::substrateCellOf(run),
                                                            run.settings.angleSpacing, 1);
    fields.b1 = m.b1;
    fields.b2 = m.b2;
    fields.beta = m.beta;
    fields.Lowerangle = m.lower;
    fields.Upperangle = m.upper;
    return fields;
}

MatrixOrientation orientationOfMatrix(const engine::MainFieldTexts& fields,
                                      const engine::Matrix2& matrix) {
    MatrixOrientation out;
    // The run as the derived lattice makes it, so that its "inputs" name that lattice.
    out.run = engine::captureRun(fieldsAroundMatrix(fields, matrix));
    const engine::SubstrateCell s = engine::substrateCellOf(out.run);
    const engine::OverlayerFromMatrix o = checkedOverlayerOf(out.run, matrix);
    engine::PassGeometry g = engine::makePassGeometry(
        s.a1, s.a2, s.alpha, o.beta, o.b1, o.b2, out.run.substrate.hexagonal, 0,
        out.run.settings.angleSpacing, out.run.settings.b1Size, out.run.settings.b2Size);
    g.kernel = engine::KernelPath::Scalar;
    const engine::StepValues v = engine::computeOrientationAt(g, o.azimuth);
    out.best = {v.vvo, v.theta, v.m11, v.m12, v.m21, v.m22, 1, 1};
    return out;
}

}  // namespace lamivex::api
