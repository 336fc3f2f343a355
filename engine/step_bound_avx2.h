#pragma once
// The step bound four steps at a time; compiled for AVX2 and FMA like the fast kernel and
// called only after the same processor check.

#include "engine/step_bound.h"

namespace lamivex::engine {

int boundSurvivorsAvx2(const StepBound::Constants& p, const MatrixSines& sines, int kBegin,
                       int count, double threshold, int* steps);

}  // namespace lamivex::engine
