#include "app/views_binding.h"

#include <vector>

#include <QScreen>

#include "app/app_state.h"
#include "app/leed_pattern_window.h"
#include "app/real_space_window.h"
#include "app/services.h"
#include "app/window_placement.h"
#include "iteration/match_records.h"
#include "numbers/input_error.h"
#include "views/view_subject.h"

namespace lamivex::app {
namespace {

// The subject of the last completed run: the clicked angle when there is one.
views::ViewSubject subjectOf(const AppState& state) {
    const engine::CompletedScan& scan = *state.completedScan;
    return state.viewAngle ? views::subjectAtAngle(scan, *state.viewAngle)
                           : views::subjectAtBest(scan);
}

// The fields as a run would capture them now; nullopt when the capture would refuse a text.
std::optional<engine::CapturedRun> captureOf(const engine::MainFieldTexts& fields) {
    try {
        return engine::captureRun(fields);
    } catch (const numbers::InputError&) {
        return std::nullopt;
    }
}

// Whether now, the fields' capture, gives run's names, lattices and settings.
bool sameInputs(const engine::CapturedRun& now, const engine::CapturedRun& run) {
    const engine::SubstrateLattice& s = now.substrate;
    const engine::OverlayerLattice& o = now.overlayer;
    const engine::CalcSettings& c = now.settings;
    const engine::CalcSettings& r = run.settings;
    return now.SubstrateName == run.SubstrateName && now.OverlayerName == run.OverlayerName &&
           s.a1 == run.substrate.a1 && s.a2 == run.substrate.a2 && s.alpha == run.substrate.alpha &&
           s.hexagonal == run.substrate.hexagonal && o.b1 == run.overlayer.b1 &&
           o.b2 == run.overlayer.b2 && o.beta == run.overlayer.beta && c.b1Size == r.b1Size &&
           c.b2Size == r.b2Size && c.lowerAngle == r.lowerAngle && c.upperAngle == r.upperAngle &&
           c.angleSpacing == r.angleSpacing && c.maxMultiple == r.maxMultiple;
}

}  // namespace

ViewsBinding::ViewsBinding(AppState& state, Services& services, QWidget* mainWindow, QWidget* graph)
    : QObject(mainWindow),
      m_state(state),
      m_services(services),
      m_main(mainWindow),
      m_graph(graph),
      m_realSpace(std::make_unique<RealSpaceWindow>(services)),
      m_leed(std::make_unique<LeedPatternWindow>(services)) {
    keepBesideMainWindow(services, m_realSpace.get(), mainWindow);
    keepBesideMainWindow(services, m_leed.get(), mainWindow);
}

ViewsBinding::~ViewsBinding() = default;

void ViewsBinding::setMainFields(std::function<engine::MainFieldTexts()> fields) {
    m_fields = std::move(fields);
}

void ViewsBinding::showRealSpace() {
    // The commands are not offered before a run completes.
    if (m_state.completedScan) {
        present(*m_realSpace, subjectOf(m_state), m_state.completedScan->capture);
    }
}

void ViewsBinding::showLeed() {
    if (m_state.completedScan) {
        present(*m_leed, subjectOf(m_state), m_state.completedScan->capture);
    }
}

void ViewsBinding::showMatch(int index) {
    const std::optional<iteration::CompletedIteration>& run = m_state.iteration.completed;
    if (!run || index < 0 || index >= static_cast<int>(run->matches.size())) {
        return;
    }
    const iteration::Match& match = run->matches[static_cast<std::size_t>(index)];
    const views::ViewSubject subject = views::subjectOfTrial(
        run->capture, iteration::iteratesOverlayer(run->kind), iteration::trialConstants(match),
        match.angle, match.b1Multiple, match.b2Multiple);
    present(*m_realSpace, subject, run->capture);
    present(*m_leed, subject, run->capture);
}

std::optional<engine::CapturedRun>& ViewsBinding::runOf(const ViewWindow& window) {
    return &window == m_realSpace.get() ? m_realSpaceRun : m_leedRun;
}

void ViewsBinding::present(ViewWindow& window, const views::ViewSubject& subject,
                           const engine::CapturedRun& run) {
    runOf(window) = run;
    window.showSubject(subject);
    checkFields();
    show(window);
}

void ViewsBinding::checkFields() {
    if (!m_fields || (!m_realSpaceRun && !m_leedRun)) {
        return;
    }
    const std::optional<engine::CapturedRun> now = captureOf(m_fields());
    for (ViewWindow* view :
         {static_cast<ViewWindow*>(m_realSpace.get()), static_cast<ViewWindow*>(m_leed.get())}) {
        const std::optional<engine::CapturedRun>& run = runOf(*view);
        view->setEarlierRun(run && (!now || !sameInputs(*now, *run)));
    }
}

void ViewsBinding::show(ViewWindow& window) {
    window.show();  // placed beside the windows shown by the services
    window.raise();
    window.activateWindow();
}

void ViewsBinding::follow() {
    if (!m_state.completedScan) {
        return;
    }
    const views::ViewSubject subject = subjectOf(m_state);
    for (ViewWindow* view :
         {static_cast<ViewWindow*>(m_realSpace.get()), static_cast<ViewWindow*>(m_leed.get())}) {
        if (view->isVisible()) {
            runOf(*view) = m_state.completedScan->capture;
            view->showSubject(subject);
        }
    }
    checkFields();
}

void ViewsBinding::hideWindows() {
    m_realSpace->hide();
    m_leed->hide();
}

}  // namespace lamivex::app
