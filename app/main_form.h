#pragma once
// The epitaxy calculator's main window: the two lattices and the run settings as fields,
// the Calculate command, the "Results" frame, the display toggles and the ways out.

#include <memory>
#include <optional>

#include <QMainWindow>

#include "app/from_crystal_file.h"
#include "app/main_form_controls.h"
#include "engine/lattice.h"
#include "output/report_file.h"

namespace lamivex::app {

struct AppState;
class Epigraph;
class FieldRules;
class RotationDone;
class ScreenSubstrates;
class BuildModelWindow;
class Services;
class StructureDatabaseBinding;
class IterationBinding;
class ViewsBinding;
struct ChosenOverlayer;

class MainForm : public QMainWindow {
    Q_OBJECT

  public:
    // Loads the window: field defaults, the progress window (not shown), the toggles'
    // start state and the iteration selection criterion.
    MainForm(AppState& state, Services& services, QWidget* parent = nullptr);
    ~MainForm() override;

    [[nodiscard]] const MainFormControls& controls() const { return m_c; }
    [[nodiscard]] RotationDone& rotationDone() const { return *m_rotationDone; }
    [[nodiscard]] Epigraph& epigraph() const { return *m_epigraph; }
    [[nodiscard]] IterationBinding& iteration() const { return *m_iteration; }
    [[nodiscard]] const FieldRules& fieldRules() const { return *m_rules; }
    [[nodiscard]] StructureDatabaseBinding& structureDatabase() const { return *m_database; }
    [[nodiscard]] ViewsBinding& views() const { return *m_views; }

    // The fields as texts, as the capture step reads them.
    [[nodiscard]] engine::MainFieldTexts fieldTexts() const;

  signals:
    // "E&xit Lamivex" and Exit: this window is hidden; the start-up menu comes back.
    void exitRequested();
    // "&Quit": the program ends at once.
    void quitRequested();
    void helpRequested();
    // An overlayer was picked from the structure database into the fields: the iteration
    // ranges are to be refilled from them.
    void overlayerPicked();

  public slots:
    void calculate();
    void exitToMenu();

    // Commands whose windows and files are attached by the output and iteration parts.
    void saveReport();
    void printReport();
    void toggleGraph();
    // "Screen substrates…", and a substrate taken from its ranking, scanned at once.
    void showScreen();
    // "Build model…": the last completed scan's solution as atoms.
    void showBuildModel();
    void takeScreenedSubstrate(const engine::MainFieldTexts& fields);
    // The cell fitted to a LEED image into the overlayer's fields, with its azimuth range.
    void takeFittedOverlayer(const ChosenOverlayer& overlayer);

  protected:
    void closeEvent(QCloseEvent* event) override;
    // The first time: where the graph and the other companions have room beside it.
    void showEvent(QShowEvent* event) override;

  private:
    void writeDefaults();
    void installFieldRules();
    void connectCommands();
    void writeCapturedTexts(const engine::MainFieldTexts& fields);
    void showGraphAfterRun();
    // The report of the last completed run with the fields as they are now.
    [[nodiscard]] std::optional<output::ReportInputs> currentReport() const;

    AppState& m_state;
    Services& m_services;
    ScreenSubstrates* m_screen = nullptr;  // made when first asked for
    BuildModelWindow* m_buildModel = nullptr;
    // The crystal files the blocks were last filled from (until they are filled otherwise).
    std::optional<CrystalFileChoice> m_substrateCrystal;
    std::optional<CrystalFileChoice> m_overlayerCrystal;
    MainFormControls m_c;
    FieldRules* m_rules = nullptr;
    StructureDatabaseBinding* m_database = nullptr;  // a child of this window
    std::unique_ptr<RotationDone> m_rotationDone;
    std::unique_ptr<Epigraph> m_epigraph;
    IterationBinding* m_iteration = nullptr;  // a child of this window
    ViewsBinding* m_views = nullptr;          // a child of this window
    bool m_placed = false;
};

}  // namespace lamivex::app
