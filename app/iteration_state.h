#pragma once
// What the latest iteration run left for the results table, the histogram, the data file
// and the printout. A rotation run does not touch it.

#include <optional>

#include "iteration/completed_iteration.h"
#include "iteration/iteration_ranges.h"

namespace lamivex::app {

struct IterationState {
    // The latest run, from its capture to its matches; empty before the first.
    std::optional<iteration::CompletedIteration> completed;
    // Set when a run ends; the next run first empties the results table.
    bool ResultsTableFilled = false;
    // The ranges the runs read, program-wide: a run replaces the rows of the lattice it
    // iterates, and the other lattice's rows keep what an earlier run read.
    iteration::IterationRanges IterationRanges;
};

}  // namespace lamivex::app
