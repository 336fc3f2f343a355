#include "app/main_form.h"

#include <algorithm>
#include <cmath>
#include <new>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QScreen>
#include <QShowEvent>

#include "app/app_state.h"
#include "app/build_model_window.h"
#include "app/epigraph.h"
#include "app/field_rules.h"
#include "app/from_crystal_file.h"
#include "app/from_matrix.h"
#include "app/iter_results.h"
#include "app/iteration_binding.h"
#include "app/iteration_window.h"
#include "app/leed_pattern_window.h"
#include "app/qt_support.h"
#include "app/report_commands.h"
#include "app/rotation_done.h"
#include "app/rotation_run.h"
#include "app/screen_substrates.h"
#include "app/services.h"
#include "app/structure_database_binding.h"
#include "app/views_binding.h"
#include "app/window_placement.h"
#include "database/structure_store.h"
#include "engine/capture.h"
#include "engine/field_rules.h"
#include "engine/rotation_scan.h"
#include "numbers/input_error.h"
#include "numbers/number_text.h"

namespace lamivex::app {
namespace {

std::string text(const QLineEdit* field) {
    return field->text().toStdString();
}

// A fitted value as a field shows it: rounded to decimals, trailing zeros dropped.
QString fittedText(double value, int decimals) {
    const double unit = std::pow(10.0, decimals);
    // + 0.0 turns a -0 into 0.
    return qs(numbers::formatSingle(static_cast<float>(std::round(value * unit) / unit + 0.0)));
}

}  // namespace

MainForm::MainForm(AppState& state, Services& services, QWidget* parent)
    : QMainWindow(parent),
      m_state(state),
      m_services(services),
      m_c(buildMainFormControls(this)),
      m_rotationDone(std::make_unique<RotationDone>(state)),
      m_epigraph(std::make_unique<Epigraph>(state, services)) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Lamivex Version 5.0"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/lamivex.svg")));

    m_c.Shape1->setFillStyle(CoverShape::kCrossHatched);
    m_c.Shape2->setFillStyle(CoverShape::kCrossHatched);
    writeDefaults();
    m_c.GraphShow->setEnabled(false);
    m_c.imgHisto->setEnabled(false);
    m_state.SelectionCriterion = 0.8;

    // Nothing to show or keep before a run; an iteration run enables its own toggle.
    m_c.GridShow->setEnabled(false);
    m_c.Command1->setEnabled(false);
    m_c.Command4->setEnabled(false);
    m_c.mnuSave->setEnabled(false);
    m_c.mnuPrint->setEnabled(false);
    m_c.cmdRealSpace->setEnabled(false);
    m_c.cmdLeed->setEnabled(false);
    m_c.cmdBuildModel->setEnabled(false);
    // The structure database's controls: their start state and commands.
    m_database = new StructureDatabaseBinding(m_c, m_state, m_services, this);
    connect(m_database, &StructureDatabaseBinding::overlayerPicked, this,
            &MainForm::overlayerPicked);
    // The iteration mode: its windows, Option1, Option2, Check1 and the toggles.
    m_iteration =
        new IterationBinding(*this, m_c, m_state, m_services, *m_rotationDone, *m_epigraph);

    m_views = new ViewsBinding(m_state, m_services, this, m_epigraph.get());
    // A view tells whether the fields still hold the run it shows.
    m_views->setMainFields([this] { return fieldTexts(); });
    for (EntryField* field : findChildren<EntryField*>()) {
        connect(field, &QLineEdit::textChanged, m_views, &ViewsBinding::checkFields);
    }
    for (QAbstractButton* choice : {static_cast<QAbstractButton*>(m_c.hexagonal),
                                    static_cast<QAbstractButton*>(m_c.chkgeo)}) {
        connect(choice, &QAbstractButton::toggled, m_views, &ViewsBinding::checkFields);
    }
    connect(&m_iteration->iterResults(), &IterResults::matchChosen, m_views,
            &ViewsBinding::showMatch);
    connect(&m_views->leed(), &LeedPatternWindow::overlayerChosen, this,
            &MainForm::takeFittedOverlayer);

    installFieldRules();
    connectCommands();
    keepBesideMainWindow(m_services, m_rotationDone.get(), this);
    keepBesideMainWindow(m_services, m_epigraph.get(), this);
}

MainForm::~MainForm() = default;

void MainForm::writeDefaults() {
    const engine::MainFieldTexts defaults;
    m_c.a1->setText(qs(defaults.a1));
    m_c.a2->setText(qs(defaults.a2));
    m_c.alpha->setText(qs(defaults.alpha));
    m_c.b1->setText(qs(defaults.b1));
    m_c.b2->setText(qs(defaults.b2));
    m_c.beta->setText(qs(defaults.beta));
    m_c.Lowerangle->setText(qs(defaults.Lowerangle));
    m_c.Upperangle->setText(qs(defaults.Upperangle));
    m_c.AngleSpacing->setText(qs(defaults.AngleSpacing));
    m_c.b1size->setText(qs(defaults.b1size));
    m_c.b2size->setText(qs(defaults.b2size));
    m_c.SubName->setText(qs(defaults.SubName));
    m_c.OverName->setText(qs(defaults.OverName));
    m_c.txtUplim->setText(qs(defaults.txtUplim));
    m_c.chkgeo->setChecked(defaults.chkgeo);
    m_c.nonhexagonal->setChecked(!defaults.hexagonal);
    m_c.hexagonal->setChecked(defaults.hexagonal);
    m_c.Option1->setChecked(true);
    m_c.Check1->setChecked(true);

    m_state.CalcSettings.lowerAngle = 0;
    m_state.CalcSettings.upperAngle = 60;
    m_state.CalcSettings.angleSpacing = 0.25F;
    m_state.CalcSettings.b1Size = 25;
    m_state.CalcSettings.b2Size = 25;
    m_state.SubstrateName = defaults.SubName;
    m_state.OverlayerName = defaults.OverName;
}

void MainForm::installFieldRules() {
    m_rules = new FieldRules(m_services, this);
    for (const engine::MainField& rule : engine::mainFields()) {
        auto* field = findChild<EntryField*>(QString::fromUtf8(
            rule.objectName.data(), static_cast<qsizetype>(rule.objectName.size())));
        Q_ASSERT(field != nullptr);
        m_rules->add(field, rule.rule);
    }
    m_rules->setLowerAngleField(m_c.Lowerangle);
}

void MainForm::connectCommands() {
    connect(m_c.Calculate, &QPushButton::clicked, this, &MainForm::calculate);
    connect(m_c.Exit, &QPushButton::clicked, this, &MainForm::exitToMenu);
    connect(m_c.mnuExit, &QAction::triggered, this, &MainForm::exitToMenu);
    connect(m_c.mnuQuit, &QAction::triggered, this, [this] {
        // A run between passes stops at the next pass instead of outliving the program.
        m_state.AbortRequested = true;
        emit quitRequested();
    });
    connect(m_c.mnuContents, &QAction::triggered, this, &MainForm::helpRequested);
    // A lattice filled from elsewhere no longer comes from the block's database record.
    connect(m_c.cmdFromMatrix, &QPushButton::clicked, this, [this] {
        if (fillOverlayerFromMatrix(m_c, m_services, this)) {
            m_database->forgetRecord(database::TableKind::Overlayer);
        }
    });
    connect(m_c.cmdSubstrateCif, &QPushButton::clicked, this, [this] {
        if (auto choice = fillFromCrystalFile(m_c, m_services, this, LatticeBlock::Substrate)) {
            m_database->forgetRecord(database::TableKind::Substrate);
            m_substrateCrystal = std::move(choice);
        }
    });
    connect(m_c.cmdOverlayerCif, &QPushButton::clicked, this, [this] {
        if (auto choice = fillFromCrystalFile(m_c, m_services, this, LatticeBlock::Overlayer)) {
            m_database->forgetRecord(database::TableKind::Overlayer);
            m_overlayerCrystal = std::move(choice);
        }
    });
    connect(m_c.cmdBuildModel, &QPushButton::clicked, this, &MainForm::showBuildModel);
    connect(m_c.cmdScreen, &QPushButton::clicked, this, &MainForm::showScreen);
    connect(m_c.Command1, &QPushButton::clicked, this, &MainForm::saveReport);
    connect(m_c.mnuSave, &QAction::triggered, this, &MainForm::saveReport);
    connect(m_c.Command4, &QPushButton::clicked, this, &MainForm::printReport);
    connect(m_c.mnuPrint, &QAction::triggered, this, &MainForm::printReport);
    connect(m_c.GraphShow, &QToolButton::clicked, this, &MainForm::toggleGraph);
    connect(m_c.cmdRealSpace, &QPushButton::clicked, m_views, &ViewsBinding::showRealSpace);
    connect(m_c.cmdLeed, &QPushButton::clicked, m_views, &ViewsBinding::showLeed);
    connect(m_epigraph.get(), &Epigraph::realSpaceRequested, m_views, &ViewsBinding::showRealSpace);
    connect(m_epigraph.get(), &Epigraph::leedRequested, m_views, &ViewsBinding::showLeed);
    connect(m_epigraph.get(), &Epigraph::angleChosen, m_views, &ViewsBinding::follow);
    // Closed from its frame, the graph is hidden as the toggle would hide it.
    connect(m_epigraph.get(), &Epigraph::closedByUser, this,
            [this] { m_c.Shape1->setFillStyle(CoverShape::kCrossHatched); });
}

void MainForm::showScreen() {
    if (m_screen == nullptr) {
        const std::filesystem::path crystals =
            database::starterDatabasePath(utf8(QCoreApplication::applicationDirPath()))
                .parent_path() /
            "crystals";
        m_screen = new ScreenSubstrates(m_services, crystals, this);
        connect(m_screen, &ScreenSubstrates::substrateChosen, this,
                &MainForm::takeScreenedSubstrate);
    }
    m_screen->prepare(fieldTexts(), &m_database->store());
    if (!m_screen->isVisible()) {
        m_services.placeBeside(m_screen, this);
    }
    m_screen->show();
    m_screen->raise();
    m_screen->activateWindow();
}

void MainForm::showBuildModel() {
    if (!m_state.completedScan) {
        return;
    }
    if (m_buildModel == nullptr) {
        m_buildModel = new BuildModelWindow(m_services, this);
    }
    // A lattice renamed, typed or taken from elsewhere since no longer comes from the file.
    const auto fromFile = [](const std::optional<CrystalFileChoice>& choice,
                             const std::string& name) {
        return choice && choice->name == name ? choice : std::nullopt;
    };
    m_buildModel->prepare(
        *m_state.completedScan,
        fromFile(m_substrateCrystal, m_state.completedScan->capture.SubstrateName),
        fromFile(m_overlayerCrystal, m_state.completedScan->capture.OverlayerName));
    if (!m_buildModel->isVisible()) {
        m_services.placeBeside(m_buildModel, this);
    }
    m_buildModel->show();
    m_buildModel->raise();
    m_buildModel->activateWindow();
}

void MainForm::takeScreenedSubstrate(const engine::MainFieldTexts& fields) {
    m_database->forgetRecord(database::TableKind::Substrate);  // no record's notes now
    m_c.SubName->setText(qs(fields.SubName));
    m_c.a1->setText(qs(fields.a1));
    m_c.a2->setText(qs(fields.a2));
    m_c.alpha->setText(qs(fields.alpha));
    (fields.hexagonal ? m_c.hexagonal : m_c.nonhexagonal)->setChecked(true);
    m_c.Lowerangle->setText(qs(fields.Lowerangle));
    m_c.Upperangle->setText(qs(fields.Upperangle));
    calculate();
}

void MainForm::takeFittedOverlayer(const ChosenOverlayer& overlayer) {
    m_database->forgetRecord(database::TableKind::Overlayer);  // no record's notes now
    m_c.b1->setText(fittedText(overlayer.b1, 4));
    m_c.b2->setText(fittedText(overlayer.b2, 4));
    m_c.beta->setText(fittedText(overlayer.beta, 2));
    m_c.Lowerangle->setText(fittedText(overlayer.lowerAngle, 2));
    m_c.Upperangle->setText(fittedText(overlayer.upperAngle, 2));
}

engine::MainFieldTexts MainForm::fieldTexts() const {
    engine::MainFieldTexts f;
    f.SubName = text(m_c.SubName);
    f.a1 = text(m_c.a1);
    f.a2 = text(m_c.a2);
    f.alpha = text(m_c.alpha);
    f.hexagonal = m_c.hexagonal->isChecked();
    f.OverName = text(m_c.OverName);
    f.b1 = text(m_c.b1);
    f.b2 = text(m_c.b2);
    f.beta = text(m_c.beta);
    f.b1size = text(m_c.b1size);
    f.b2size = text(m_c.b2size);
    f.Lowerangle = text(m_c.Lowerangle);
    f.Upperangle = text(m_c.Upperangle);
    f.AngleSpacing = text(m_c.AngleSpacing);
    f.chkgeo = m_c.chkgeo->isChecked();
    f.txtUplim = text(m_c.txtUplim);
    return f;
}

// NOLINTNEXTLINE(readability-make-member-function-const): it changes the window's fields
void MainForm::writeCapturedTexts(const engine::MainFieldTexts& fields) {
    m_c.a1->setText(qs(fields.a1));
    m_c.a2->setText(qs(fields.a2));
    m_c.alpha->setText(qs(fields.alpha));
    m_c.b1->setText(qs(fields.b1));
    m_c.b2->setText(qs(fields.b2));
    m_c.beta->setText(qs(fields.beta));
}

void MainForm::calculate() {
    if (m_state.runInProgress) {
        return;
    }
    if (m_c.Option2->isChecked()) {
        m_iteration->calculate();
        return;
    }
    // The whole input is checked before anything is written, so that a refused run
    // leaves the fields, the records and the results as they were.
    engine::CapturedRun run;
    engine::ScanInputs inputs;
    try {
        run = engine::captureRun(fieldTexts());
        if (run.fillIterationDefaults) {
            // An a1 of 0 refills the iteration ranges, whether or not the run then goes on.
            m_iteration->FillIterationDefaults();
        }
        inputs = engine::scanInputsFrom(run);
        engine::checkScanInputs(inputs);
    } catch (const numbers::InputError& error) {
        m_services.message(this, refusalMessage(error));
        return;
    }
    writeCapturedTexts(run.fields);
    m_state.storeCapture(run);

    try {
        if (RotationRun(m_c, *m_rotationDone, m_state, m_services).run(run, inputs) ==
            engine::ScanStatus::Completed) {
            showGraphAfterRun();
        }
    } catch (const std::bad_alloc&) {
        m_services.message(this, QStringLiteral("There is not enough memory for this run. "
                                                "Reduce the maximum multiple or the number of "
                                                "azimuth steps."));
    }
}

void MainForm::exitToMenu() {
    m_epigraph->hide();
    m_iteration->hideWindows();
    m_views->hideWindows();
    hide();
    emit exitRequested();
}

void MainForm::showGraphAfterRun() {
    m_epigraph->showAfterRun();
    m_c.cmdRealSpace->setEnabled(true);
    m_c.cmdLeed->setEnabled(true);
    m_c.cmdBuildModel->setEnabled(true);
    m_views->follow();
    // The user goes on in this window, with the graph kept above it.
    if (isVisible()) {
        activateWindow();
    }
}

std::optional<output::ReportInputs> MainForm::currentReport() const {
    if (!m_state.completedScan) {
        return std::nullopt;  // the commands are not enabled before a run completes
    }
    // The header reads the main window's fields as they are when the report is written.
    return output::reportInputsFor(*m_state.completedScan, fieldTexts(), output::today());
}

void MainForm::saveReport() {
    if (const auto report = currentReport()) {
        ReportCommands(m_services, this).save(*report);
    }
}

void MainForm::printReport() {
    const auto report = currentReport();
    if (!report) {
        return;
    }
    // The button prints the file's wording of the geometric-search line, the menu item its own.
    const output::SearchWording wording = sender() == m_c.mnuPrint
                                              ? output::SearchWording::MaximumMultiple
                                              : output::SearchWording::UpTo;
    ReportCommands(m_services, this).print(*report, wording);
}

void MainForm::toggleGraph() {
    m_c.GraphShow->setEnabled(true);
    if (m_c.Shape1->fillStyle() == CoverShape::kCrossHatched) {
        m_c.Shape1->setFillStyle(CoverShape::kTransparent);
        m_epigraph->showFromToggle();
    } else {
        m_c.Shape1->setFillStyle(CoverShape::kCrossHatched);
        m_epigraph->hide();
    }
}

void MainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_placed || event->spontaneous() || screen() == nullptr) {
        return;
    }
    m_placed = true;
    // The widest of the windows that open beside it.
    const int companion =
        std::max({m_epigraph->sizeHint().width(), m_rotationDone->sizeHint().width(),
                  m_iteration->iterationWindow().sizeHint().width()});
    move(mainWindowCorner(frameGeometry().size(), companion, screen()->availableGeometry()));
}

void MainForm::closeEvent(QCloseEvent* event) {
    // Closing the calculator is the same way out as its Exit button: nothing is lost.
    event->ignore();
    exitToMenu();
}

}  // namespace lamivex::app
