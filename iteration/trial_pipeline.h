#pragma once
// Runs independent trials on a pool of threads and hands their outcomes to the calling
// thread strictly in trial order, so that everything decided at commit time (matches, the
// carried-over best, the stop at the match limit, the abort point) is exactly what a
// sequential run decides.

#include <chrono>
#include <cstdint>
#include <functional>

#include "iteration/iteration_scan.h"

namespace lamivex::iteration {

// The calling thread polls at this interval at most; the run promises 50 ms.
inline constexpr std::chrono::milliseconds kPollInterval{20};

struct PipelineHooks {
    // On a worker thread: the outcome of trial t. Must not touch shared state.
    std::function<void(int64_t t, ScanOutcome& out)> compute;
    // On the calling thread, for t = 0, 1, 2, ... in order; false ends the run after t.
    std::function<bool(int64_t t, const ScanOutcome& out)> commit;
    // On the calling thread, every kPollInterval while the run lasts; true asks to stop.
    // Like the sequential run's abort test after each trial, a stop never cuts a trial in
    // half: when no trial was committed since the previous poll, the run ends after the
    // next one (the trial that was in progress).
    std::function<bool()> poll;
};

// Returns the number of trials committed. threads < 1 means one. Rethrows on the calling
// thread the first exception of a worker; the workers are joined before it returns.
int64_t runOrderedTrials(int64_t trialCount, int threads, const PipelineHooks& hooks);

}  // namespace lamivex::iteration
