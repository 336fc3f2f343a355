#include "cli/matrix_option.h"

#include "cli/interpretation_output.h"
#include "engine/match_kernel.h"
#include "engine/rotation_scan.h"
#include "numbers/number_text.h"

namespace lamivex::cli {

engine::MainFieldTexts fieldsAroundMatrix(engine::MainFieldTexts fields,
                                          const engine::Matrix2& matrix) {
    const engine::CapturedRun run = engine::captureRun(fields);
    const engine::OverlayerFromMatrix o =
        engine::overlayerFromMatrix(matrix, engine::substrateCellOf(run));
    fields.b1 = numbers::formatDouble(o.b1);
    fields.b2 = numbers::formatDouble(o.b2);
    fields.beta = numbers::formatDouble(o.beta);
    // Step k lies at lower + k·spacing + 0.001: step 1 of 0..2 falls on the matrix's angle.
    const double spacing = run.settings.angleSpacing;
    const double start = o.azimuth - engine::kAngleOffset;
    fields.Lowerangle = numbers::formatDouble(start - spacing);
    fields.Upperangle = numbers::formatDouble(start + spacing);
    return fields;
}

MatrixOrientation orientationOfMatrix(const engine::MainFieldTexts& fields,
                                      const engine::Matrix2& matrix) {
    MatrixOrientation out;
    out.run = engine::captureRun(fields);
    const engine::SubstrateCell s = engine::substrateCellOf(out.run);
    const engine::OverlayerFromMatrix o = engine::overlayerFromMatrix(matrix, s);
    engine::ScanInputs check = engine::scanInputsFrom(out.run);
    check.b1 = o.b1;
    check.b2 = o.b2;
    check.beta = o.beta;
    engine::checkScanInputs(check);
    engine::PassGeometry g = engine::makePassGeometry(
        s.a1, s.a2, s.alpha, o.beta, o.b1, o.b2, out.run.substrate.hexagonal, 0,
        out.run.settings.angleSpacing, out.run.settings.b1Size, out.run.settings.b2Size);
    g.kernel = engine::KernelPath::Scalar;
    const engine::StepValues v = engine::computeOrientationAt(g, o.azimuth);
    out.best = {v.vvo, v.theta, v.m11, v.m12, v.m21, v.m22, 1, 1};
    return out;
}

}  // namespace lamivex::cli
