#include "engine/completed_scan.h"

namespace lamivex::engine {

std::optional<CompletedScan> runToCompletion(const CapturedRun& capture, const ScanInputs& inputs,
                                             BestOrientation& best, const ScanCallbacks& callbacks,
                                             AngleTableChoice angleTable) {
    CompletedScan scan;
    scan.capture = capture;
    if (runRotationScan(inputs, scan.results, best, callbacks) == ScanStatus::Aborted) {
        return std::nullopt;
    }
    scan.best = best;
    if (angleTable == AngleTableChoice::Skip) {
        return scan;
    }
    scan.AngleBestTable = buildAngleBestTable(scan.results);
    fillAngleMinVVo(scan.results, scan.AngleBestTable);
    return scan;
}

}  // namespace lamivex::engine
