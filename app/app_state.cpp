#include "app/app_state.h"

namespace lamivex::app {

void AppState::storeCapture(const engine::CapturedRun& run) {
    SubstrateLattice = run.substrate;
    OverlayerLattice = run.overlayer;
    CalcSettings = run.settings;
    SubstrateName = run.SubstrateName;
    OverlayerName = run.OverlayerName;
}

}  // namespace lamivex::app
