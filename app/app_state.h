#pragma once
// The program-wide records and result arrays, owned in one place and shared by reference
// with every window. A run replaces what it fills; windows read what the last run left.

#include <optional>
#include <string>
#include <vector>

#include "engine/angle_best_table.h"
#include "engine/best_orientation.h"
#include "engine/capture.h"
#include "engine/lattice.h"
#include "engine/scan_results.h"
#include "app/iteration_state.h"

namespace lamivex::app {

// What Save and Print report: the last completed rotation run as its graph window
// tabulated it. Kept apart from the result arrays, which an aborted run rewrites while the
// "Results" frame and the report commands still stand for the run before.
struct CompletedRun {
    std::string capturedB1;  // OverlayerLattice.b1 and .b2 of that run
    std::string capturedB2;
    engine::BestOrientation best;
    std::vector<float> AzimuthAngles;  // degrees
    engine::AngleBestTable AngleBestTable;
    std::vector<double> AngleMinVVo;
};

struct AppState {
    // What the last capture step read from the main window.
    engine::SubstrateLattice SubstrateLattice;
    engine::OverlayerLattice OverlayerLattice;
    engine::CalcSettings CalcSettings;
    std::string SubstrateName;
    std::string OverlayerName;
    // The field texts as that capture step left them (normalised lengths and angles).
    engine::MainFieldTexts capturedFields;

    // Best orientation of the last scan; all zeros before the first.
    engine::BestOrientation best;
    engine::ScanResults scanResults;
    // Rebuilt from scanResults by every activation of the graph window.
    engine::AngleBestTable AngleBestTable;
    // Set at the end of every completed rotation run; empty before the first.
    std::optional<CompletedRun> completedRun;

    // Set by ABORT (and by quitting during a run); a run reads it between passes.
    bool AbortRequested = false;
    bool runInProgress = false;

    // Threshold of an iteration match; the main window sets it when it is loaded.
    double SelectionCriterion = 0.8;
    // What the latest iteration run left for its table, histogram and outputs.
    IterationState iteration;

    void storeCapture(const engine::CapturedRun& run);
    // Keeps the run that just completed, after the graph window has tabulated it.
    void keepCompletedRun();
};

}  // namespace lamivex::app
