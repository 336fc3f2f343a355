#pragma once
// The iteration run: one IterationScan per trial lattice, on every core, with the matches,
// their records and the hit counts exactly as the loops in sequence would give them.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/best_orientation.h"
#include "iteration/completed_iteration.h"
#include "iteration/iteration_plan.h"

namespace lamivex::iteration {

struct IterationProgress {
    int64_t trialsDone = 0;  // trials committed, in order
    int64_t trialCount = 0;
    int matchCount = 0;
    TrialLattice current;  // the last committed trial, as the progress window shows it
};

struct IterationCallbacks {
    // Both are called from the calling thread, at least every 50 ms while the run lasts;
    // progress once more at the end.
    std::function<void(const IterationProgress&)> progress;
    // True ends the run after the trial in progress (the trials before it are kept).
    std::function<bool()> abortRequested;
};

// threads < 1 uses every core. best is the program-wide best-orientation record: the run
// starts from it (a trial that finds nothing below 1.0 carries its angle and matrix) and
// leaves in it the last scan's values.
[[nodiscard]] CompletedIteration runIteration(const IterationPlan& plan,
                                              engine::BestOrientation& best,
                                              const IterationCallbacks& callbacks = {},
                                              int threads = 0);

[[nodiscard]] int defaultThreadCount();

}  // namespace lamivex::iteration
