#pragma once
// The iteration run: one IterationScan per trial lattice, on every core, with the matches,
// their records and the hit counts exactly as the loops in sequence would give them.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/best_orientation.h"
#include "engine/lattice.h"
#include "iteration/iteration_plan.h"
#include "iteration/match_records.h"

namespace lamivex::iteration {

enum class StopReason {
    Complete,  // every trial was scanned
    Limit,     // the 2000th match ended the run
    Aborted,   // the abort callback ended it
};

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

struct IterationResult {
    RunKind kind = RunKind::Overlayer;
    StopReason stop = StopReason::Complete;
    int MatchCount = 0;
    std::vector<std::string> MatchRecords;  // match k (1-based) is MatchRecords[k - 1]
    std::vector<Match> matches;             // the same matches at full precision
    HitCounts hits;
    int64_t trialsDone = 0;
    int64_t trialCount = 0;
    IterationRanges ranges;  // as the run read them
    double SelectionCriterion = 0;
    // The main window's fields after the run: the iterated lattice back at its run-start
    // values (lengths as captured, the angle from its run-start single).
    engine::MainFieldTexts restoredFields;
};

// threads < 1 uses every core. best is the program-wide best-orientation record: the run
// starts from it (a trial that finds nothing below 1.0 carries its angle and matrix) and
// leaves in it the last scan's values.
[[nodiscard]] IterationResult runIteration(const IterationPlan& plan, engine::BestOrientation& best,
                                           const IterationCallbacks& callbacks = {},
                                           int threads = 0);

// Replaces in programWide the rows a run of kind read at its start (the three constants of the
// lattice it iterates), keeping the others.
void keepRangesRead(IterationRanges& programWide, RunKind kind, const IterationRanges& read);

// The message the window shows at the end: "Iterations complete. Match count = N", or the
// three tab-separated parts when the match limit stopped the run, or "Iteration run aborted".
[[nodiscard]] std::string completionMessage(const IterationResult& result);

[[nodiscard]] int defaultThreadCount();

}  // namespace lamivex::iteration
