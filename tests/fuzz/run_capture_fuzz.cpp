// The start of a run: the main window's field texts through the capture step, and the
// Iteration window's texts through the iteration plan. Line 1 holds the ticks (character i
// odd: ticked), then one line per text in the windows' order; texts not given keep the
// windows' defaults. A capture that passes is scanned over a small domain and interpreted.
// The rules refuse with InputError; any other exception, a crash or undefined behaviour is a
// fault.

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "engine/capture.h"
#include "engine/interpretation.h"
#include "engine/rotation_scan.h"
#include "iteration/iteration_plan.h"
#include "numbers/input_error.h"
#include "numbers/number_text.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using namespace lamivex;
using fuzz::require;

// Keeps each input's scan to a few hundred points: a domain of -2..2 cells, at most 16
// azimuth steps and 2 × 2 passes. Larger asks are legal runs, only too slow to fuzz.
constexpr int16_t kMaxDomain = 2;
constexpr double kMaxAngleSteps = 16;
constexpr int16_t kMaxMultiple = 2;

enum Tick { Hexagonal, Geometric, IterateOverlayer, RigidSubstrate, FixedRows, FastKernel = 10 };

bool ticked(const std::string& ticks, std::size_t at, bool otherwise) {
    return at < ticks.size() ? (static_cast<unsigned char>(ticks[at]) & 1U) != 0 : otherwise;
}

void checkCapture(const engine::CapturedRun& run) {
    // The record holds the single of each rewritten text.
    const std::pair<const std::string*, float> captured[] = {
        {&run.fields.a1, run.substrate.a1},       {&run.fields.a2, run.substrate.a2},
        {&run.fields.alpha, run.substrate.alpha}, {&run.fields.b1, run.overlayer.b1},
        {&run.fields.b2, run.overlayer.b2},       {&run.fields.beta, run.overlayer.beta}};
    for (const auto& [text, value] : captured) {
        const numbers::Parsed<float> back = numbers::toSingle(*text);
        require(back.ok() && back.value == value, "a captured text reads as its record", *text);
    }
}

void scanSmall(engine::CapturedRun run, bool fastKernel) {
    engine::CalcSettings& s = run.settings;
    s.b1Size = std::min(s.b1Size, kMaxDomain);
    s.b2Size = std::min(s.b2Size, kMaxDomain);
    if (s.maxMultiple > kMaxMultiple) {
        return;
    }
    engine::ScanInputs in = engine::scanInputsFrom(run);
    try {
        engine::checkScanInputs(in);
    } catch (const numbers::InputError&) {
        return;
    }
    if (engine::angleStepQuotient(s) > kMaxAngleSteps) {
        return;
    }
    in.kernel = fastKernel && engine::fastKernelAvailable() ? engine::KernelPath::Fast
                                                            : engine::KernelPath::Scalar;
    engine::ScanResults results;
    engine::BestOrientation best;
    (void)engine::runRotationScan(in, results, best);
    require(results.stepCount() == static_cast<int>(engine::angleStepQuotient(s)) + 1,
            "a scan has a result for every step");
    if (best.BestVVo < engine::kScanStartBestVVo) {
        (void)engine::interpretBest(best, run).summary();
    }
}

void checkPlan(const iteration::IterationPlan& plan, std::size_t pick) {
    require(plan.trialCount >= 0 && plan.trialCount <= iteration::kMaxIterationScans,
            "a plan keeps within the scan limit");
    for (std::size_t slot = 0; slot < 3; ++slot) {
        const int64_t steps = plan.stepCounts[slot];
        require(steps <= iteration::kMaxStepCount, "a row keeps within the step limit");
        const bool rigidA1 = plan.kind == iteration::RunKind::SubstrateRigid && slot == 0;
        require(rigidA1 || plan.trials[slot].size() ==
                               static_cast<std::size_t>(std::max<int64_t>(0, steps + 1)),
                "a row has a trial value for every step");
    }
    if (plan.trialCount == 0) {
        return;
    }
    for (const int64_t index :
         {int64_t{0}, static_cast<int64_t>(pick % plan.trialCount), plan.trialCount - 1}) {
        const iteration::TrialLattice trial = iteration::trialAt(plan, index);
        (void)iteration::geometryOf(plan, trial);
        (void)iteration::overlayerArea(plan, trial);
        for (std::size_t slot = 0; slot < 3; ++slot) {
            (void)trial.text(slot);
        }
    }
    bool refused = false;
    try {
        (void)iteration::trialAt(plan, plan.trialCount);
    } catch (const std::out_of_range&) {
        refused = true;
    }
    require(refused, "a trial past the run is refused");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::vector<std::string> input = fuzz::lines(fuzz::asText(data, size));
    const std::string ticks = input.empty() ? std::string() : input.front();

    engine::MainFieldTexts f;
    f.hexagonal = ticked(ticks, Hexagonal, false);
    f.chkgeo = ticked(ticks, Geometric, false);
    fuzz::assignLines(
        input, 1,
        {&f.SubName, &f.a1, &f.a2, &f.alpha, &f.OverName, &f.b1, &f.b2, &f.beta, &f.b1size,
         &f.b2size, &f.Lowerangle, &f.Upperangle, &f.AngleSpacing, &f.txtUplim});
    engine::CapturedRun run;
    try {
        run = engine::captureRun(f);
    } catch (const numbers::InputError&) {
        return 0;
    }
    checkCapture(run);
    scanSmall(run, ticked(ticks, FastKernel, false));

    iteration::IterationWindowFields window;
    iteration::fillIterationDefaults(run.fields, 0.8, window);
    window.iterover = ticked(ticks, IterateOverlayer, true);
    window.rigidSubs = ticked(ticks, RigidSubstrate, false);
    std::vector<std::string*> texts;
    for (std::size_t row = 0; row < window.rows.size(); ++row) {
        iteration::RangeRowTexts& r = window.rows[row];
        r.fixed = ticked(ticks, FixedRows + row, false);
        texts.insert(texts.end(), {&r.from, &r.to, &r.increment});
    }
    texts.push_back(&window.itercrit);
    fuzz::assignLines(input, 15, texts);
    iteration::IterationPlan plan;
    try {
        plan = iteration::planIteration(run, window);
    } catch (const numbers::InputError&) {
        return 0;
    }
    checkPlan(plan, size);
    return 0;
}
