#pragma once
// The pairs of a screen on a pool of threads, handed to the calling thread strictly in the
// order of the work list, so that what is written as pairs finish is the same, to the byte,
// whatever the number of threads, and an interrupted run has written a prefix of it.

#include <cstddef>
#include <functional>
#include <optional>
#include <span>

#include "screening/pair_screen.h"

namespace lamivex::screening {

// One entry of the work: the pair's place in the whole list, its substrate, and its result
// when an earlier run already holds it (then it is committed without being computed).
struct PairWork {
    std::size_t pair = 0;
    Substrate substrate;
    std::optional<PairResult> known;
};

struct RunHooks {
    // On the calling thread, for each pair in the order of work.
    std::function<void(const PairResult&)> commit;
    // On the calling thread, a few times a second; true stops the run: the pairs in progress
    // are abandoned and nothing after the last committed pair is committed.
    std::function<bool()> stopRequested;
    // On the calling thread: the fraction of the work done (computed pairs weighed by their
    // azimuth steps and multiples), 0 to 1.
    std::function<void(double fraction)> progress;
};

// Returns the number of pairs committed. threads < 1 means one.
std::size_t runInOrder(std::span<const PairWork> work, const ScreenSettings& settings, int threads,
                       const RunHooks& hooks);

}  // namespace lamivex::screening
