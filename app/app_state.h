#pragma once
// The program-wide records and results, owned in one place and shared by reference with
// every window. A run replaces what it fills; windows read what the last run left.

#include <optional>
#include <string>

#include "app/iteration_state.h"
#include "engine/best_orientation.h"
#include "engine/capture.h"
#include "engine/completed_scan.h"
#include "engine/lattice.h"

namespace lamivex::app {

struct AppState {
    // What the last capture step read from the main window.
    engine::SubstrateLattice SubstrateLattice;
    engine::OverlayerLattice OverlayerLattice;
    engine::CalcSettings CalcSettings;
    std::string SubstrateName;
    std::string OverlayerName;

    // The best-orientation record every run starts from and updates; all zeros at start.
    engine::BestOrientation best;
    // The last rotation run that ran to its end: the graph draws it, Save and Print write
    // it. An aborted run leaves it as it was.
    std::optional<engine::CompletedScan> completedScan;
    // The azimuth step clicked on its graph: the real-space and LEED windows show it instead
    // of the best orientation, until the next run completes.
    std::optional<double> viewAngle;

    // Set by ABORT (and by quitting during a run); a run reads it between passes.
    bool AbortRequested = false;
    bool runInProgress = false;

    // Threshold of an iteration match; the main window sets it when it is loaded.
    double SelectionCriterion = 0.8;
    // What the latest iteration run left for its table, histogram and outputs.
    IterationState iteration;

    void storeCapture(const engine::CapturedRun& run);
};

}  // namespace lamivex::app
