#pragma once
// A rotation run that ran to its end, as one value: the inputs as captured, the result
// arrays, the best orientation it reported and the per-angle table. The graph, the report
// file and the printout read it; nothing fills it in afterwards.

#include <optional>

#include "engine/angle_best_table.h"
#include "engine/best_orientation.h"
#include "engine/capture.h"
#include "engine/rotation_scan.h"
#include "engine/scan_results.h"

namespace lamivex::engine {

struct CompletedScan {
    CapturedRun capture;  // the fields, lattices and settings the run started from
    ScanResults results;  // every pass's tables; AngleMinVVo is the table's column
    BestOrientation best;
    engine::AngleBestTable AngleBestTable;  // named as the tables of the program are
};

// The graph, the report file, the CSV and the per-step table read the per-angle table; a run
// asked only for its best orientation need not lay it out.
enum class AngleTableChoice { Build, Skip };

// Runs the scan of capture with inputs (scanInputsFrom(capture), kernel and threads as the
// caller chooses). best is the program-wide record the run starts from; it is left as the
// passes leave it, also after an abort. nullopt when the run was aborted. With
// AngleTableChoice::Skip, AngleBestTable is empty and AngleMinVVo all zero.
[[nodiscard]] std::optional<CompletedScan> runToCompletion(
    const CapturedRun& capture, const ScanInputs& inputs, BestOrientation& best,
    const ScanCallbacks& callbacks = {}, AngleTableChoice angleTable = AngleTableChoice::Build);

}  // namespace lamivex::engine
