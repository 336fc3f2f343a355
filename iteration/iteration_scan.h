#pragma once
// IterationScan: the rotation of one trial lattice through the azimuth range, keeping only
// its best orientation. It starts from BestVVo = 1.0 and, unlike the rotation scan, keeps
// neither tables nor multiples.

#include "engine/best_orientation.h"
#include "engine/match_kernel.h"

namespace lamivex::iteration {

// What one scan found. When no step gave V/Vo below 1.0 (found is false) the angle and
// matrix are empty: the run then carries those of the scan before it.
struct ScanOutcome {
    bool found = false;
    double BestVVo = 1.0;
    float BestAngle = 0;  // degrees
    double BestPx = 0;    // m11
    double BestQy = 0;    // m12
    double BestQx = 0;    // m21
    double BestPy = 0;    // m22
};

inline constexpr double kIterationScanStartVVo = 1.0;

// Steps k = 0..lastAngleIndex; only a strictly lower V/Vo replaces the best, so the first
// step reaching the minimum wins.
[[nodiscard]] ScanOutcome iterationScan(const engine::PassGeometry& g, int lastAngleIndex);

// Folds a scan into the program-wide best record as the sequential run does: BestVVo is
// the scan's (1.0 when it found nothing), the other fields change only when it found a step.
void applyScan(const ScanOutcome& scan, engine::BestOrientation& best);

}  // namespace lamivex::iteration
