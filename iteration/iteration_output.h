#pragma once
// An iteration run's result as the command line prints it: the JSON members before the inputs
// that repeat the run, and the table of matches as text.

#include <ostream>
#include <span>

#include "engine/interpretation.h"
#include "iteration/completed_iteration.h"
#include "output/json_writer.h"

namespace lamivex::iteration {

// "match_count", "stopped" (limit or complete), "records", "matches" (each with its
// interpretation, the iterated constants by name and the multiples) and "histogram".
// meanings holds one interpretation per match, in order.
void writeIterationJson(output::JsonWriter& json, const CompletedIteration& run,
                        std::span<const engine::Interpretation> meanings);

// The match number and the record's ten cells under their headings, in right-aligned columns.
void writeMatchTableText(std::ostream& out, const CompletedIteration& run);

}  // namespace lamivex::iteration
