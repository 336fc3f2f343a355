#pragma once
// scan --matrix: a transformation matrix given by the user (b = M a) instead of the
// overlayer, turned into the overlayer lattice and the azimuth it describes.

#include "engine/best_orientation.h"
#include "engine/capture.h"
#include "engine/interpretation.h"
#include "engine/lattice.h"

namespace lamivex::cli {

// The overlayer a matrix gives obeys the lattice rules of every run (lengths, an angle not
// near 0 or 180 degrees); refused as InputError naming --matrix.
void checkMatrixOverlayer(const engine::OverlayerFromMatrix& overlayer);

// The overlayer a matrix gives on run's substrate. It obeys the lattice rules of every run
// (lengths, an angle not near 0 or 180 degrees), refused as InputError naming --matrix, and
// the rest of run is checked as a scan checks it.
[[nodiscard]] engine::OverlayerFromMatrix checkedOverlayerOf(const engine::CapturedRun& run,
                                                             const engine::Matrix2& matrix);

// fields with b1, b2 and beta of the matrix's lattice on the fields' substrate and the
// azimuth range one spacing either side of the matrix's angle (the middle step lies on it).
[[nodiscard]] engine::MainFieldTexts fieldsAroundMatrix(engine::MainFieldTexts fields,
                                                        const engine::Matrix2& matrix);

// The one orientation of the matrix at its own angle, computed in double precision from
// the lattice it describes, with the capture of fields (substrate, domain, symmetry).
struct MatrixOrientation {
    engine::CapturedRun run;
    engine::BestOrientation best;
};
[[nodiscard]] MatrixOrientation orientationOfMatrix(const engine::MainFieldTexts& fields,
                                                    const engine::Matrix2& matrix);

}  // namespace lamivex::cli
