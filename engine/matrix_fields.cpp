#include "engine/matrix_fields.h"

#include <algorithm>

#include "engine/match_kernel.h"
#include "numbers/number_text.h"

namespace lamivex::engine {

MatrixFields fieldsFromMatrix(const Matrix2& matrix, const SubstrateCell& substrate, double spacing,
                              int stepsEachSide) {
    MatrixFields f;
    f.overlayer = overlayerFromMatrix(matrix, substrate);
    const auto single = [](double v) { return numbers::formatSingle(static_cast<float>(v)); };
    f.b1 = single(f.overlayer.b1);
    f.b2 = single(f.overlayer.b2);
    f.beta = single(f.overlayer.beta);
    const double start = f.overlayer.azimuth - kAngleOffset;
    const double half = std::max(stepsEachSide, 1) * spacing;
    f.lower = numbers::formatDouble(start - half);
    f.upper = numbers::formatDouble(start + half);
    return f;
}

}  // namespace lamivex::engine
