#include "app/iteration_binding.h"

#include "app/app_state.h"
#include "app/epigraph.h"
#include "app/frm_histo.h"
#include "app/iter_results.h"
#include "app/iteration_window.h"
#include "app/main_form.h"
#include "app/main_form_controls.h"
#include "app/services.h"
#include "app/window_placement.h"

namespace lamivex::app {

IterationBinding::IterationBinding(MainForm& form, const MainFormControls& controls,
                                   AppState& state, Services& services, RotationDone& progress,
                                   Epigraph& graph)
    : QObject(&form),
      m_form(form),
      m_c(controls),
      m_state(state),
      m_services(services),
      m_progress(progress),
      m_graph(graph),
      m_iteration(std::make_unique<Iteration>(services)),
      m_results(std::make_unique<IterResults>(state.iteration, *m_iteration, services,
                                              [&form] { return form.fieldTexts(); })),
      m_histo(std::make_unique<FrmHisto>(state.iteration, services)) {
    FillIterationDefaults();
    keepBesideMainWindow(services, m_iteration.get(), &form);
    keepBesideMainWindow(services, m_histo.get(), &form);
    keepBesideMainWindow(services, m_results.get(), &form);
    connect(m_c.Option1, &QRadioButton::clicked, this, &IterationBinding::onOption1);
    connect(m_c.Option2, &QRadioButton::clicked, this, &IterationBinding::onOption2);
    connect(m_c.Check1, &QCheckBox::clicked, this, &IterationBinding::onCheck1);
    connect(m_c.GridShow, &QToolButton::clicked, this, &IterationBinding::onGridShow);
    connect(m_c.imgHisto, &QToolButton::clicked, this, &IterationBinding::onImgHisto);
    connect(&form, &MainForm::overlayerPicked, this, &IterationBinding::FillIterationDefaults);
    connect(m_results.get(), &IterResults::okClicked, this,
            [this] { m_c.GridShow->setEnabled(true); });
    connect(m_histo.get(), &FrmHisto::activated, this, &IterationBinding::hideIteration);
    connect(m_histo.get(), &FrmHisto::okClicked, this, [this] {
        m_c.Shape2->setFillStyle(CoverShape::kCrossHatched);
        m_iteration->show();
    });
}

IterationBinding::~IterationBinding() = default;

void IterationBinding::FillIterationDefaults() {
    m_iteration->FillIterationDefaults(m_form.fieldTexts(), m_state.SelectionCriterion);
}

void IterationBinding::showIterationAbove() {
    m_iteration->show();
    m_services.keepAbove(m_iteration.get(), true);
}

void IterationBinding::hideIteration() {
    m_services.keepAbove(m_iteration.get(), false);
    m_iteration->hide();
}

void IterationBinding::hideWindows() {
    hideIteration();
    m_histo->hide();
    m_c.Shape2->setFillStyle(CoverShape::kCrossHatched);
}

void IterationBinding::onOption1() {
    hideIteration();
}

void IterationBinding::onOption2() {
    if (m_graph.isVisible()) {
        m_services.keepAbove(&m_graph, false);
        m_graph.hide();
        m_c.Shape1->setFillStyle(CoverShape::kCrossHatched);
    }
    if (m_c.Check1->isChecked()) {
        FillIterationDefaults();
        showIterationAbove();
    }
}

void IterationBinding::onCheck1() {
    if (m_c.Check1->isChecked()) {
        FillIterationDefaults();
        showIterationAbove();
    } else {
        hideIteration();
    }
}

void IterationBinding::showResultsModally() {
    m_services.keepAbove(m_results.get(), true);
    m_results->exec();
    m_services.keepAbove(m_results.get(), false);
    m_results->hide();
}

void IterationBinding::onGridShow() {
    if (m_graph.isVisible()) {
        m_services.keepAbove(&m_graph, false);
        m_graph.hide();
        showResultsModally();
        m_services.keepAbove(&m_graph, true);
        m_graph.show();
    } else if (m_iteration->isVisible()) {
        hideIteration();
        showResultsModally();
        m_iteration->show();
    }
}

void IterationBinding::onImgHisto() {
    if (m_c.Shape2->fillStyle() == CoverShape::kCrossHatched) {
        m_c.Shape2->setFillStyle(CoverShape::kTransparent);
        m_histo->raise();
        m_iteration->show();
        m_histo->show();
        m_histo->activateWindow();
        // Drawn now as well: not every window system activates a window shown this way.
        m_histo->activate();
    } else {
        m_c.Shape2->setFillStyle(CoverShape::kCrossHatched);
        m_histo->hide();
        m_iteration->show();
    }
}

}  // namespace lamivex::app
