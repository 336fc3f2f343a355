#pragma once
// The rotation scan: one pass for every pair of multiples, b2 multiple j outer, b1
// multiple i inner, with the best orientation kept across passes.

#include <functional>
#include <string>

#include "engine/best_orientation.h"
#include "engine/capture.h"
#include "engine/match_pass.h"
#include "engine/scan_results.h"

namespace lamivex::engine {

struct ScanCallbacks {
    // Before each pass: the multiples and the lengths b1 × i and b2 × j it computes with,
    // Angstroms, as lengthAsFieldShowsIt gives them.
    std::function<void(int i, int j, double b1, double b2)> passStarting;
    ProgressFn progress;
    // After each pass (the window delivers pending events first); true ends the run there.
    std::function<bool()> abortRequested;
};

enum class ScanStatus { Completed, Aborted };

// N: the whole part of (upper - lower) / spacing, from the single values in double.
[[nodiscard]] double angleStepQuotient(const CalcSettings& settings);

// Refuses, before anything is computed, settings the arithmetic cannot carry or that
// have no physical meaning. Throws InputError naming the field.
void checkScanInputs(const ScanInputs& in);

// The wave bound of numbers/lattice_rules.h for the domain of in with b1 and b2 times
// maxMultiple. Throws InputError naming m, n or max-multiple.
void checkWaveSpan(const ScanInputs& in, int maxMultiple);

// A multiplied length as a pass computes with it: the pass reads b1 × i from the b1 field,
// which shows the product with up to 15 significant digits.
[[nodiscard]] double lengthAsFieldShowsIt(double length, int multiple);

// Checks the inputs, resets results (keeping their memory), sets BestVVo to 0.9999 and runs every
// pass. The rest of best is kept until a step beats BestVVo. After an abort, results hold what the
// finished passes wrote.
ScanStatus runRotationScan(const ScanInputs& in, ScanResults& results, BestOrientation& best,
                           const ScanCallbacks& callbacks = {});

}  // namespace lamivex::engine
