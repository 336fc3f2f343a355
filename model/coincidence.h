#pragma once
// The coincidence a structure model is built in, from the interpretation of a scan's best
// orientation or from a matrix the user typed.

#include "engine/interpretation.h"
#include "model/structure_model.h"

namespace lamivex::model {

// Commensurate: the overlayer cell's whole matrix; coincident: the supercell's matrix and
// multiples. Anything else has no periodic cell and is refused with
// "no periodic cell: choose a supercell or a tolerance".
[[nodiscard]] Coincidence coincidenceOf(const engine::Interpretation& interpretation,
                                        double azimuth);

// matrix is the supercell (b1Multiple·b1, b2Multiple·b2) on the substrate and must be whole
// numbers; the azimuth is that of its first vector.
[[nodiscard]] Coincidence coincidenceOfMatrix(const engine::Matrix2& matrix, int b1Multiple,
                                              int b2Multiple,
                                              const engine::SubstrateCell& substrate);

}  // namespace lamivex::model
