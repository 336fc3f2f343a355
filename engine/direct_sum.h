#pragma once
// V/Vo from its definition: the substrate waves summed point by point over the overlayer
// domain in Cartesian coordinates. Slow (one cosine per point and wave); the reference
// the closed form is checked and measured against.

#include "engine/match_kernel.h"

namespace lamivex::engine {

[[nodiscard]] double directSumVVo(const PassGeometry& g, float theta);

}  // namespace lamivex::engine
