#pragma once
// What the latest iteration run left for the results table, the histogram, the data file
// and the printout. A rotation run does not touch it.

#include <optional>

#include "engine/capture.h"
#include "iteration/iteration_run.h"

namespace lamivex::app {

struct IterationState {
    // The capture that started the latest iteration run: its run-start lattices.
    std::optional<engine::CapturedRun> run;
    // Its matches, records, hit counts and ranges; empty before the first run.
    std::optional<iteration::IterationResult> result;
    // Set when a run ends; the next run first empties the results table.
    bool ResultsTableFilled = false;
    // The ranges the runs read, program-wide: a run replaces the rows of the lattice it
    // iterates, and the other lattice's rows keep what an earlier run read.
    iteration::IterationRanges IterationRanges;
};

}  // namespace lamivex::app
