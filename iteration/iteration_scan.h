#pragma once
// IterationScan: the rotation of one trial lattice through the azimuth range, keeping only
// its best orientation. It starts from BestVVo = 1.0 and, unlike the rotation scan, keeps
// neither tables nor multiples.

#include <optional>
#include <string>

#include "engine/best_orientation.h"
#include "engine/match_kernel.h"
#include "engine/step_bound.h"
#include "iteration/match_records.h"

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
    // A pruned scan left out a step that might have lowered a best at or above the
    // criterion: the outcome is then exact only as far as the match goes.
    bool approximate = false;
    // A match the worker already wrote out (found, below the criterion), so that the
    // ordered commit only appends it.
    std::optional<Match> match;
};

inline constexpr double kIterationScanStartVVo = 1.0;

// Steps k = 0..lastAngleIndex; only a strictly lower V/Vo replaces the best, so the first
// step reaching the minimum wins.
[[nodiscard]] ScanOutcome iterationScan(const engine::PassGeometry& g, int lastAngleIndex);

// The same outcome for a trial that matches (best V/Vo below criterion), computing only the
// steps whose bound lies below min(criterion, best so far): a step left out can neither
// make a match nor, being at or above the best so far, replace it. The matrix sines come
// from sines, which must belong to g's alpha, beta and azimuth grid. Of a trial that does
// not match, found and BestVVo are those of the steps computed (approximate tells).
[[nodiscard]] ScanOutcome prunedIterationScan(const engine::PassGeometry& g, int lastAngleIndex,
                                              double criterion, const engine::MatrixSines& sines);

// Folds a scan into the program-wide best record as the sequential run does: BestVVo is
// the scan's (1.0 when it found nothing), the other fields change only when it found a step.
void applyScan(const ScanOutcome& scan, engine::BestOrientation& best);

}  // namespace lamivex::iteration
