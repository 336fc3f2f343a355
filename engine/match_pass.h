#pragma once
// One pass: every azimuth step for one pair of multiples (b1 taken i times, b2 j times).

#include <functional>

#include "engine/best_orientation.h"
#include "engine/match_kernel.h"
#include "engine/scan_results.h"

namespace lamivex::engine {

// Called with the step just computed and the last step index; the pass reports after
// each block of steps and always after the last one.
using ProgressFn = std::function<void(int k, int lastAngleIndex)>;

// Fraction of a pass done after step k: k / N, and 1 for a single-step pass (N = 0).
[[nodiscard]] double progressFraction(int k, int lastAngleIndex);

// Re-creates the per-angle arrays, writes steps 0..LastAngleIndex into them and into the
// (i, j) slice of the tables, and replaces the best orientation where V/Vo is strictly lower.
void runPass(const PassGeometry& g, int i, int j, ScanResults& results, BestOrientation& best,
             const ProgressFn& progress = {});

// The steps of a pass without re-creating anything: the (i, j) table slice, the per-angle
// arrays only when asked. Passes with different (i, j) may run at once on one ScanResults.
void computePass(const PassGeometry& g, int i, int j, ScanResults& results, BestOrientation& best,
                 bool writePerAngleArrays, const ProgressFn& progress);

}  // namespace lamivex::engine
