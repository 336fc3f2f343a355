// The main window's defaults and the entry rules of its fields, driven by mouse and keys.

#include <QFocusEvent>
#include <QMessageBox>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "app/cover_shape.h"
#include "app/field_rules.h"
#include "app/qt_services.h"
#include "app/rotation_done.h"
#include "focus_support.h"
#include "tests/app/test_suites.h"

namespace lamivex::app::test {
namespace {

const QString kInvalid = QStringLiteral("Invalid data");

class FieldRulesTest : public QObject {
    Q_OBJECT

  private slots:
    void loadWritesTheDefaults();
    void entrySelectsTheWholeText();
    void leavingChecksTheField_data();
    void leavingChecksTheField();
    void refusalRestoresTheValueReadOnEntry_data();
    void refusalRestoresTheValueReadOnEntry();
    void upperBoundIsCheckedAgainstTheCurrentLowerBound();
    void focusTakenByAnotherWindowIsNotALeave();
    void onlyTheFieldLeftIsChecked();
    void realMessageBoxLeavesTheRulesIntact();
};

void FieldRulesTest::loadWritesTheDefaults() {
    MainFormRig rig;
    QVERIFY(rig.show());
    const QList<std::pair<const char*, const char*>> expected = {
        {"a1", "10"},
        {"a2", "10"},
        {"alpha", "90"},
        {"b1", "10"},
        {"b2", "10"},
        {"beta", "90"},
        {"Lowerangle", "0"},
        {"Upperangle", "60"},
        {"AngleSpacing", "0.25"},
        {"b1size", "25"},
        {"b2size", "25"},
        {"SubName", "Substrate"},
        {"OverName", "Overlayer"},
        {"txtUplim", "4"},
    };
    for (const auto& [name, value] : expected) {
        QCOMPARE(rig.text(name), QString::fromLatin1(value));
    }
    const MainFormControls& c = rig.form.controls();
    QVERIFY(c.nonhexagonal->isChecked());
    QVERIFY(!c.hexagonal->isChecked());
    QVERIFY(c.Option1->isChecked());
    QVERIFY(c.Check1->isChecked());
    QVERIFY(!c.chkgeo->isChecked());
    QVERIFY(!c.GraphShow->isEnabled());
    QVERIFY(!c.imgHisto->isEnabled());
    QCOMPARE(c.Shape1->fillStyle(), CoverShape::kCrossHatched);
    QVERIFY(!c.Command1->isEnabled());
    QVERIFY(!c.mnuPrint->isEnabled());
    QVERIFY(c.VVo->text().isEmpty());
    QVERIFY(!rig.form.rotationDone().isVisible());
    QCOMPARE(rig.state.SelectionCriterion, 0.8);
    QCOMPARE(rig.state.SubstrateName, std::string("Substrate"));
    QCOMPARE(rig.state.CalcSettings.b2Size, int16_t{25});
    QCOMPARE(rig.state.best.BestVVo, 0.0);
}

void FieldRulesTest::entrySelectsTheWholeText() {
    MainFormRig rig;
    QVERIFY(rig.show());
    // The window's first focus is an entry too.
    QVERIFY(rig.field("SubName")->hasFocus());
    QCOMPARE(rig.field("SubName")->selectedText(), QStringLiteral("Substrate"));
    rig.enter("a1");
    QCOMPARE(rig.field("a1")->selectedText(), QStringLiteral("10"));
    QTest::keyClick(rig.field("a1"), Qt::Key_Tab);
    QVERIFY(rig.field("a2")->hasFocus());
    QCOMPARE(rig.field("a2")->selectedText(), QStringLiteral("10"));
    rig.enter("SubName");
    QCOMPARE(rig.field("SubName")->selectedText(), QStringLiteral("Substrate"));
}

void FieldRulesTest::leavingChecksTheField_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("textAfter");  // the typed text when accepted
    QTest::addColumn<bool>("accepted");

    QTest::newRow("alpha 360") << "alpha"
                               << "360"
                               << "90" << false;
    QTest::newRow("alpha -360") << "alpha"
                                << "-360"
                                << "90" << false;
    QTest::newRow("alpha -359.9") << "alpha"
                                  << "-359.9"
                                  << "-359.9" << true;
    QTest::newRow("beta not numeric before the 360 test") << "beta"
                                                          << "abc"
                                                          << "90" << false;
    QTest::newRow("a1 empty") << "a1"
                              << ""
                              << "10" << false;
    QTest::newRow("a1 exponent") << "a1"
                                 << "2.5e1"
                                 << "2.5e1" << true;
    QTest::newRow("b2 zero is the run's to refuse") << "b2"
                                                    << "0"
                                                    << "0" << true;
    QTest::newRow("b1 beyond a single") << "b1"
                                        << "1e39"
                                        << "10" << false;
    QTest::newRow("spacing with blanks") << "AngleSpacing"
                                         << " 0.5 "
                                         << " 0.5 " << true;
    // The value read on entry comes back in the general number format.
    QTest::newRow("spacing comma") << "AngleSpacing"
                                   << "0,5"
                                   << ".25" << false;
    QTest::newRow("lower above upper") << "Lowerangle"
                                       << "70"
                                       << "70" << true;
    QTest::newRow("upper equal to lower") << "Upperangle"
                                          << "0"
                                          << "0" << true;
    QTest::newRow("upper below lower") << "Upperangle"
                                       << "-0.5"
                                       << "60" << false;
    QTest::newRow("b1size 2.5") << "b1size"
                                << "2.5"
                                << "2.5" << true;
    QTest::newRow("b2size negative") << "b2size"
                                     << "-3"
                                     << "-3" << true;
    QTest::newRow("b1size beyond 16 bits") << "b1size"
                                           << "32768"
                                           << "25" << false;
    QTest::newRow("txtUplim not numeric") << "txtUplim"
                                          << "two"
                                          << "4" << false;
    QTest::newRow("name empty") << "SubName"
                                << ""
                                << "" << true;
    QTest::newRow("name any text") << "OverName"
                                   << "Ag(111) 3x3"
                                   << "Ag(111) 3x3" << true;
}

void FieldRulesTest::leavingChecksTheField() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, textAfter);
    QFETCH(bool, accepted);
    MainFormRig rig;
    QVERIFY(rig.show());
    const QByteArray name = field.toLatin1();

    rig.type(name.constData(), typed);

    QCOMPARE(rig.text(name.constData()), textAfter);
    QLineEdit* f = rig.field(name.constData());
    if (accepted) {
        QVERIFY(rig.services.messages().isEmpty());
        QVERIFY(!f->hasFocus());
    } else {
        QCOMPARE(rig.services.messages(), QStringList{kInvalid});
        QVERIFY(f->hasFocus());
        // The restored value is selected again, ready to be typed over.
        QCOMPARE(f->selectedText(), textAfter);
    }
}

void FieldRulesTest::refusalRestoresTheValueReadOnEntry_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("first");     // accepted on the first visit
    QTest::addColumn<QString>("restored");  // what a refusal on the next visit brings back

    QTest::newRow("b1size 2.5 is remembered as 2") << "b1size"
                                                   << "2.5"
                                                   << "2";
    QTest::newRow("b2size 3.5 is remembered as 4") << "b2size"
                                                   << "3.5"
                                                   << "4";
    QTest::newRow("txtUplim -2.5 is remembered as -2") << "txtUplim"
                                                       << "-2.5"
                                                       << "-2";
    QTest::newRow("a1 is remembered as a single") << "a1"
                                                  << "10.000"
                                                  << "10";
    QTest::newRow("beta rounds to 7 digits") << "beta"
                                             << "60.123456789"
                                             << "60.12346";
    QTest::newRow("Upperangle as a single") << "Upperangle"
                                            << "45.50"
                                            << "45.5";
    QTest::newRow("Lowerangle keeps its text") << "Lowerangle"
                                               << "0.50"
                                               << "0.50";
}

void FieldRulesTest::refusalRestoresTheValueReadOnEntry() {
    QFETCH(QString, field);
    QFETCH(QString, first);
    QFETCH(QString, restored);
    MainFormRig rig;
    QVERIFY(rig.show());
    const QByteArray name = field.toLatin1();

    rig.type(name.constData(), first);
    QCOMPARE(rig.text(name.constData()), first);
    rig.type(name.constData(), QStringLiteral("x"));

    QCOMPARE(rig.services.messages(), QStringList{kInvalid});
    QCOMPARE(rig.text(name.constData()), restored);
    QCOMPARE(rig.form.fieldRules().entryValue(), restored);
}

void FieldRulesTest::upperBoundIsCheckedAgainstTheCurrentLowerBound() {
    MainFormRig rig;
    QVERIFY(rig.show());
    rig.type("Lowerangle", QStringLiteral("70"));
    QVERIFY(rig.services.messages().isEmpty());

    // Passing through the upper bound unchanged now fails: 60 is below 70.
    rig.enter("Upperangle");
    QTest::keyClick(rig.field("Upperangle"), Qt::Key_Tab);
    QCOMPARE(rig.services.messages(), QStringList{kInvalid});
    QVERIFY(rig.field("Upperangle")->hasFocus());
    QCOMPARE(rig.text("Upperangle"), QStringLiteral("60"));

    rig.replace("Upperangle", QStringLiteral("70"));
    QTest::keyClick(rig.field("Upperangle"), Qt::Key_Tab);
    QCOMPARE(rig.services.messages().size(), 1);
    QVERIFY(rig.field("AngleSpacing")->hasFocus());
}

void FieldRulesTest::focusTakenByAnotherWindowIsNotALeave() {
    MainFormRig rig;
    QVERIFY(rig.show());
    rig.enter("alpha");
    rig.replace("alpha", QStringLiteral("400"));
    QLineEdit* alpha = rig.field("alpha");

    // What a message box or a menu does to the field: it comes back still being edited.
    focusTakenAndGivenBack(alpha);
    QVERIFY(rig.services.messages().isEmpty());
    QCOMPARE(alpha->text(), QStringLiteral("400"));

    QTest::keyClick(alpha, Qt::Key_Tab);
    QCOMPARE(rig.services.messages(), QStringList{kInvalid});
    QCOMPARE(alpha->text(), QStringLiteral("90"));
}

void FieldRulesTest::onlyTheFieldLeftIsChecked() {
    MainFormRig rig;
    QVERIFY(rig.show());
    // Upperangle would now be refused if it were checked without being entered.
    rig.enter("Lowerangle");
    rig.replace("Lowerangle", QStringLiteral("80"));
    rig.enter("a1");
    rig.replace("a1", QStringLiteral("abc"));
    QVERIFY(rig.services.messages().isEmpty());
    QTest::mouseClick(rig.field("Upperangle"), Qt::LeftButton);
    QApplication::processEvents();

    QCOMPARE(rig.services.messages(), QStringList{kInvalid});
    QCOMPARE(rig.text("a1"), QStringLiteral("10"));
    QVERIFY(rig.field("a1")->hasFocus());
    QCOMPARE(rig.text("Upperangle"), QStringLiteral("60"));
    QCOMPARE(rig.form.fieldRules().entryValue(), QStringLiteral("10"));
}

void FieldRulesTest::realMessageBoxLeavesTheRulesIntact() {
    // The desktop services: a modal box takes the focus and gives it back.
    QtServices services;
    AppState state;
    MainForm form(state, services);
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    const auto field = [&form](const char* name) {
        return form.findChild<QLineEdit*>(QString::fromLatin1(name));
    };

    QStringList shown;
    QTimer answerer;
    connect(&answerer, &QTimer::timeout, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown << box->text();
            QTest::keyClick(box, Qt::Key_Return);
        }
    });
    answerer.start(20);

    QTest::mouseClick(field("Lowerangle"), Qt::LeftButton);
    QApplication::processEvents();
    QTest::keyClicks(field("Lowerangle"), QStringLiteral("80"));
    QTest::mouseClick(field("a1"), Qt::LeftButton);
    QApplication::processEvents();
    QTest::keyClicks(field("a1"), QStringLiteral("abc"));
    QVERIFY(shown.isEmpty());

    // Leaving a1 for Upperangle (60, now below the lower bound) shows one box, for a1.
    QTest::mouseClick(field("Upperangle"), Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTRY_VERIFY(field("a1")->hasFocus());
    QTest::qWait(100);
    QCOMPARE(shown, QStringList{kInvalid});
    QCOMPARE(field("a1")->text(), QStringLiteral("10"));
    QCOMPARE(field("Upperangle")->text(), QStringLiteral("60"));
    QCOMPARE(form.fieldRules().entryValue(), QStringLiteral("10"));

    // The field is still checked on its next real leave.
    QTest::keyClicks(field("a1"), QStringLiteral("x"));
    QTest::keyClick(field("a1"), Qt::Key_Tab);
    QTRY_COMPARE(shown.size(), 2);
    QTRY_VERIFY(field("a1")->hasFocus());
    QCOMPARE(field("a1")->text(), QStringLiteral("10"));
}

}  // namespace

int runFieldRulesTests(int argc, char** argv) {
    FieldRulesTest test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace lamivex::app::test

#include "field_rules_test.moc"
