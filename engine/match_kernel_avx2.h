#pragma once
// The vectorised kernel; only this file's translation unit is compiled for AVX2 and FMA, and
// computeSteps calls it only after checking the processor.

#include "engine/match_kernel.h"

namespace lamivex::engine {

void computeStepsAvx2(const PassGeometry& g, int kBegin, int count, StepBlock& out);
void computeStepListAvx2(const PassGeometry& g, const int* steps, int count, StepBlock& out);

}  // namespace lamivex::engine
