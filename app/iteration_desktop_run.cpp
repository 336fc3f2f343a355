// The iteration run from Calculate: the trials run on every core while this thread keeps
// the windows live, shows the progress and reads ABORT between polls.

#include <new>

#include <QLabel>

#include "app/app_state.h"
#include "app/frm_histo.h"
#include "app/iter_results.h"
#include "app/iteration_binding.h"
#include "app/iteration_window.h"
#include "app/main_form.h"
#include "app/main_form_controls.h"
#include "app/picture_box.h"
#include "app/qt_support.h"
#include "app/rotation_done.h"
#include "app/rotation_run.h"
#include "app/services.h"
#include "engine/capture.h"
#include "iteration/iteration_plan.h"
#include "iteration/iteration_run.h"
#include "numbers/input_error.h"
#include "numbers/number_text.h"

namespace lamivex::app {
namespace {

QString fixed2(double value) {
    return qs(numbers::formatFixed2(value));
}

void writeLatticeFields(const MainFormControls& c, const engine::MainFieldTexts& f) {
    c.a1->setText(qs(f.a1));
    c.a2->setText(qs(f.a2));
    c.alpha->setText(qs(f.alpha));
    c.b1->setText(qs(f.b1));
    c.b2->setText(qs(f.b2));
    c.beta->setText(qs(f.beta));
}

// What the run changes in the windows for its duration, undone however it ends.
class IterationRunScope {
  public:
    IterationRunScope(const MainFormControls& c, AppState& state, Services& services)
        : m_c(c), m_state(state), m_services(services) {
        m_state.runInProgress = true;
        m_c.Calculate->setEnabled(false);
        m_services.setBusy(true);
    }
    IterationRunScope(const IterationRunScope&) = delete;
    IterationRunScope& operator=(const IterationRunScope&) = delete;
    ~IterationRunScope() {
        endBusy();
        m_c.Calculate->setEnabled(true);
        m_state.runInProgress = false;
    }
    void endBusy() {
        if (m_busy) {
            m_busy = false;
            m_services.setBusy(false);
        }
    }

  private:
    const MainFormControls& m_c;
    AppState& m_state;
    Services& m_services;
    bool m_busy = true;
};

}  // namespace

void IterationBinding::calculate() {
    if (m_state.runInProgress) {
        return;
    }
    // Everything is read and checked before anything changes, so that a refused run
    // leaves the windows and the previous run's results as they were.
    engine::CapturedRun run;
    iteration::IterationPlan plan;
    try {
        run = engine::captureRun(m_form.fieldTexts());
        if (run.fillIterationDefaults) {
            FillIterationDefaults();  // an a1 of 0: the ranges are refilled before they are read
        }
        plan = iteration::planIteration(run, m_iteration->fields());
    } catch (const numbers::InputError& error) {
        m_services.message(&m_form, refusalMessage(error));
        return;
    }
    writeLatticeFields(m_c, run.fields);
    m_state.storeCapture(run);

    IterationRunScope scope(m_c, m_state, m_services);
    m_c.GraphShow->setEnabled(false);
    m_c.GridShow->setEnabled(true);
    m_c.imgHisto->setEnabled(true);
    m_c.Shape1->setFillStyle(CoverShape::kCrossHatched);
    m_c.Shape2->setFillStyle(CoverShape::kCrossHatched);
    m_progress.prepareForRun(true);
    const bool overlayer = iteration::iteratesOverlayer(plan.kind);
    m_results->setLatticeHeadings(overlayer);
    if (m_state.iteration.ResultsTableFilled) {
        m_results->clearRows();
    }
    m_state.AbortRequested = false;
    // The parameters make way for the progress window and its ABORT while the run lasts.
    hideIteration();
    auto* hits = m_progress.findChild<QLabel*>(QStringLiteral("Hits"));
    hits->setText(QStringLiteral("0"));
    m_services.keepAbove(&m_progress, true);
    m_progress.show();
    // An iteration run leaves the report of the last rotation run unreachable.
    m_c.Command1->setEnabled(false);
    m_c.Command4->setEnabled(false);
    m_c.mnuSave->setEnabled(false);
    m_c.mnuPrint->setEnabled(false);

    iteration::IterationCallbacks callbacks;
    callbacks.progress = [&](const iteration::IterationProgress& p) {
        if (p.trialsDone > 0) {
            // While the run lasts, the iterated lattice's fields show the trial and the
            // progress window the same values as "0.00".
            const iteration::TrialLattice& t = p.current;
            QLineEdit* first = overlayer ? m_c.b1 : m_c.a1;
            QLineEdit* second = overlayer ? m_c.b2 : m_c.a2;
            QLineEdit* angle = overlayer ? m_c.beta : m_c.alpha;
            first->setText(qs(t.text(0)));
            second->setText(qs(t.text(1)));
            angle->setText(qs(t.text(2)));
            m_progress.setB1(fixed2(t.values[0]));
            m_progress.setB2(fixed2(t.values[1]));
            m_progress.setBeta(fixed2(t.values[2]));
        }
        hits->setText(QString::number(p.matchCount));
        // The bar counts trials: the scans of one trial are over in a moment.
        m_progress.setProgress(
            static_cast<int>(p.trialsDone * 1000 / std::max<int64_t>(p.trialCount, 1)), 1000);
    };
    callbacks.abortRequested = [this] {
        m_services.deliverPendingEvents();
        return m_state.AbortRequested;
    };

    iteration::CompletedIteration result;
    try {
        result = iteration::runIteration(plan, m_state.best, callbacks);
    } catch (const std::bad_alloc&) {
        m_progress.hide();
        writeLatticeFields(m_c, run.fields);
        m_services.message(&m_form, QStringLiteral("There is not enough memory for this run. "
                                                   "Reduce the ranges of the iteration."));
        return;
    }

    scope.endBusy();
    const int matchCount = result.MatchCount;
    const QString message = qs(iteration::completionMessage(result));
    const bool stopped = result.stop != iteration::StopReason::Complete;
    for (int k = 0; k < matchCount; ++k) {
        QStringList cells{QString::number(k + 1)};
        for (const std::string& cell :
             iteration::matchCells(result.matches[static_cast<std::size_t>(k)])) {
            cells.append(qs(cell));
        }
        m_results->appendRow(cells);
    }
    const engine::MainFieldTexts restored = result.restoredFields;
    iteration::keepRangesRead(m_state.iteration.IterationRanges, result.kind, result.ranges);
    m_state.iteration.completed = std::move(result);
    // The bars of the run before would otherwise stand among the new ones.
    m_histo->picture().clear();

    if (stopped) {
        m_services.message(&m_form, message);
        m_progress.hide();
        hideIteration();
        m_form.repaint();
    } else {
        m_progress.hide();
        m_iteration->hide();
        m_form.repaint();
        m_services.message(&m_form, message);
    }
    // The lattice entered comes back before the results window opens, so that the data file
    // and the printout made from there record it rather than the last trial.
    writeLatticeFields(m_c, restored);
    if (matchCount > 0) {
        showResultsModally();
    }
    showIterationAbove();
    m_state.iteration.ResultsTableFilled = true;
}

}  // namespace lamivex::app
