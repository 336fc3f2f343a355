#pragma once
// One pair of a screen: the overlayer against one substrate, a rotation scan over the
// substrate's irreducible wedge of azimuths (or the range asked for) with the geometric
// search, and the best orientation it found.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "engine/best_orientation.h"
#include "engine/capture.h"
#include "engine/interpretation.h"
#include "engine/scan_results.h"
#include "screening/substrate.h"

namespace lamivex::screening {

// What every pair shares: the overlayer, the domain, the spacing and the largest multiple as
// the main window's fields (the substrate and azimuth fields are filled per pair), an
// azimuth range for all pairs when one is given, and the registry tolerance.
struct ScreenSettings {
    engine::MainFieldTexts fields;
    std::optional<std::string> lower;  // degrees; unset: the substrate's wedge
    std::optional<std::string> upper;
    double tolerance = engine::kDefaultRegistryTolerance;
};

struct PairResult {
    std::size_t pair = 0;  // where the pair stands in the whole work list
    Substrate substrate;
    engine::BestOrientation best;  // all zeros when the pair has an error
    std::string error;             // the substrate's, or what the scan refused

    [[nodiscard]] bool screened() const { return error.empty(); }
};

// The main window's fields for the pair: the substrate's mesh, the azimuth range of the
// substrate's irreducible wedge [0°, 360°/rotations) unless settings give one.
[[nodiscard]] engine::MainFieldTexts fieldsFor(const Substrate& substrate,
                                               const ScreenSettings& settings);

// Runs the pair's scan on the calling thread with the reference arithmetic, in the result
// arrays of workspace, which a worker keeps from pair to pair (fresh memory costs a run more
// than its arithmetic). A refused input becomes the result's error; nullopt when stop() said
// so before the scan ended.
[[nodiscard]] std::optional<PairResult> screenPair(std::size_t pair, const Substrate& substrate,
                                                   const ScreenSettings& settings,
                                                   const std::function<bool()>& stop,
                                                   engine::ScanResults& workspace);

// What a screened pair's best orientation means, computed again from the stored values, so
// a result read back from a file says exactly what the run said.
[[nodiscard]] engine::Interpretation interpretationOf(const PairResult& result,
                                                      const ScreenSettings& settings);

}  // namespace lamivex::screening
