// The keyboard in every window: Tab meets the controls in reading order, an access key
// (Alt+letter) means one thing per window and leaves a field as a click would, Escape and
// Enter close or confirm the dialogs.

#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTableWidget>

#include "app/db_notes.h"
#include "app/epigraph.h"
#include "app/frm_histo.h"
#include "app/iter_results.h"
#include "app/iteration_binding.h"
#include "app/iteration_window.h"
#include "app/menu_form.h"
#include "app/rotation_done.h"
#include "app/str_anal.h"
#include "app/sublist.h"
#include "tests/app/focus_support.h"
#include "tests/app/test_suites.h"

namespace lamivex::app::test {
namespace {

bool showActive(QWidget& window) {
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// The names of the controls Tab visits from first until it comes round to first again.
QString tabChain(QWidget* first) {
    first->setFocus(Qt::TabFocusReason);
    QStringList names;
    for (QWidget* at = first; names.size() < 60 && (names.isEmpty() || at != first);
         at = first->window()->focusWidget()) {
        names << at->objectName();
        QTest::keyClick(at, Qt::Key_Tab);
    }
    return names.join(QLatin1Char(' '));
}

// Fails on an access key given twice in window: its buttons, buddied labels and menus.
void verifyUniqueAccessKeys(const QWidget& window, qsizetype atLeast) {
    QStringList captions;
    for (const QAbstractButton* b : window.findChildren<QAbstractButton*>()) {
        captions << b->text();
    }
    for (const QLabel* l : window.findChildren<QLabel*>()) {
        captions << (l->buddy() != nullptr ? l->text() : QString());
    }
    for (const QMenuBar* bar : window.findChildren<QMenuBar*>()) {
        for (const QAction* menu : bar->actions()) {
            captions << menu->text();
        }
    }
    QList<QKeySequence> keys;
    for (const QString& caption : captions) {
        if (const QKeySequence key = QKeySequence::mnemonic(caption); !key.isEmpty()) {
            QVERIFY2(!keys.contains(key),
                     qPrintable(window.objectName() + QLatin1Char(' ') + key.toString()));
            keys << key;
        }
    }
    QVERIFY2(keys.size() >= atLeast, qPrintable(window.objectName()));
}

}  // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

  private slots:
    // NOLINTNEXTLINE(readability-convert-member-functions-to-static): QTest calls slots
    void tabFollowsReadingOrder() {
        MainFormRig rig;
        const MainFormControls& c = rig.form.controls();
        // What a database and a run enable joins the chain in its place.
        for (QWidget* w :
             {c.Image1, c.Image2, c.Image3, c.Image4, c.GraphShow, c.GridShow, c.imgHisto}) {
            w->setEnabled(true);
        }
        c.Command1->setEnabled(true);
        c.Command4->setEnabled(true);
        QVERIFY(rig.show());
        QCOMPARE(tabChain(c.SubName),
                 "SubName Image1 Image3 a1 a2 alpha nonhexagonal Command2 Command7 cmdSubstrateCif "
                 "cmdScreen "
                 "OverName Image2 Image4 b1 b2 beta b1size b2size Command3 Command8 cmdFromMatrix "
                 "cmdOverlayerCif Lowerangle "
                 "Upperangle "
                 "AngleSpacing Calculate Option1 Check1 chkgeo txtUplim Command1 Command4 "
                 "GraphShow GridShow imgHisto FileOpen cmdNewDatabase Exit");

        Iteration& iteration = rig.form.iteration().iterationWindow();
        iteration.findChild<QRadioButton*>(QStringLiteral("RigidSubs"))->setChecked(true);
        QVERIFY(showActive(iteration));
        QCOMPARE(tabChain(iteration.fixBox(iteration::Constant::alpha)),
                 "alphafix itercrit iterover RigidSubs b1low b1high b1inc b1fix b2low b2high "
                 "b2inc b2fix betalow betahigh betainc betafix a1low a1high a1inc a1fix a2low "
                 "a2high a2inc a2fix alphalow alphahigh alphainc");
        iteration.hide();
        IterResults& results = rig.form.iteration().iterResults();
        QVERIFY(showActive(results));
        QCOMPARE(tabChain(results.grid()), "Grid1 IterFileSave Print cmdExportCsv Command1");
        results.hide();
        FrmHisto& histo = rig.form.iteration().frmHisto();
        QVERIFY(showActive(histo));
        QCOMPARE(tabChain(histo.focusWidget()), "cmdOKH cmdExportH cmdPrintH");

        ScriptedServices services;
        StrAnal strAnal(services);
        strAnal.selectSystem(crystal::CrystalSystem::Triclinic);  // every cell field free
        QVERIFY(showActive(strAnal));
        QCOMPARE(tabChain(strAnal.controls().CMBsystem),
                 "CMBsystem txtavalue txtbvalue txtcvalue txtalpha txtbeta txtgamma Mh3dRecalc "
                 "ChkPlaneSpace txtPlaneSpace CmdPlaneSpace ChkPlaneangle txtPlane1 txtPlane2 "
                 "Cmdinterangle ChkMillerangle txtDir1 txtDir2 CmdMillerAngle ChkVolume Command1");
    }

    // NOLINTNEXTLINE(readability-convert-member-functions-to-static): QTest calls slots
    void accessKeysAreUniqueAndCaptionsKept() {
        MainFormRig rig;
        MenuForm menu;
        ScriptedServices services;
        StrAnal strAnal(services);
        DBNotes notes;
        const IterationBinding& it = rig.form.iteration();
        verifyUniqueAccessKeys(menu, 3);
        verifyUniqueAccessKeys(rig.form, 20);
        verifyUniqueAccessKeys(strAnal, 7);
        verifyUniqueAccessKeys(it.iterationWindow(), 5);
        verifyUniqueAccessKeys(it.iterResults(), 4);
        verifyUniqueAccessKeys(it.frmHisto(), 3);
        verifyUniqueAccessKeys(notes, 1);
        verifyUniqueAccessKeys(rig.form.rotationDone(), 1);
        verifyUniqueAccessKeys(rig.form.epigraph(), 2);

        const MainFormControls& c = rig.form.controls();
        QCOMPARE(shownCaption(c.Command3->text()), QStringLiteral("Update "));
        QCOMPARE(shownCaption(c.Option1->text()), QStringLiteral(" No iteration"));
        QCOMPARE(shownCaption(c.chkgeo->text()),
                 QStringLiteral(" Search for geometric solutions: maximum multiple ="));
        QCOMPARE(shownCaption(rig.form.rotationDone().abortButton()->text()), "ABORT");

        int vantrellOpened = 0;
        menu.setVantrellAction([&vantrellOpened] { ++vantrellOpened; });
        QVERIFY(showActive(menu));
        QTest::keyClick(&menu, Qt::Key_V, Qt::AltModifier);
        QTRY_COMPARE(vantrellOpened, 1);  // the toolbar's buttons carry their keys too
    }

    // NOLINTNEXTLINE(readability-convert-member-functions-to-static): QTest calls slots
    void anAccessKeyLeavesTheFieldFirst() {
        MainFormRig rig;
        QVERIFY(rig.show());
        rig.enter("a1");
        rig.replace("a1", QStringLiteral("abc"));
        QTest::keyClick(rig.field("a1"), Qt::Key_C, Qt::AltModifier);
        QTest::qWait(250);  // a button pressed by its key acts after a short press
        QCOMPARE(rig.services.messages(), QStringList{"Invalid data"});
        QCOMPARE(rig.text("a1"), QStringLiteral("10"));
        QVERIFY(rig.field("a1")->hasFocus());
        QVERIFY(rig.label("VVo").isEmpty());  // the refusal cancelled Calculate
        QTest::keyClick(rig.field("a1"), Qt::Key_C, Qt::AltModifier);
        QTRY_VERIFY(!rig.label("VVo").isEmpty());
    }

    // NOLINTNEXTLINE(readability-convert-member-functions-to-static): QTest calls slots
    void escapeAndEnterInTheDialogs() {
        MainFormRig rig;
        IterResults& results = rig.form.iteration().iterResults();
        QSignalSpy resultsOk(&results, &IterResults::okClicked);
        QVERIFY(showActive(results));
        QTest::keyClick(results.findChild<QWidget*>(QStringLiteral("IterFileSave")),
                        Qt::Key_Return);
        QVERIFY(results.isVisible());  // Enter on a button is that button's
        QTest::keyClick(results.grid(), Qt::Key_Return);
        QVERIFY(showActive(results));
        QTest::keyClick(results.grid(), Qt::Key_Escape);
        QCOMPARE(resultsOk.size(), 2);  // each time put away as O.K. does
        QVERIFY(!results.isVisible());

        FrmHisto& histo = rig.form.iteration().frmHisto();
        QSignalSpy histoOk(&histo, &FrmHisto::okClicked);
        QVERIFY(showActive(histo));
        QTest::keyClick(&histo, Qt::Key_Escape);
        QCOMPARE(histoOk.size(), 1);
        QVERIFY(!histo.isVisible());

        DBNotes notes;
        notes.setEditable(true);
        QVERIFY(showActive(notes));
        QTest::keyClicks(notes.commentBox(), QStringLiteral("x"));
        QTest::keyClick(notes.commentBox(), Qt::Key_Return);
        QCOMPARE(notes.comments(), QStringLiteral("x\n"));  // a comment has lines
        QTest::keyClick(notes.commentBox(), Qt::Key_Escape);
        QVERIFY(!notes.isVisible());

        QWidget anchor;
        Sublist picker(&anchor);
        QSignalSpy picked(&picker, &PickerWindow::picked);
        QVERIFY(showActive(anchor));
        picker.fill({"Ag(111)", "Au(111)"});
        picker.showBelow(&anchor);
        QTest::keyClick(picker.list(), Qt::Key_Escape);
        QVERIFY(!picker.isVisible() && picked.isEmpty());
        picker.showBelow(&anchor);
        QTest::keyClick(picker.list(), Qt::Key_Return);
        QCOMPARE(picked.value(0).value(0).toString(), QStringLiteral("Ag(111)"));

        AppState state;
        RotationDone progress(state);
        progress.prepareForRun(false);
        QVERIFY(showActive(progress));
        QTest::keyClick(&progress, Qt::Key_Return);
        QVERIFY(!state.AbortRequested);  // a stray Enter never ends a run
        QTest::keyClick(&progress, Qt::Key_Escape);
        QVERIFY(state.AbortRequested);  // Escape is ABORT
    }

    // NOLINTNEXTLINE(readability-convert-member-functions-to-static): QTest calls slots
    void enterAndEscapeInTheStructureAnalysis() {
        ScriptedServices services;
        QPointer<StrAnal> window = openStrAnal(services, nullptr);
        QVERIFY(QTest::qWaitForWindowActive(window));
        const StrAnalControls& c = window->controls();
        QSignalSpy planes(c.Cmdinterangle, &QPushButton::clicked);
        c.txtPlane2->setFocus();
        QTest::keyClick(c.txtPlane2, Qt::Key_Return);
        QCOMPARE(planes.size(), 1);  // the "Enter" of its row
        QTest::keyClick(c.cellField(crystal::CellField::A), Qt::Key_Escape);
        QTRY_VERIFY(window.isNull());  // Escape is Exit: the window is gone
    }
};

int runKeyboardTests(int argc, char** argv) {
    KeyboardTest test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace lamivex::app::test

#include "keyboard_test.moc"
