#include "app/views_binding.h"

#include <vector>

#include <QScreen>

#include "app/app_state.h"
#include "app/leed_pattern_window.h"
#include "app/real_space_window.h"
#include "app/services.h"
#include "app/window_placement.h"
#include "views/view_subject.h"

namespace lamivex::app {
namespace {

// The subject of the last completed run: the clicked angle when there is one.
views::ViewSubject subjectOf(const AppState& state) {
    const engine::CompletedScan& scan = *state.completedScan;
    return state.viewAngle ? views::subjectAtAngle(scan, *state.viewAngle)
                           : views::subjectAtBest(scan);
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
    keepBesideMainWindow(m_realSpace.get(), mainWindow);
    keepBesideMainWindow(m_leed.get(), mainWindow);
}

ViewsBinding::~ViewsBinding() = default;

void ViewsBinding::showRealSpace() {
    show(*m_realSpace);
}

void ViewsBinding::showLeed() {
    show(*m_leed);
}

void ViewsBinding::show(ViewWindow& window) {
    if (!m_state.completedScan) {
        return;  // the commands are not offered before a run completes
    }
    window.showSubject(subjectOf(m_state));
    const bool firstShow = !window.isVisible();
    window.show();
    if (firstShow && window.screen() != nullptr) {
        // Beside the main window, and not under the graph or the other view when they are
        // open there too.
        std::vector<QRect> others;
        for (QWidget* other : {m_graph, static_cast<QWidget*>(m_realSpace.get()),
                               static_cast<QWidget*>(m_leed.get())}) {
            if (other != &window && other->isVisible()) {
                others.push_back(other->frameGeometry());
            }
        }
        window.move(clearOfOthers(window.frameGeometry(), others, m_main->frameGeometry(),
                                  window.screen()->availableGeometry()));
    }
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
            view->showSubject(subject);
        }
    }
}

void ViewsBinding::hideWindows() {
    m_realSpace->hide();
    m_leed->hide();
}

}  // namespace lamivex::app
