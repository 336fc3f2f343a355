#pragma once
// The Calculate command in the " No iteration" mode: the rotation scan bound to the main
// window's fields, the progress window and the "Results" frame.

#include <QString>

#include "engine/capture.h"
#include "engine/completed_scan.h"
#include "engine/rotation_scan.h"
#include "numbers/input_error.h"

class QWidget;

namespace lamivex::app {

struct AppState;
struct MainFormControls;
class RotationDone;
class Services;

class RotationRun {
  public:
    RotationRun(MainFormControls& controls, RotationDone& progress, AppState& state,
                Services& services);

    // Runs the scan of capture, whose inputs have passed engine::checkScanInputs. Between
    // passes the window system delivers pending events, then AbortRequested is read. A run
    // that completes becomes AppState::completedScan and is shown in "Results". Whatever
    // ends the run, the fields b1 and b2 get back the captured lengths and the pointer and
    // the Calculate button are restored.
    engine::ScanStatus run(const engine::CapturedRun& capture, const engine::ScanInputs& inputs);

  private:
    void showResults(const engine::BestOrientation& best);
    // Below the Results frame: the matrix in plain decimals, what it means, the symmetry note.
    void showMeaning(const engine::CompletedScan& scan);

    MainFormControls& m_c;
    RotationDone& m_progress;
    AppState& m_state;
    Services& m_services;
};

// The message for a run the engine refuses: the field's caption, then the engine's reason.
[[nodiscard]] QString refusalMessage(const numbers::InputError& error);

}  // namespace lamivex::app
