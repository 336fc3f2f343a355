#pragma once
// What an iteration run will do, settled and checked before its loops start: the kind of
// run, the trial values of each iterated constant and the order of the trials.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/capture.h"
#include "engine/match_kernel.h"
#include "iteration/iteration_ranges.h"

namespace lamivex::iteration {

// The four loop nestings, outermost loop first:
//   Overlayer:          beta, b2, b1
//   OverlayerGeometric: beta, b2 multiple m, b2, b1 multiple n', b1 (b_i = trial * multiple)
//   SubstrateFlexible:  alpha, a2, a1
//   SubstrateRigid:     alpha, a2 (a1 takes the value of a2)
enum class RunKind { Overlayer, OverlayerGeometric, SubstrateFlexible, SubstrateRigid };

[[nodiscard]] constexpr bool iteratesOverlayer(RunKind kind) {
    return kind == RunKind::Overlayer || kind == RunKind::OverlayerGeometric;
}

inline constexpr int kMaxStepCount = 32767;
// About five minutes of the default scan on one core; longer runs are almost always a
// mistyped increment.
inline constexpr int64_t kMaxIterationScans = 10'000'000;

// One value of an iterated constant: Low + i × Inc in 32-bit floats, and the double a scan
// computes with from it (engine::capturedValue: its shortest text read back).
struct TrialValue {
    float single = 0;
    double value = 0;
};

// One trial: the first, second and angle constant of the iterated lattice (b1, b2, beta or
// a1, a2, alpha) as the scan computes with them, and how the main window shows them.
struct TrialLattice {
    std::array<double, 3> values{};  // Angstroms, Angstroms, degrees
    std::array<float, 3> singles{};  // the trial values before any multiple
    bool multipliedLengths = false;  // a geometric run: values[0..1] are trial × multiple
    int b1Multiple = 1;              // n' in a geometric run
    int b2Multiple = 1;              // m in a geometric run

    // The text the main window's field shows: a multiplied length with up to 15 significant
    // digits, else the shortest text of the 32-bit value.
    [[nodiscard]] std::string text(std::size_t slot) const;
};

struct IterationPlan {
    RunKind kind = RunKind::Overlayer;
    engine::CapturedRun run;  // the capture that started the run: its run-start values
    engine::ScanInputs base;  // the run-start lattice and settings as doubles; its kernel
                              // path serves every scan
    IterationRanges ranges;   // as read; Low is the run-start value in a Fixed row
    std::array<bool, kConstantCount> fixed{};
    double SelectionCriterion = 0.8;  // the criterion text read as a 32-bit float
    // Every azimuth step of every trial computed; by default a trial leaves out the steps
    // whose bound shows they cannot match, with the same results.
    bool exhaustive = false;
    int maxMultiple = 1;  // the multiples of a geometric run
    int lastAngleIndex = 0;
    int HistogramLowAngle = 0;
    int HistogramHighAngle = 0;
    // StepCount of the first, second and angle constant (0 for a Fixed row, negative for a
    // row without trial values; the first is unused in a rigid run).
    std::array<int64_t, 3> stepCounts{};
    // The trial values of the three constants.
    std::array<std::vector<TrialValue>, 3> trials;
    int64_t trialCount = 0;  // scans in the run, multiples included
};

// Reads the criterion and the iterated rows, applies the step rule and refuses, with an
// InputError naming the row ("b1-range", ...) or the setting, whatever the loops could not
// carry: an empty or non-numeric range value, an increment not above zero, more than 32767
// steps, lengths not above zero, an angle trial on a multiple of 180 degrees, more than
// kMaxIterationScans scans, and the settings the rotation scan refuses.
[[nodiscard]] IterationPlan planIteration(const engine::CapturedRun& run,
                                          const IterationWindowFields& window);

// The constants a kind of run iterates, in the order first, second, angle.
[[nodiscard]] std::array<Constant, 3> iteratedConstants(RunKind kind);

// Trial number index (0-based, in the order of the sequential loops).
[[nodiscard]] TrialLattice trialAt(const IterationPlan& plan, int64_t index);

[[nodiscard]] engine::PassGeometry geometryOf(const IterationPlan& plan, const TrialLattice& trial);

// b2 * b1 * sin(beta) of the overlayer at the trial, square Angstroms.
[[nodiscard]] double overlayerArea(const IterationPlan& plan, const TrialLattice& trial);

}  // namespace lamivex::iteration
