#pragma once
// An overlayer given as a transformation matrix (b1 = m11 a1 + m12 a2, b2 = m21 a1 + m22 a2)
// instead of b1, b2 and beta: the lattice and the azimuth it describes, checked by the rules
// of every run, for the command line's --matrix and the Python module's matrix=.

#include "engine/best_orientation.h"
#include "engine/capture.h"
#include "engine/interpretation.h"
#include "engine/lattice.h"

namespace lamivex::api {

// The refusals of a scan given its overlayer as a matrix: --at-angle without a matrix, and a
// matrix beside b1, b2, beta or the azimuth range, which it gives itself.
void checkMatrixScanRequest(bool matrixGiven, bool atAngle, bool overlayerOrRangeGiven);
// One orientation at the matrix's angle has no steps: refuses what would need them.
void refuseStepsOfOneOrientation(bool stepsAskedFor);

// The overlayer a matrix gives obeys the lattice rules of every run (lengths, an angle not
// near 0 or 180 degrees); refused as InputError naming matrix.
void checkMatrixOverlayer(const engine::OverlayerFromMatrix& overlayer);

// The overlayer a matrix gives on run's substrate, checked as above, and the rest of run
// checked as a scan checks it.
[[nodiscard]] engine::OverlayerFromMatrix checkedOverlayerOf(const engine::CapturedRun& run,
                                                             const engine::Matrix2& matrix);

// fields with b1, b2 and beta of the matrix's lattice on the fields' substrate and the
// azimuth range one spacing either side of the matrix's angle (the middle step lies on it).
[[nodiscard]] engine::MainFieldTexts fieldsAroundMatrix(engine::MainFieldTexts fields,
                                                        const engine::Matrix2& matrix);

// The one orientation of the matrix at its own angle, computed in double precision from the
// lattice it describes, with the capture of that lattice's fields (so its inputs name it).
struct MatrixOrientation {
    engine::CapturedRun run;
    engine::BestOrientation best;
};
[[nodiscard]] MatrixOrientation orientationOfMatrix(const engine::MainFieldTexts& fields,
                                                    const engine::Matrix2& matrix);

}  // namespace lamivex::api
