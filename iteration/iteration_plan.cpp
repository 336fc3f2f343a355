#include "iteration/iteration_plan.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include <fmt/format.h>

#include "engine/rotation_scan.h"
#include "numbers/constants.h"
#include "numbers/input_error.h"
#include "numbers/lattice_rules.h"
#include "numbers/number_text.h"

namespace lamivex::iteration {
namespace {

using numbers::failInput;

std::string rowLabel(Constant c) {
    return fmt::format("the {} range", constantName(c));
}

float rangeValue(Constant c, std::string_view column, const std::string& text) {
    const numbers::Parsed<float> parsed = numbers::toSingle(text);
    if (parsed.ok()) {
        return parsed.value;
    }
    const std::string part(column);
    if (text.find_first_not_of(" \t") == std::string::npos) {
        failInput(rangeFieldName(c),
                  fmt::format("The {} value of {} is empty.", column, rowLabel(c)), part);
    }
    if (parsed.error == numbers::NumberError::OutOfRange) {
        failInput(
            rangeFieldName(c),
            fmt::format("The {} value of {} (\"{}\") is out of range.", column, rowLabel(c), text),
            part);
    }
    failInput(
        rangeFieldName(c),
        fmt::format("The {} value of {} (\"{}\") is not a number.", column, rowLabel(c), text),
        part);
}

bool isLength(Constant c) {
    return c != Constant::beta && c != Constant::alpha;
}

float runStartValue(const engine::CapturedRun& run, Constant c) {
    switch (c) {
        case Constant::b1:
            return run.overlayer.b1;
        case Constant::b2:
            return run.overlayer.b2;
        case Constant::beta:
            return run.overlayer.beta;
        case Constant::a1:
            return run.substrate.a1;
        case Constant::a2:
            return run.substrate.a2;
        case Constant::alpha:
            return run.substrate.alpha;
    }
    return 0;
}

// Reads one iterated row into plan.ranges and returns its StepCount.
int64_t readRow(const engine::CapturedRun& run, const RangeRowTexts& row, Constant c,
                Range& range) {
    if (row.fixed) {
        // To and Increment are not used; keep them when they are numbers.
        range.Low = runStartValue(run, c);
        range.High = numbers::toSingle(row.to).value;
        range.Inc = numbers::toSingle(row.increment).value;
        return 0;
    }
    range.Low = rangeValue(c, "From", row.from);
    range.High = rangeValue(c, "To", row.to);
    range.Inc = rangeValue(c, "Increment", row.increment);
    if (!(range.Inc > 0)) {
        failInput(rangeFieldName(c),
                  fmt::format("The increment of {} must be greater than 0 (it is {}).", rowLabel(c),
                              numbers::formatSingle(range.Inc)),
                  "Increment");
    }
    if (isLength(c) && !(range.Low > 0)) {
        failInput(rangeFieldName(c),
                  fmt::format("The lengths of {} must be greater than 0 (From is {}).", rowLabel(c),
                              numbers::formatSingle(range.Low)),
                  "From");
    }
    const int64_t steps = stepCount(range.Low, range.High, range.Inc);
    if (steps > kMaxStepCount) {
        failInput(rangeFieldName(c),
                  fmt::format("{} would take {} steps; at most {} are possible. Use a larger "
                              "increment.",
                              fmt::format("The {} range", constantName(c)), steps, kMaxStepCount));
    }
    return steps;
}

void fillTrialValues(IterationPlan& plan, std::size_t slot, Constant c) {
    const int64_t steps = plan.stepCounts[slot];
    for (int i = 0; i <= steps; ++i) {
        const float single = trialValue(plan.ranges[c], i);
        plan.trials[slot].push_back({single, engine::capturedValue(single)});
    }
}

// An angle trial on (or within the cell rule's tolerance of) a multiple of 180 degrees makes
// the lattice's two vectors parallel.
void checkAngleTrials(const IterationPlan& plan, std::size_t slot, Constant c) {
    const std::vector<TrialValue>& angles = plan.trials[slot];
    const bool substrate = c == Constant::alpha;
    for (std::size_t i = 0; i < angles.size(); ++i) {
        if (!numbers::checkCellAngle(constantName(c), angles[i].value, "").accepted) {
            failInput(rangeFieldName(c),
                      fmt::format("The {} range reaches {} degrees (trial {}): {} would be "
                                  "parallel.",
                                  constantName(c), numbers::formatSingle(angles[i].single), i + 1,
                                  substrate ? "a1 and a2" : "b1 and b2"));
        }
    }
}

// Every length trial within the lengths a run computes with.
void checkLengthTrials(const IterationPlan& plan, std::size_t slot, Constant c) {
    const std::vector<TrialValue>& lengths = plan.trials[slot];
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        if (!numbers::checkLatticeLength(constantName(c), lengths[i].value).accepted) {
            failInput(rangeFieldName(c),
                      fmt::format("The {} range reaches {} Angstroms (trial {}): lengths must be "
                                  "from {} to {} Angstroms.",
                                  constantName(c), numbers::formatSingle(lengths[i].single), i + 1,
                                  numbers::kMinLatticeLength, numbers::kMaxLatticeLength));
        }
    }
}

// The trial values of slot that give the most wave periods: the longest overlayer length,
// the shortest substrate length, the substrate angle nearest to parallel.
double widestTrial(const IterationPlan& plan, std::size_t slot, Constant c) {
    const std::vector<TrialValue>& trials = plan.trials[slot];
    const auto weight = [c](double value) {
        switch (c) {
            case Constant::b1:
            case Constant::b2:
                return value;
            case Constant::a1:
            case Constant::a2:
                return -value;
            case Constant::alpha:
                return -std::fabs(std::sin(value * numbers::kDegree));
            case Constant::beta:
                break;
        }
        return 0.0;
    };
    return std::max_element(trials.begin(), trials.end(),
                            [&](const TrialValue& x, const TrialValue& y) {
                                return weight(x.value) < weight(y.value);
                            })
        ->value;
}

// The fixed settings as the rotation scan would check them, with each iterated constant at
// its first trial value; then the domain's wave periods at the widest trial.
void checkFixedSettings(const IterationPlan& plan) {
    engine::ScanInputs in = plan.base;
    const std::array<Constant, 3> iterated = iteratedConstants(plan.kind);
    for (std::size_t slot = 0; slot < 3; ++slot) {
        if (plan.trials[slot].empty()) {
            continue;
        }
        const double first = plan.trials[slot].front().value;
        switch (iterated[slot]) {
            case Constant::b1:
                in.b1 = first;
                break;
            case Constant::b2:
                in.b2 = first;
                break;
            case Constant::beta:
                in.beta = first;
                break;
            case Constant::a1:
                in.a1 = first;
                break;
            case Constant::a2:
                in.a2 = first;
                break;
            case Constant::alpha:
                in.alpha = first;
                break;
        }
    }
    if (plan.kind == RunKind::SubstrateRigid) {
        in.a1 = in.a2;
    }
    // An iteration scan keeps no tables, so the multiples do not count against their size.
    in.settings.maxMultiple = 1;
    engine::checkScanInputs(in);
    engine::ScanInputs widest = in;
    for (std::size_t slot = 0; slot < 3; ++slot) {
        if (plan.trials[slot].empty()) {
            continue;
        }
        const double value = widestTrial(plan, slot, iterated[slot]);
        switch (iterated[slot]) {
            case Constant::b1:
                widest.b1 = value;
                break;
            case Constant::b2:
                widest.b2 = value;
                break;
            case Constant::a1:
                widest.a1 = value;
                break;
            case Constant::a2:
                widest.a2 = value;
                break;
            case Constant::alpha:
                widest.alpha = value;
                break;
            case Constant::beta:
                break;
        }
    }
    if (plan.kind == RunKind::SubstrateRigid) {
        widest.a1 = widest.a2;
    }
    engine::checkWaveSpan(widest, plan.maxMultiple);
}

int64_t valueCount(int64_t steps) {
    return steps < 0 ? 0 : steps + 1;
}

}  // namespace

std::array<Constant, 3> iteratedConstants(RunKind kind) {
    if (iteratesOverlayer(kind)) {
        return {Constant::b1, Constant::b2, Constant::beta};
    }
    return {Constant::a1, Constant::a2, Constant::alpha};
}

IterationPlan planIteration(const engine::CapturedRun& run, const IterationWindowFields& window) {
    IterationPlan plan;
    plan.run = run;
    plan.base = engine::scanInputsFrom(run);
    plan.base.kernel = engine::KernelPath::Fast;  // the records carry two decimals
    if (window.iterover) {
        plan.kind = run.fields.chkgeo ? RunKind::OverlayerGeometric : RunKind::Overlayer;
    } else {
        plan.kind = window.rigidSubs ? RunKind::SubstrateRigid : RunKind::SubstrateFlexible;
    }

    const numbers::Parsed<float> criterion = numbers::toSingle(window.itercrit);
    if (!criterion.ok()) {
        failInput("criterion", fmt::format("The selection criterion (\"{}\") is not a number.",
                                           window.itercrit));
    }
    plan.SelectionCriterion = criterion.value;

    if (plan.kind == RunKind::OverlayerGeometric) {
        plan.maxMultiple = run.settings.maxMultiple;
        if (plan.maxMultiple < 1) {
            failInput("max-multiple",
                      fmt::format("The maximum multiple must be at least 1 (it is {}).",
                                  plan.maxMultiple));
        }
    }

    const std::array<Constant, 3> iterated = iteratedConstants(plan.kind);
    for (std::size_t slot = 0; slot < 3; ++slot) {
        const Constant c = iterated[slot];
        plan.fixed[rowIndex(c)] = window.row(c).fixed;
        if (plan.kind == RunKind::SubstrateRigid && c == Constant::a1) {
            // a1 follows a2, so the row has no effect on the run; its values are kept only
            // for the range line of the data file.
            const RangeRowTexts& row = window.row(c);
            plan.ranges[c] = {row.fixed ? runStartValue(run, c) : numbers::toSingle(row.from).value,
                              numbers::toSingle(row.to).value,
                              numbers::toSingle(row.increment).value};
            continue;
        }
        plan.stepCounts[slot] = readRow(run, window.row(c), c, plan.ranges[c]);
    }
    for (std::size_t slot = 0; slot < 3; ++slot) {
        if (plan.kind == RunKind::SubstrateRigid && slot == 0) {
            continue;
        }
        fillTrialValues(plan, slot, iterated[slot]);
    }
    if (!plan.fixed[rowIndex(iterated[2])]) {
        checkAngleTrials(plan, 2, iterated[2]);
    }
    for (std::size_t slot = 0; slot < 2; ++slot) {
        if (!plan.fixed[rowIndex(iterated[slot])] &&
            !(plan.kind == RunKind::SubstrateRigid && slot == 0)) {
            checkLengthTrials(plan, slot, iterated[slot]);
        }
    }
    checkFixedSettings(plan);

    const engine::CalcSettings& s = run.settings;
    plan.lastAngleIndex = static_cast<int>(engine::angleStepQuotient(s));
    const double low = std::floor(s.lowerAngle);
    const double high = std::floor(s.upperAngle);
    if (low < -32768) {
        failInput("lower", fmt::format("The lower bound ({}) must not be below -32768 degrees: "
                                       "the hits are counted per degree.",
                                       numbers::formatSingle(s.lowerAngle)));
    }
    if (high + 1 > 32767) {
        failInput("upper", fmt::format("The upper bound ({}) must be below 32767 degrees: the "
                                       "hits are counted per degree.",
                                       numbers::formatSingle(s.upperAngle)));
    }
    plan.HistogramLowAngle = static_cast<int>(low);
    plan.HistogramHighAngle = static_cast<int>(high);

    // Counted in double so that no product of the 16-bit counts can overflow.
    const std::size_t firstSlot = plan.kind == RunKind::SubstrateRigid ? 1 : 0;
    double scans = static_cast<double>(plan.maxMultiple) * plan.maxMultiple;
    std::size_t widest = firstSlot;
    for (std::size_t slot = firstSlot; slot < 3; ++slot) {
        scans *= static_cast<double>(valueCount(plan.stepCounts[slot]));
        if (valueCount(plan.stepCounts[slot]) > valueCount(plan.stepCounts[widest])) {
            widest = slot;
        }
    }
    if (scans > static_cast<double>(kMaxIterationScans)) {
        const bool multiples = static_cast<double>(plan.maxMultiple) * plan.maxMultiple >
                               static_cast<double>(valueCount(plan.stepCounts[widest]));
        failInput(multiples ? std::string("max-multiple") : rangeFieldName(iterated[widest]),
                  fmt::format("The run would perform {:.0f} scans; at most {} are allowed. Use "
                              "larger increments, fewer iterated constants or a smaller "
                              "maximum multiple.",
                              scans, kMaxIterationScans));
    }
    plan.trialCount = static_cast<int64_t>(scans);
    return plan;
}

TrialLattice trialAt(const IterationPlan& plan, int64_t index) {
    if (index < 0 || index >= plan.trialCount) {
        throw std::out_of_range(fmt::format("trial {} of a run of {}", index, plan.trialCount));
    }
    // Every count is at least 1 once the index is inside the run.
    const auto count = [&](std::size_t slot) {
        return std::max<int64_t>(1, valueCount(plan.stepCounts[slot]));
    };
    int64_t rest = index;
    const auto take = [&rest](int64_t size) {
        const int64_t digit = rest % size;
        rest /= size;
        return static_cast<std::size_t>(digit);
    };
    const bool geometric = plan.kind == RunKind::OverlayerGeometric;
    const bool rigid = plan.kind == RunKind::SubstrateRigid;

    TrialLattice trial;
    const std::size_t first = rigid ? 0 : take(count(0));
    if (geometric) {
        trial.b1Multiple = static_cast<int>(take(plan.maxMultiple)) + 1;
    }
    const std::size_t second = take(count(1));
    if (geometric) {
        trial.b2Multiple = static_cast<int>(take(plan.maxMultiple)) + 1;
    }
    const std::size_t angle = take(count(2));

    const TrialValue& b = plan.trials[1][second];
    const TrialValue& a = rigid ? b : plan.trials[0][first];  // a rigid a1 takes a2's value
    const TrialValue& c = plan.trials[2][angle];
    trial.singles = {a.single, b.single, c.single};
    trial.values = {a.value, b.value, c.value};
    if (geometric) {
        // The trial's 32-bit length times its multiple, as the field shows the product.
        trial.multipliedLengths = true;
        trial.values[0] = engine::lengthAsFieldShowsIt(a.single, trial.b1Multiple);
        trial.values[1] = engine::lengthAsFieldShowsIt(b.single, trial.b2Multiple);
    }
    return trial;
}

std::string TrialLattice::text(std::size_t slot) const {
    if (multipliedLengths && slot < 2) {
        return numbers::formatDouble(values[slot]);
    }
    return numbers::formatSingle(singles[slot]);
}

engine::PassGeometry geometryOf(const IterationPlan& plan, const TrialLattice& trial) {
    engine::ScanInputs in = plan.base;
    if (iteratesOverlayer(plan.kind)) {
        in.b1 = trial.values[0];
        in.b2 = trial.values[1];
        in.beta = trial.values[2];
    } else {
        in.a1 = trial.values[0];
        in.a2 = trial.values[1];
        in.alpha = trial.values[2];
    }
    engine::PassGeometry g = engine::makePassGeometry(
        in.a1, in.a2, in.alpha, in.beta, in.b1, in.b2, in.hexagonal, in.lower,
        in.settings.angleSpacing, in.settings.b1Size, in.settings.b2Size);
    g.kernel = in.kernel;
    return g;
}

double overlayerArea(const IterationPlan& plan, const TrialLattice& trial) {
    if (iteratesOverlayer(plan.kind)) {
        return trial.values[1] * trial.values[0] * std::sin(trial.values[2] * engine::kDegree);
    }
    return plan.base.b2 * plan.base.b1 * std::sin(plan.base.beta * engine::kDegree);
}

}  // namespace lamivex::iteration
