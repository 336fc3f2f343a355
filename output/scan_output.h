#pragma once
// A scan's result as the command line prints it: the JSON members before the inputs that
// repeat the run, the Results frame as text, and the per-step table as text.

#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "engine/angle_best_table.h"
#include "engine/best_orientation.h"
#include "engine/completed_scan.h"
#include "engine/interpretation.h"
#include "output/json_writer.h"

namespace lamivex::output {

// What a scan found, as its printouts say it.
struct ScanSummary {
    engine::BestOrientation best;
    int steps = 0;
    bool geometric = false;  // a search for supercells: the multiples are part of the result
    engine::Interpretation interpretation;
    std::vector<std::string> warnings;
    std::string symmetryTaken;  // how the substrate's symmetry was taken, when it was
};

// "steps", "best", "interpretation", "warnings", "symmetry" (when taken) and, given a scan
// with its per-step table, "table": one object per azimuth step.
void writeScanJson(JsonWriter& json, const ScanSummary& summary,
                   const engine::CompletedScan* withTable);

// The Results frame: the angle, the matrix, V/Vo, the multiples of a search for supercells,
// then what the result means.
void writeScanText(std::ostream& out, const ScanSummary& summary);

// A heading, then one row per azimuth step at full precision.
void writeAngleTableText(std::ostream& out, std::span<const float> angles,
                         const engine::AngleBestTable& table);

}  // namespace lamivex::output
