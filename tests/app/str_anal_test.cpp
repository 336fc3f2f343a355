// The structure-analysis window driven as a user drives it: the system list, the cell
// fields and their entry rules, the "Enter" buttons, the result boxes, Exit and reopening.

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QToolBar>

#include "app/menu_form.h"
#include "app/qt_services.h"
#include "app/shell.h"
#include "app/str_anal.h"
#include "focus_support.h"
#include "tests/app/test_suites.h"

namespace lamivex::app::test {
namespace {

using crystal::CrystalSystem;
using crystal::ResultKind;

const QString kInvalid = QStringLiteral("Invalid data");
const QString kBlank = QStringLiteral(" ");
const QColor kGrey(192, 192, 192);
const QColor kWhite(255, 255, 255);

struct StrAnalRig {
    ScriptedServices services;
    StrAnal window{services};

    [[nodiscard]] bool show() {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }
    [[nodiscard]] const StrAnalControls& c() const { return window.controls(); }
    [[nodiscard]] QLineEdit* field(const char* name) const {
        return window.findChild<QLineEdit*>(QString::fromLatin1(name));
    }
    [[nodiscard]] QString text(const char* name) const { return field(name)->text(); }
    [[nodiscard]] QCheckBox* box(ResultKind kind) const { return c().resultBox(kind); }
    [[nodiscard]] QString result(ResultKind kind) const { return c().resultLabel(kind)->text(); }

    // Opens the list with a click and picks the system with the keys.
    [[nodiscard]] bool choose(CrystalSystem system) {
        QComboBox* list = c().CMBsystem;
        QTest::mouseClick(list, Qt::LeftButton);
        QAbstractItemView* view = list->view();
        if (!QTest::qWaitFor([view] { return view->isVisible(); })) {
            return false;
        }
        QTest::keyClick(view, Qt::Key_Home);
        for (std::size_t i = 0; crystal::kAllSystems.at(i) != system; ++i) {
            QTest::keyClick(view, Qt::Key_Down);
        }
        QTest::keyClick(view, Qt::Key_Return);
        if (!QTest::qWaitFor([view] { return !view->isVisible(); })) {
            return false;
        }
        // The offscreen platform does not hand the activation back when a popup closes.
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window) && window.system() == system;
    }
    // Clicks into the field; the whole text is then selected and typing replaces it.
    void enter(const char* name) {
        if (field(name)->hasFocus()) {
            // Already there (Tab led here): a click would only move the cursor.
            QTest::keyClick(field(name), Qt::Key_A, Qt::ControlModifier);
            return;
        }
        QTest::mouseClick(field(name), Qt::LeftButton);
        QApplication::processEvents();
    }
    void typeInto(const char* name, const QString& text) {
        enter(name);
        QTest::keyClicks(field(name), text);
    }
    // Types into the field and leaves it with Tab.
    void type(const char* name, const QString& text) {
        typeInto(name, text);
        QTest::keyClick(field(name), Qt::Key_Tab);
    }
    void tick(ResultKind kind) { QTest::mouseClick(box(kind), Qt::LeftButton); }
    void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
};

bool isFixed(const QLineEdit* f) {
    return !f->isEnabled() && f->palette().color(QPalette::Disabled, QPalette::Base) == kGrey;
}
bool isFree(const QLineEdit* f) {
    return f->isEnabled() && f->palette().color(QPalette::Active, QPalette::Base) == kWhite;
}

class StrAnalTest : public QObject {
    Q_OBJECT

  private slots:
    void opensWithTheDefaults();
    void systemsFixAndWriteTheirFields();
    void lengthInACopiesToTheTiedLengths();
    void refusedEntries_data();
    void refusedEntries();
    void focusTakenByAMessageBoxIsNotALeave();
    void realMessageBoxKeepsTheFocusInTheField();
    void leavingCRecalculatesNothingLeavingBDoes();
    void recalculateReticksOnlyTheTickedBoxes();
    void switchingTheSystemUnticksEveryBox();
    void enterButtonsParseAndComplain();
    void textbookValues();
    void resultsUseTheCellTheSystemMakes();
    void undefinedResultsAreShownAsText();
    void exitDiscardsTheWindow();
};

void StrAnalTest::opensWithTheDefaults() {
    StrAnalRig rig;
    QVERIFY(rig.show());
    QCOMPARE(rig.window.windowTitle(), QStringLiteral("Structure Analysis"));
    QStringList systems;
    for (int i = 0; i < rig.c().CMBsystem->count(); ++i) {
        systems << rig.c().CMBsystem->itemText(i);
    }
    QCOMPARE(systems, QStringList({"Cubic", "Hexagonal", "Monoclinic", "Orthorhombic", "Tetragonal",
                                   "Triclinic", "Trigonal"}));
    QCOMPARE(rig.c().CMBsystem->currentText(), QStringLiteral("Cubic"));
    for (const char* name : {"txtavalue", "txtbvalue", "txtcvalue"}) {
        QCOMPARE(rig.text(name), QStringLiteral("10 "));
    }
    for (const char* name : {"txtalpha", "txtbeta", "txtgamma"}) {
        QCOMPARE(rig.text(name), QStringLiteral("90"));
        QVERIFY(isFixed(rig.field(name)));
    }
    QVERIFY(isFree(rig.field("txtavalue")));
    QVERIFY(isFixed(rig.field("txtbvalue")));
    QVERIFY(isFixed(rig.field("txtcvalue")));
    for (const ResultKind kind : crystal::kRecalculateOrder) {
        QVERIFY(!rig.box(kind)->isChecked());
        QVERIFY(rig.box(kind)->isEnabled());
        QCOMPARE(rig.result(kind), kBlank);
    }
    QCOMPARE(rig.text("txtPlaneSpace"), QStringLiteral("1 0 0"));
    QCOMPARE(rig.text("txtPlane2"), QStringLiteral("0 1 0"));
    QCOMPARE(rig.text("txtDir2"), QStringLiteral("0 1 0"));

    // Entering a field selects its whole text, cell fields and index fields alike.
    rig.enter("txtavalue");
    QCOMPARE(rig.field("txtavalue")->selectedText(), QStringLiteral("10 "));
    rig.enter("txtDir1");
    QCOMPARE(rig.field("txtDir1")->selectedText(), QStringLiteral("1 0 0"));
}

void StrAnalTest::systemsFixAndWriteTheirFields() {
    StrAnalRig rig;
    QVERIFY(rig.show());
    QVERIFY(rig.choose(CrystalSystem::Hexagonal));
    QCOMPARE(rig.text("txtgamma"), QStringLiteral("120"));
    QVERIFY(isFixed(rig.field("txtgamma")));
    QVERIFY(isFree(rig.field("txtcvalue")));
    QVERIFY(isFixed(rig.field("txtbvalue")));

    // Trigonal keeps the angles' texts: the hexagonal 120 stays until alpha is left.
    QVERIFY(rig.choose(CrystalSystem::Trigonal));
    QCOMPARE(rig.text("txtgamma"), QStringLiteral("120"));
    QVERIFY(isFree(rig.field("txtalpha")));
    QVERIFY(isFixed(rig.field("txtcvalue")));
    rig.type("txtalpha", QStringLiteral("75"));
    QCOMPARE(rig.text("txtbeta"), QStringLiteral("75"));
    QCOMPARE(rig.text("txtgamma"), QStringLiteral("75"));

    QVERIFY(rig.choose(CrystalSystem::Triclinic));
    rig.type("txtbeta", QStringLiteral("95.5"));
    QVERIFY(rig.choose(CrystalSystem::Monoclinic));
    QCOMPARE(rig.text("txtbeta"), QStringLiteral("95.5"));
    QVERIFY(isFree(rig.field("txtbeta")));
    QCOMPARE(rig.text("txtalpha"), QStringLiteral("90"));
    QVERIFY(isFixed(rig.field("txtalpha")));
    QCOMPARE(rig.text("txtgamma"), QStringLiteral("90"));
    QCOMPARE(rig.text("txtbvalue"), QStringLiteral("10 "));
    QVERIFY(rig.services.messages().isEmpty());
}

void StrAnalTest::lengthInACopiesToTheTiedLengths() {
    StrAnalRig rig;
    QVERIFY(rig.show());
    rig.type("txtavalue", QStringLiteral("12"));
    QCOMPARE(rig.text("txtbvalue"), QStringLiteral("12"));
    QCOMPARE(rig.text("txtcvalue"), QStringLiteral("12"));

    QVERIFY(rig.choose(CrystalSystem::Tetragonal));
    rig.type("txtavalue", QStringLiteral("4"));
    QCOMPARE(rig.text("txtbvalue"), QStringLiteral("4"));
    QCOMPARE(rig.text("txtcvalue"), QStringLiteral("10 "));

    QVERIFY(rig.choose(CrystalSystem::Orthorhombic));
    rig.type("txtavalue", QStringLiteral("12"));
    QCOMPARE(rig.text("txtbvalue"), QStringLiteral("10 "));
    QCOMPARE(rig.text("txtcvalue"), QStringLiteral("10 "));
}

void StrAnalTest::refusedEntries_data() {
    QTest::addColumn<int>("system");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("textAfter");  // empty: the field was emptied
    QTest::addColumn<bool>("accepted");

    const int cubic = int(CrystalSystem::Cubic);
    const int triclinic = int(CrystalSystem::Triclinic);
    QTest::newRow("letters in a empty it") << cubic << "txtavalue"
                                           << "abc"
                                           << "" << false;
    QTest::newRow("two numbers in a") << cubic << "txtavalue"
                                      << "1 2"
                                      << "" << false;
    QTest::newRow("a with trailing blank") << cubic << "txtavalue"
                                           << "10 "
                                           << "10 " << true;
    QTest::newRow("letters in b stay") << triclinic << "txtbvalue"
                                       << "abc"
                                       << "abc" << false;
    QTest::newRow("empty c stays empty") << triclinic << "txtcvalue"
                                         << ""
                                         << "" << false;
    QTest::newRow("alpha 400 emptied") << triclinic << "txtalpha"
                                       << "400"
                                       << "" << false;
    QTest::newRow("alpha 360") << triclinic << "txtalpha"
                               << "360"
                               << "360" << true;
    QTest::newRow("alpha 90") << triclinic << "txtalpha"
                              << "90"
                              << "90" << true;
    QTest::newRow("beta 400 is not limited") << triclinic << "txtbeta"
                                             << "400"
                                             << "400" << true;
    QTest::newRow("letters in gamma stay") << triclinic << "txtgamma"
                                           << "x1"
                                           << "x1" << false;
    QTest::newRow("zero length is the results' matter") << triclinic << "txtbvalue"
                                                        << "0"
                                                        << "0" << true;
}

void StrAnalTest::refusedEntries() {
    QFETCH(int, system);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, textAfter);
    QFETCH(bool, accepted);
    StrAnalRig rig;
    QVERIFY(rig.show());
    const auto crystalSystem = static_cast<CrystalSystem>(system);
    if (crystalSystem != CrystalSystem::Cubic) {
        QVERIFY(rig.choose(crystalSystem));
    }
    const QByteArray name = field.toLatin1();
    rig.enter(name.constData());
    if (typed.isEmpty()) {
        QTest::keyClick(rig.field(name.constData()), Qt::Key_Delete);
    } else {
        QTest::keyClicks(rig.field(name.constData()), typed);
    }
    QTest::keyClick(rig.field(name.constData()), Qt::Key_Tab);

    QCOMPARE(rig.text(name.constData()), textAfter);
    QCOMPARE(rig.field(name.constData())->hasFocus(), !accepted);
    QCOMPARE(rig.services.messages(), accepted ? QStringList{} : QStringList{kInvalid});
}

void StrAnalTest::focusTakenByAMessageBoxIsNotALeave() {
    StrAnalRig rig;
    QVERIFY(rig.show());
    rig.typeInto("txtavalue", QStringLiteral("abc"));
    QLineEdit* a = rig.field("txtavalue");
    focusTakenAndGivenBack(a);
    QVERIFY(rig.services.messages().isEmpty());
    QCOMPARE(a->text(), QStringLiteral("abc"));
    QTest::keyClick(a, Qt::Key_Tab);
    QCOMPARE(rig.services.messages(), QStringList{kInvalid});
    QVERIFY(a->text().isEmpty());
}

void StrAnalTest::realMessageBoxKeepsTheFocusInTheField() {
    QtServices services;
    StrAnal window(services);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const StrAnalControls& c = window.controls();
    window.selectSystem(CrystalSystem::Triclinic);
    QStringList shown;
    QTimer answerer;
    connect(&answerer, &QTimer::timeout, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown << box->text();
            QTest::keyClick(box, Qt::Key_Return);
        }
    });
    answerer.start(20);

    QLineEdit* b = c.cellField(crystal::CellField::B);
    QLineEdit* alpha = c.cellField(crystal::CellField::Alpha);
    QTest::mouseClick(b, Qt::LeftButton);
    QApplication::processEvents();
    QTest::keyClicks(b, QStringLiteral("b?"));
    // Leaving b for alpha shows one box, for b; alpha, never really entered, is not checked.
    QTest::mouseClick(alpha, Qt::LeftButton);
    QTRY_COMPARE(shown, QStringList{kInvalid});
    QTRY_VERIFY(b->hasFocus());
    QTest::qWait(100);
    QCOMPARE(shown.size(), 1);
    QCOMPARE(b->text(), QStringLiteral("b?"));

    QTest::keyClicks(b, QStringLiteral("7"));
    QTest::keyClick(b, Qt::Key_Tab);
    QTRY_VERIFY(!b->hasFocus());
    QTest::qWait(100);
    QCOMPARE(shown.size(), 1);
}

void StrAnalTest::leavingCRecalculatesNothingLeavingBDoes() {
    StrAnalRig rig;
    QVERIFY(rig.show());
    QVERIFY(rig.choose(CrystalSystem::Orthorhombic));
    rig.tick(ResultKind::Volume);
    QCOMPARE(rig.result(ResultKind::Volume), QStringLiteral("1000.00"));
    rig.type("txtcvalue", QStringLiteral("20"));
    QCOMPARE(rig.result(ResultKind::Volume), QStringLiteral("1000.00"));
    QVERIFY(rig.c().Mh3dRecalc->isEnabled());
    rig.type("txtbvalue", QStringLiteral("20"));
    QCOMPARE(rig.result(ResultKind::Volume), QStringLiteral("4000.00"));

    // Enter in a field recalculates without leaving it; the text need not be left first.
    rig.typeInto("txtcvalue", QStringLiteral("30"));
    QTest::keyClick(rig.field("txtcvalue"), Qt::Key_Return);
    QCOMPARE(rig.result(ResultKind::Volume), QStringLiteral("6000.00"));
    QVERIFY(rig.field("txtcvalue")->hasFocus());
    QVERIFY(rig.services.messages().isEmpty());
}

void StrAnalTest::recalculateReticksOnlyTheTickedBoxes() {
    StrAnalRig rig;
    QVERIFY(rig.show());
    rig.tick(ResultKind::Volume);
    rig.tick(ResultKind::DirectionAngle);
    QCOMPARE(rig.result(ResultKind::DirectionAngle), QStringLiteral("90.00"));
    // Typed but not left: only Recalculate brings the new a to the shown volume.
    rig.typeInto("txtavalue", QStringLiteral("2"));
    QCOMPARE(rig.result(ResultKind::Volume), QStringLiteral("1000.00"));
    rig.click(rig.c().Mh3dRecalc);
    QCOMPARE(rig.result(ResultKind::Volume), QStringLiteral("8.00"));
    QCOMPARE(rig.result(ResultKind::DirectionAngle), QStringLiteral("90.00"));
    for (const ResultKind kind : {ResultKind::PlaneSpacing, ResultKind::InterplanarAngle}) {
        QVERIFY(!rig.box(kind)->isChecked());
        QCOMPARE(rig.result(kind), kBlank);
    }
    // Unticking blanks the result.
    rig.tick(ResultKind::Volume);
    QCOMPARE(rig.result(ResultKind::Volume), kBlank);
}

void StrAnalTest::switchingTheSystemUnticksEveryBox() {
    StrAnalRig rig;
    QVERIFY(rig.show());
    for (const ResultKind kind : crystal::kRecalculateOrder) {
        rig.tick(kind);
        QVERIFY(rig.result(kind).trimmed().size() > 0);
    }
    QVERIFY(rig.choose(CrystalSystem::Hexagonal));
    for (const ResultKind kind : crystal::kRecalculateOrder) {
        QVERIFY(!rig.box(kind)->isChecked());
        QCOMPARE(rig.result(kind), kBlank);
    }
}

void StrAnalTest::enterButtonsParseAndComplain() {
    StrAnalRig rig;
    QVERIFY(rig.show());
    rig.tick(ResultKind::PlaneSpacing);
    QCOMPARE(rig.result(ResultKind::PlaneSpacing), QStringLiteral("10.00"));
    // An edited plane counts only after its "Enter".
    rig.typeInto("txtPlaneSpace", QStringLiteral("1 1 0"));
    rig.tick(ResultKind::PlaneSpacing);
    rig.tick(ResultKind::PlaneSpacing);
    QCOMPARE(rig.result(ResultKind::PlaneSpacing), QStringLiteral("10.00"));
    rig.click(rig.c().CmdPlaneSpace);
    QCOMPARE(rig.result(ResultKind::PlaneSpacing), QStringLiteral("7.07"));

    // Two blanks after the first index: refused, the shown spacing stays.
    rig.typeInto("txtPlaneSpace", QStringLiteral("1  1 1"));
    rig.click(rig.c().CmdPlaneSpace);
    QCOMPARE(rig.services.messages(), QStringList{"Incorrect Miller plane"});
    QCOMPARE(rig.result(ResultKind::PlaneSpacing), QStringLiteral("7.07"));

    // The interplanar "Enter" parses but does not recompute; ticking parses the texts.
    rig.tick(ResultKind::InterplanarAngle);
    QCOMPARE(rig.result(ResultKind::InterplanarAngle), QStringLiteral("90.00"));
    rig.typeInto("txtPlane2", QStringLiteral("1 1 0"));
    rig.click(rig.c().Cmdinterangle);
    QCOMPARE(rig.result(ResultKind::InterplanarAngle), QStringLiteral("90.00"));
    rig.click(rig.c().Mh3dRecalc);
    QCOMPARE(rig.result(ResultKind::InterplanarAngle), QStringLiteral("45.00"));
    rig.typeInto("txtPlane2", QStringLiteral("1,0,0"));
    rig.click(rig.c().Cmdinterangle);
    QCOMPARE(rig.services.messages().size(), 2);
    QCOMPARE(rig.services.messages().last(), QStringLiteral("Incorrect or coplanar Miller planes"));
    rig.click(rig.c().Mh3dRecalc);  // the tick parses again: one more message
    QCOMPARE(rig.services.messages().size(), 3);
    QCOMPARE(rig.services.messages().last(), QStringLiteral("Incorrect or coplanar Miller planes"));

    // Directions never fail: "1 1" is [1 0 1], at 45 degrees to [1 0 0] in a cube.
    rig.typeInto("txtDir2", QStringLiteral("1 1"));
    rig.click(rig.c().CmdMillerAngle);
    rig.tick(ResultKind::DirectionAngle);
    QCOMPARE(rig.result(ResultKind::DirectionAngle), QStringLiteral("45.00"));
    QCOMPARE(rig.services.messages().size(), 3);
}

void StrAnalTest::textbookValues() {
    StrAnalRig rig;
    QVERIFY(rig.show());
    // Silicon, a = 5.431 Angstroms: d(111) = a / sqrt(3) = 3.1356.
    rig.type("txtavalue", QStringLiteral("5.431"));
    rig.typeInto("txtPlaneSpace", QStringLiteral("1 1 1"));
    rig.click(rig.c().CmdPlaneSpace);
    rig.tick(ResultKind::PlaneSpacing);
    QCOMPARE(rig.result(ResultKind::PlaneSpacing), QStringLiteral("3.14"));
    // (111) and (100): arccos(1/sqrt(3)) = 54.7356 degrees.
    rig.typeInto("txtPlane1", QStringLiteral("1 1 1"));
    rig.typeInto("txtPlane2", QStringLiteral("1 0 0"));
    rig.tick(ResultKind::InterplanarAngle);
    QCOMPARE(rig.result(ResultKind::InterplanarAngle), QStringLiteral("54.74"));
    // a^3 = 160.19 cubic Angstroms.
    rig.tick(ResultKind::Volume);
    QCOMPARE(rig.result(ResultKind::Volume), QStringLiteral("160.19"));

    // Hexagonal a = c = 10: 0.866 * 100 * 10.
    QVERIFY(rig.choose(CrystalSystem::Hexagonal));
    rig.tick(ResultKind::Volume);
    QCOMPARE(rig.result(ResultKind::Volume), QStringLiteral("866.00"));
}

void StrAnalTest::resultsUseTheCellTheSystemMakes() {
    StrAnalRig rig;
    QVERIFY(rig.show());
    // Cubic: b and c still show 5.431 while a, not yet left, says 10.
    rig.type("txtavalue", QStringLiteral("5.431"));
    rig.typeInto("txtDir1", QStringLiteral("1 1 1"));
    rig.typeInto("txtDir2", QStringLiteral("1 1 0"));
    rig.click(rig.c().CmdMillerAngle);
    rig.tick(ResultKind::DirectionAngle);
    rig.tick(ResultKind::Volume);
    rig.typeInto("txtavalue", QStringLiteral("10"));
    QTest::keyClick(rig.field("txtavalue"), Qt::Key_Return);
    QCOMPARE(rig.text("txtbvalue"), QStringLiteral("5.431"));
    QCOMPARE(rig.result(ResultKind::Volume), QStringLiteral("1000.00"));
    QCOMPARE(rig.result(ResultKind::DirectionAngle), QStringLiteral("35.26"));  // of a cube

    // Hexagonal, then Trigonal with alpha 90: gamma still shows 120; the cell is a cube.
    QVERIFY(rig.choose(CrystalSystem::Hexagonal));
    QVERIFY(rig.choose(CrystalSystem::Trigonal));
    QCOMPARE(rig.text("txtgamma"), QStringLiteral("120"));
    rig.typeInto("txtDir1", QStringLiteral("1 0 0"));
    rig.typeInto("txtDir2", QStringLiteral("0 1 0"));
    rig.click(rig.c().CmdMillerAngle);
    rig.tick(ResultKind::DirectionAngle);
    rig.tick(ResultKind::Volume);
    QCOMPARE(rig.result(ResultKind::DirectionAngle), QStringLiteral("90.00"));
    QCOMPARE(rig.result(ResultKind::Volume), QStringLiteral("1000.00"));
}

void StrAnalTest::undefinedResultsAreShownAsText() {
    StrAnalRig rig;
    QVERIFY(rig.show());
    rig.typeInto("txtPlaneSpace", QStringLiteral("0.5 0 0"));  // rounds to (0 0 0)
    rig.click(rig.c().CmdPlaneSpace);
    rig.tick(ResultKind::PlaneSpacing);
    // Parallel planes have an angle: 0 degrees.
    rig.typeInto("txtPlane2", QStringLiteral("2 0 0"));
    rig.tick(ResultKind::InterplanarAngle);
    QCOMPARE(rig.result(ResultKind::InterplanarAngle), QStringLiteral("0.00"));
    rig.typeInto("txtDir2", QStringLiteral("0 0 0"));
    rig.click(rig.c().CmdMillerAngle);
    rig.tick(ResultKind::DirectionAngle);
    rig.type("txtavalue", QStringLiteral("0"));
    rig.tick(ResultKind::Volume);

    for (const ResultKind kind :
         {ResultKind::PlaneSpacing, ResultKind::DirectionAngle, ResultKind::Volume}) {
        const QLabel* label = rig.c().resultLabel(kind);
        QVERIFY2(label->text().startsWith(QStringLiteral("undefined: ")),
                 qPrintable(label->text()));
        QVERIFY(!label->text().contains(QStringLiteral("nan"), Qt::CaseInsensitive));
        QVERIFY(!label->text().contains(QStringLiteral("inf"), Qt::CaseInsensitive));
        // The reason is readable in full: the window widened for it.
        QTRY_VERIFY(label->width() >= label->sizeHint().width());
    }
    QVERIFY(rig.services.messages().isEmpty());
}

void StrAnalTest::exitDiscardsTheWindow() {
    ScriptedServices services;
    Shell shell(services);
    shell.start();
    MenuForm& menu = shell.menuForm();
    QVERIFY(QTest::qWaitForWindowExposed(&menu));
    const auto pressVantrell = [&menu] {
        QWidget* button = menu.toolbar()->widgetForAction(menu.button(QStringLiteral("Vantrell")));
        QTest::mouseClick(button, Qt::LeftButton);
        return menu.findChild<StrAnal*>(QStringLiteral("StrAnal"));
    };

    QPointer<StrAnal> first = pressVantrell();
    QVERIFY(first != nullptr);
    QVERIFY(QTest::qWaitForWindowActive(first));
    QCOMPARE(QApplication::activeModalWidget(), first.data());
    first->selectSystem(CrystalSystem::Hexagonal);
    first->controls().txtPlaneSpace->setText(QStringLiteral("1 1 1"));
    first->controls().resultBox(ResultKind::Volume)->setChecked(true);
    QTest::mouseClick(first->controls().Command1, Qt::LeftButton);
    QTRY_VERIFY(first == nullptr);
    QVERIFY(menu.isVisible());

    StrAnal* second = pressVantrell();
    QVERIFY(second != nullptr);
    QVERIFY(QTest::qWaitForWindowActive(second));
    QCOMPARE(second->system(), CrystalSystem::Cubic);
    QCOMPARE(second->controls().cellField(crystal::CellField::Gamma)->text(), QStringLiteral("90"));
    QCOMPARE(second->controls().txtPlaneSpace->text(), QStringLiteral("1 0 0"));
    QVERIFY(!second->controls().resultBox(ResultKind::Volume)->isChecked());
    second->close();
    QTRY_VERIFY(menu.findChild<StrAnal*>() == nullptr);
}

}  // namespace

int runStrAnalTests(int argc, char** argv) {
    StrAnalTest test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace lamivex::app::test

#include "str_anal_test.moc"
