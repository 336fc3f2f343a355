#pragma once
// The data file's inputs from the state of the windows when the user saves.

#include <span>
#include <string>

#include "engine/lattice.h"
#include "iteration/iteration_ranges.h"
#include "output/iteration_data_file.h"

namespace lamivex::iteration {

// fields and window as they stand now; ranges and records those of the latest run.
[[nodiscard]] output::IterationDataInputs iterationDataInputs(
    const engine::MainFieldTexts& fields, const IterationWindowFields& window,
    const IterationRanges& ranges, std::span<const std::string> MatchRecords,
    output::ReportDate date);

}  // namespace lamivex::iteration
