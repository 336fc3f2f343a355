#include "app/app_state.h"

namespace lamivex::app {

void AppState::storeCapture(const engine::CapturedRun& run) {
    SubstrateLattice = run.substrate;
    OverlayerLattice = run.overlayer;
    CalcSettings = run.settings;
    SubstrateName = run.SubstrateName;
    OverlayerName = run.OverlayerName;
    capturedFields = run.fields;
}

void AppState::keepCompletedRun() {
    completedRun = CompletedRun{OverlayerLattice.b1,       OverlayerLattice.b2, best,
                                scanResults.AzimuthAngles, AngleBestTable,      scanResults.AngleMinVVo};
}

}  // namespace lamivex::app
