#include "screening/pair_screen.h"

#include <charconv>

#include <fmt/format.h>

#include "engine/rotation_scan.h"
#include "engine/scan_results.h"
#include "lattice/lattice2d.h"
#include "numbers/input_error.h"

namespace lamivex::screening {
namespace {

// A field text as a double, '.' as the decimal point whatever the locale.
double numberOf(const std::string& text) {
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) {
        throw std::invalid_argument("not a number: " + text);
    }
    return value;
}

}  // namespace

engine::MainFieldTexts fieldsFor(const Substrate& substrate, const ScreenSettings& settings) {
    engine::MainFieldTexts f = settings.fields;
    f.SubName = substrate.name + substrate.plane;
    f.a1 = substrate.a1;
    f.a2 = substrate.a2;
    f.alpha = substrate.alpha;
    f.hexagonal = substrate.hexagonal;
    if (settings.lower && settings.upper) {
        f.Lowerangle = *settings.lower;
        f.Upperangle = *settings.upper;
        return f;
    }
    // A mesh the lattice refuses keeps the window's range; the capture then names the field.
    try {
        const lattice::AzimuthWedge wedge =
            lattice::Lattice2D(numberOf(substrate.a1), numberOf(substrate.a2),
                               numberOf(substrate.alpha))
                .wedge();
        f.Lowerangle = settings.lower.value_or(fmt::format("{}", wedge.lower));
        f.Upperangle = settings.upper.value_or(fmt::format("{}", wedge.upper));
    } catch (const std::exception&) {
    }
    return f;
}

std::optional<PairResult> screenPair(std::size_t pair, const Substrate& substrate,
                                     const ScreenSettings& settings,
                                     const std::function<bool()>& stop,
                                     engine::ScanResults& workspace) {
    PairResult result;
    result.pair = pair;
    result.substrate = substrate;
    if (!substrate.error.empty()) {
        result.error = substrate.error;
        return result;
    }
    try {
        const engine::CapturedRun run = engine::captureRun(fieldsFor(substrate, settings));
        engine::ScanInputs inputs = engine::scanInputsFrom(run);
        // The pairs share the cores, so each scan runs on one; the reference arithmetic keeps
        // V/Vo the same on every machine a shard may run on.
        inputs.kernel = engine::KernelPath::Scalar;
        inputs.threads = 1;
        engine::ScanCallbacks callbacks;
        callbacks.abortRequested = stop;
        if (engine::runRotationScan(inputs, workspace, result.best, callbacks) ==
            engine::ScanStatus::Aborted) {
            return std::nullopt;
        }
    } catch (const numbers::InputError& e) {
        result.best = {};
        result.error = fmt::format("--{}: {}", e.field(), e.what());
    }
    return result;
}

engine::Interpretation interpretationOf(const PairResult& result, const ScreenSettings& settings) {
    const engine::CapturedRun run = engine::captureRun(fieldsFor(result.substrate, settings));
    return engine::interpretBest(result.best, run, settings.tolerance);
}

}  // namespace lamivex::screening
