#include "app/screenshots/iteration_screenshots.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "app/frm_histo.h"
#include "app/iter_results.h"
#include "app/iteration_binding.h"
#include "app/iteration_window.h"
#include "app/main_form.h"

namespace lamivex::app {
namespace {

void settle() {
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
    }
}

}  // namespace

bool photographIteration(MainForm& main, const std::function<void(QWidget&)>& take) {
    const MainFormControls& c = main.controls();
    // A rectangular cell on a hexagonal substrate: matches spread over many degrees.
    c.a1->setText(QStringLiteral("2.88"));
    c.a2->setText(QStringLiteral("2.88"));
    c.alpha->setText(QStringLiteral("60"));
    c.hexagonal->setChecked(true);
    c.b1->setText(QStringLiteral("4.1"));
    c.b2->setText(QStringLiteral("5"));
    c.beta->setText(QStringLiteral("90"));
    c.b1size->setText(QStringLiteral("8"));
    c.b2size->setText(QStringLiteral("8"));
    c.AngleSpacing->setText(QStringLiteral("0.5"));
    c.chkgeo->setChecked(true);
    c.txtUplim->setText(QStringLiteral("2"));
    c.Option2->click();

    IterationBinding& binding = main.iteration();
    Iteration& window = binding.iterationWindow();
    settle();
    take(window);

    bool shown = false;
    IterResults& results = binding.iterResults();
    // The table comes up modally at the end of the run: photographed, then closed.
    QTimer watch;
    watch.setInterval(50);
    QObject::connect(&watch, &QTimer::timeout, &main, [&] {
        // The message at the end of the run is answered as the user would.
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            box->accept();
            return;
        }
        if (!results.isVisible()) {
            return;
        }
        watch.stop();
        shown = true;
        results.rebuildSummary();
        settle();
        take(results);
        results.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    });
    watch.start();
    c.Calculate->click();
    watch.stop();
    if (!shown) {
        return false;
    }
    c.imgHisto->click();
    FrmHisto& histo = binding.frmHisto();
    settle();
    histo.activate();
    settle();
    take(histo);
    return true;
}

}  // namespace lamivex::app
