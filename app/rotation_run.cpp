#include "app/rotation_run.h"

#include <algorithm>

#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QLabel>

#include "app/app_state.h"
#include "app/main_form_controls.h"
#include "app/qt_support.h"
#include "app/rotation_done.h"
#include "app/services.h"
#include "engine/interpretation.h"
#include "numbers/number_text.h"

namespace lamivex::app {
namespace {

// The text broken at blanks into lines no wider than width. A word-wrapped label would do it
// too, but its height then depends on its width, which a window's minimum size ignores: the
// window would squeeze the other frames instead of growing.
// A matrix "(1 1; -1 2)" stays on one line.
QString wrapped(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList words;
    int depth = 0;
    for (const QString& piece : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (depth > 0 && !words.isEmpty()) {
            words.back() += QLatin1Char(' ') + piece;
        } else {
            words << piece;
        }
        depth += static_cast<int>(piece.count(QLatin1Char('('))) -
                 static_cast<int>(piece.count(QLatin1Char(')')));
    }
    QStringList lines;
    QString line;
    for (const QString& word : words) {
        const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
            lines << line;
            line = word;
        } else {
            line = longer;
        }
    }
    lines << line;
    return lines.join(QLatin1Char('\n'));
}

// The width the Results frame gives its lines below the matrix.
int resultLineWidth(const QLabel* label) {
    const QWidget* frame = label->parentWidget();
    const int sixtyCharacters = label->fontMetrics().averageCharWidth() * 60;
    const int frameWidth = frame != nullptr ? frame->contentsRect().width() - 24 : 0;
    return std::max(sixtyCharacters, frameWidth);
}

// The progress window repaints at most this often inside a pass; input events wait for
// the end of the pass.
constexpr qint64 kRepaintIntervalMs = 40;

QString fixed2(double value) {
    return qs(numbers::formatFixed2(value));
}

QString scientific(double value) {
    return qs(numbers::formatScientific(value, 3));
}

void setReportCommandsEnabled(MainFormControls& c, bool enabled) {
    c.Command1->setEnabled(enabled);
    c.Command4->setEnabled(enabled);
    c.mnuSave->setEnabled(enabled);
    c.mnuPrint->setEnabled(enabled);
}

// Undoes what a run changes in the windows, however the run ends.
class RunScope {
  public:
    RunScope(MainFormControls& c, RotationDone& progress, AppState& state, Services& services)
        : m_c(c),
          m_progress(progress),
          m_state(state),
          m_services(services),
          m_reportCommandsWereEnabled(c.Command1->isEnabled()) {
        m_state.runInProgress = true;
        m_c.Calculate->setEnabled(false);
        // Save and Print would read arrays that the run is rewriting.
        setReportCommandsEnabled(m_c, false);
        m_services.setBusy(true);
    }
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;
    ~RunScope() {
        m_progress.hide();
        // The user goes on in the main window, whichever window the system activated.
        QWidget* main = m_c.Calculate->window();
        if (main->isVisible() && QApplication::activeWindow() == nullptr) {
            main->activateWindow();
        }
        // The lengths entered, in the form the capture step left them.
        m_c.b1->setText(qs(numbers::formatSingle(m_state.OverlayerLattice.b1)));
        m_c.b2->setText(qs(numbers::formatSingle(m_state.OverlayerLattice.b2)));
        setReportCommandsEnabled(m_c, m_completed || m_reportCommandsWereEnabled);
        if (!m_completed) {
            // Aborted (or failed): no graph to show for this run.
            m_c.Shape1->setFillStyle(CoverShape::kCrossHatched);
            m_c.GraphShow->setEnabled(false);
        }
        m_c.Calculate->setEnabled(true);
        m_state.runInProgress = false;
        m_services.setBusy(false);
    }
    void markCompleted() { m_completed = true; }

  private:
    MainFormControls& m_c;
    RotationDone& m_progress;
    AppState& m_state;
    Services& m_services;
    bool m_reportCommandsWereEnabled;
    bool m_completed = false;
};

}  // namespace

RotationRun::RotationRun(MainFormControls& controls, RotationDone& progress, AppState& state,
                         Services& services)
    : m_c(controls), m_progress(progress), m_state(state), m_services(services) {}

engine::ScanStatus RotationRun::run(const engine::CapturedRun& capture,
                                    const engine::ScanInputs& inputs) {
    RunScope scope(m_c, m_progress, m_state, m_services);
    m_c.Shape1->setFillStyle(CoverShape::kTransparent);
    m_state.AbortRequested = false;
    m_progress.prepareForRun(false);
    m_c.GraphShow->setEnabled(true);
    m_c.imgHisto->setEnabled(false);
    m_progress.setBeta(fixed2(inputs.beta));
    m_services.keepAbove(&m_progress, true);
    m_progress.show();

    QElapsedTimer sinceRepaint;
    sinceRepaint.start();
    engine::ScanCallbacks callbacks;
    callbacks.passStarting = [this](int, int, double b1, double b2) {
        // While a pass runs, the b1 and b2 fields show its multiplied lengths (15 digits)
        // and the progress window the same lengths as "0.00".
        m_c.b2->setText(qs(numbers::formatDouble(b2)));
        m_progress.setB2(fixed2(b2));
        m_c.b1->setText(qs(numbers::formatDouble(b1)));
        m_progress.setB1(fixed2(b1));
        m_progress.repaint();
    };
    callbacks.progress = [this, &sinceRepaint](int k, int lastAngleIndex) {
        m_progress.setProgress(k, lastAngleIndex);
        if (k == lastAngleIndex || sinceRepaint.elapsed() >= kRepaintIntervalMs) {
            m_progress.repaint();
            sinceRepaint.restart();
        }
    };
    callbacks.abortRequested = [this] {
        m_services.deliverPendingEvents();
        return m_state.AbortRequested;
    };

    std::optional<engine::CompletedScan> completed =
        engine::runToCompletion(capture, inputs, m_state.best, callbacks);
    if (!completed) {
        return engine::ScanStatus::Aborted;
    }
    m_state.completedScan = std::move(completed);
    m_progress.hide();
    showResults(m_state.completedScan->best);
    showMeaning(*m_state.completedScan);
    scope.markCompleted();
    return engine::ScanStatus::Completed;
}

void RotationRun::showResults(const engine::BestOrientation& best) {
    m_c.pxanswer->setText(scientific(best.BestPx));
    m_c.pyanswer->setText(scientific(best.BestPy));
    m_c.qxanswer->setText(scientific(best.BestQx));
    m_c.qyanswer->setText(scientific(best.BestQy));
    m_c.Angleanswer->setText(qs(numbers::formatFixed2(best.BestAngle)));
    m_c.VVo->setText(scientific(best.BestVVo));
}

void RotationRun::showMeaning(const engine::CompletedScan& scan) {
    using numbers::formatFixed;
    const engine::BestOrientation& b = scan.best;
    m_c.LblMatrix->setText(QStringLiteral("Matrix (%1 %2; %3 %4)")
                               .arg(qs(formatFixed(b.BestPx, 3)), qs(formatFixed(b.BestQy, 3)),
                                    qs(formatFixed(b.BestQx, 3)), qs(formatFixed(b.BestPy, 3))));
    const engine::Interpretation meaning = engine::interpretBest(b, scan.capture);
    m_c.LblEpitaxy->setText(wrapped(qs(meaning.summary()), m_c.LblEpitaxy->fontMetrics(),
                                    resultLineWidth(m_c.LblEpitaxy)));
    const std::vector<std::string> notes = engine::symmetryNotes(
        engine::substrateCellOf(scan.capture), scan.capture.substrate.hexagonal);
    QStringList lines;
    for (const std::string& note : notes) {
        lines << wrapped(QStringLiteral("Note: ") + qs(note), m_c.LblSymmetryNote->fontMetrics(),
                         resultLineWidth(m_c.LblSymmetryNote));
    }
    m_c.LblSymmetryNote->setText(lines.join(QLatin1Char('\n')));
    m_c.LblSymmetryNote->setVisible(!notes.empty());
}

QString refusalMessage(const numbers::InputError& error) {
    struct Caption {
        const char* field;
        const char* caption;
    };
    // The engine names fields as the command line does; the window names its captions.
    static constexpr Caption kCaptions[] = {
        {"a1", "Substrate a1"},
        {"a2", "Substrate a2"},
        {"alpha", "Substrate alpha"},
        {"b1", "Overlayer b1"},
        {"b2", "Overlayer b2"},
        {"beta", "Overlayer beta"},
        {"m", "Overlayer dimensions, b1 direction"},
        {"n", "Overlayer dimensions, b2 direction"},
        {"lower", "Azimuth rotation range, Lower Bound"},
        {"upper", "Azimuth rotation range, Upper Bound"},
        {"spacing", "Azimuth rotation range, Spacing"},
        {"max-multiple", "Search for geometric solutions: maximum multiple"},
        {"criterion", "Selection Criteria"},
    };
    QString caption = qs(error.field());
    for (const Caption& c : kCaptions) {
        if (error.field() == c.field) {
            caption = QString::fromLatin1(c.caption);
            break;
        }
    }
    // A row of the Iteration window: "b1-range" is the row "b1 range", its part a field of it.
    const std::string_view rangeSuffix = "-range";
    if (error.field().ends_with(rangeSuffix)) {
        const QString row = qs(error.field().substr(0, error.field().size() - rangeSuffix.size()));
        caption = error.part().empty() ? row + QStringLiteral(" range")
                                       : row + QLatin1Char(' ') + qs(error.part());
    }
    return QStringLiteral("The calculation cannot start.\n\n%1: %2")
        .arg(caption, QString::fromUtf8(error.what()));
}

}  // namespace lamivex::app
