#include "model/coincidence.h"

#include <cmath>
#include <optional>
#include <stdexcept>

#include <fmt/format.h>

namespace lamivex::model {

Coincidence coincidenceOf(const engine::Interpretation& interpretation, double azimuth) {
    Coincidence coincidence;
    coincidence.azimuth = azimuth;
    if (const std::optional<engine::IntMatrix2> m = interpretation.integerMatrix()) {
        coincidence.substrateMatrix = {m->m11, m->m12, m->m21, m->m22};
        return coincidence;
    }
    if (const std::optional<engine::Supercell> supercell = interpretation.supercell()) {
        const engine::IntMatrix2& m = supercell->matrix;
        coincidence.substrateMatrix = {m.m11, m.m12, m.m21, m.m22};
        coincidence.b1Multiple = supercell->b1Multiple;
        coincidence.b2Multiple = supercell->b2Multiple;
        return coincidence;
    }
    throw std::invalid_argument("no periodic cell: choose a supercell or a tolerance");
}

Coincidence coincidenceOfMatrix(const engine::Matrix2& matrix, int b1Multiple, int b2Multiple,
                                const engine::SubstrateCell& substrate) {
    const double elements[] = {matrix.m11, matrix.m12, matrix.m21, matrix.m22};
    Coincidence coincidence;
    for (std::size_t k = 0; k < 4; ++k) {
        if (!(std::fabs(elements[k] - std::round(elements[k])) <= 1e-9) ||
            std::fabs(elements[k]) > 1e6) {
            throw std::invalid_argument(
                fmt::format("the supercell's matrix must be whole numbers, got {:g} {:g} {:g} {:g}",
                            matrix.m11, matrix.m12, matrix.m21, matrix.m22));
        }
        coincidence.substrateMatrix[k] = std::llround(elements[k]);
    }
    if (b1Multiple < 1 || b2Multiple < 1 || b1Multiple > 1000 || b2Multiple > 1000) {
        throw std::invalid_argument(fmt::format(
            "the supercell's multiples must be 1 to 1000, got {} {}", b1Multiple, b2Multiple));
    }
    coincidence.b1Multiple = b1Multiple;
    coincidence.b2Multiple = b2Multiple;
    coincidence.azimuth = engine::overlayerFromMatrix(matrix, substrate).azimuth;
    return coincidence;
}

}  // namespace lamivex::model
