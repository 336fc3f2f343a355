#pragma once
// The iteration mode of the main window: Option1, Option2 and Check1 with the Iteration
// window, the run from Calculate, and the results table and histogram with their toggles
// GridShow and imgHisto.

#include <memory>

#include <QObject>

namespace lamivex::app {

struct AppState;
struct MainFormControls;
class Epigraph;
class FrmHisto;
class IterResults;
class Iteration;
class MainForm;
class RotationDone;
class Services;

class IterationBinding : public QObject {
    Q_OBJECT

  public:
    IterationBinding(MainForm& form, const MainFormControls& controls, AppState& state,
                     Services& services, RotationDone& progress, Epigraph& graph);
    ~IterationBinding() override;

    [[nodiscard]] Iteration& iterationWindow() const { return *m_iteration; }
    [[nodiscard]] IterResults& iterResults() const { return *m_results; }
    [[nodiscard]] FrmHisto& frmHisto() const { return *m_histo; }

    // Calculate with " Iteration" selected: the whole run, from the capture of the fields
    // to the messages and the results table at its end.
    void calculate();
    // Leaving the calculator hides the parameters and the histogram with it.
    void hideWindows();

    // The controls' handlers, connected by member pointer.
    void FillIterationDefaults();
    void onOption1();
    void onOption2();
    void onCheck1();
    void onGridShow();
    void onImgHisto();

  private:
    void showIterationAbove();
    void hideIteration();
    void showResultsModally();

    MainForm& m_form;
    const MainFormControls& m_c;
    AppState& m_state;
    Services& m_services;
    RotationDone& m_progress;
    Epigraph& m_graph;
    std::unique_ptr<Iteration> m_iteration;
    std::unique_ptr<IterResults> m_results;
    std::unique_ptr<FrmHisto> m_histo;
};

}  // namespace lamivex::app
