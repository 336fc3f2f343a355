#pragma once
// The summary beside the table of matches: the substrate and overlayer of the latest
// iteration run, with the iterated constants as ranges and the others as values.

#include <array>
#include <string>

#include "engine/lattice.h"
#include "iteration/iteration_ranges.h"

namespace lamivex::app {

// subName and overName as the main window shows them now; runStart the fields as the run
// started (the values the window shows again after it); iterover and fixed as the
// Iteration window shows them now. Lines end with three blanks and CR LF; the text starts
// with CR LF.
[[nodiscard]] std::string iterationSummary(
    const std::string& subName, const std::string& overName, const engine::MainFieldTexts& runStart,
    const iteration::IterationRanges& ranges, bool iterover,
    const std::array<bool, iteration::kConstantCount>& fixed);

}  // namespace lamivex::app
