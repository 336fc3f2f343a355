#include "app/screenshots/view_screenshots.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QThread>
#include <QWindow>

#include "app/leed_pattern_window.h"
#include "app/main_form.h"
#include "app/real_space_window.h"
#include "app/screenshots/wait_until_exposed.h"
#include "app/views_binding.h"

namespace lamivex::app {
namespace {

struct Example {
    const char* a;
    const char* alpha;
    bool hexagonal;
    const char* b1;
    const char* b2;
    const char* beta;
    const char* domain;
    const char* lower;
    const char* upper;
};

void run(const MainFormControls& c, const Example& e) {
    c.a1->setText(QString::fromLatin1(e.a));
    c.a2->setText(QString::fromLatin1(e.a));
    c.alpha->setText(QString::fromLatin1(e.alpha));
    (e.hexagonal ? c.hexagonal : c.nonhexagonal)->setChecked(true);
    c.b1->setText(QString::fromLatin1(e.b1));
    c.b2->setText(QString::fromLatin1(e.b2));
    c.beta->setText(QString::fromLatin1(e.beta));
    c.b1size->setText(QString::fromLatin1(e.domain));
    c.b2size->setText(QString::fromLatin1(e.domain));
    c.Lowerangle->setText(QString::fromLatin1(e.lower));
    c.Upperangle->setText(QString::fromLatin1(e.upper));
    c.chkgeo->setChecked(false);
    c.Calculate->click();
}

}  // namespace

void photographViews(MainForm& main, const std::function<void(QWidget&)>& take) {
    const MainFormControls& c = main.controls();
    run(c, {"2.8836", "60", true, "4.9945", "4.9945", "60", "6", "0", "60"});
    c.cmdRealSpace->click();
    RealSpaceWindow& realSpace = main.views().realSpace();
    realSpace.resize(620, 600);
    waitUntilExposed(realSpace);
    take(realSpace);
    realSpace.hide();

    // PTCDA on Cu(100): b1 = 4√2 a, b2 = 5√2 a at right angles, found at 45°.
    run(c, {"2.5562", "90", false, "14.4599", "18.0749", "90", "10", "40", "50"});
    c.cmdLeed->click();
    LeedPatternWindow& leed = main.views().leed();
    leed.resize(680, 620);
    waitUntilExposed(leed);
    take(leed);
    leed.hide();
}

}  // namespace lamivex::app
