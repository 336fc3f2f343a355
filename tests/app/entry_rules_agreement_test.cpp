// The window and the command line give the same verdict on every entry rule: a text the
// field refuses with its message is refused by lamivex-cli (exit status 2), and a text the
// field accepts runs.

#include <QProcess>

#include "app/iteration_binding.h"
#include "app/iteration_window.h"
#include "tests/app/test_suites.h"

namespace lamivex::app::test {
namespace {

using iteration::Constant;
using Column = Iteration::Column;

// A quick run wherever the option under test is not one of these.
const QStringList kQuickRun = {QStringLiteral("--m"),       QStringLiteral("2"),
                               QStringLiteral("--n"),       QStringLiteral("2"),
                               QStringLiteral("--spacing"), QStringLiteral("1")};

int cliStatus(const QString& command, const QStringList& arguments) {
    QStringList all = {command};
    for (int i = 0; i < kQuickRun.size(); i += 2) {
        if (!arguments.contains(kQuickRun[i])) {
            all << kQuickRun[i] << kQuickRun[i + 1];
        }
    }
    all << arguments;
    QProcess cli;
    cli.start(QStringLiteral(LAMIVEX_CLI), all);
    if (!cli.waitForFinished(30000)) {
        return -1;
    }
    return cli.exitCode();
}

class EntryRulesAgreementTest : public QObject {
    Q_OBJECT

  private slots:
    void mainWindowFields_data();
    void mainWindowFields();
    void iterationWindowFields_data();
    void iterationWindowFields();
};

void EntryRulesAgreementTest::mainWindowFields_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    const struct {
        const char* field;
        const char* option;
        const char* text;
        bool accepted;
    } kCases[] = {
        {"a1", "--a1", "2.8853", true},
        {"a1", "--a1", "5.4x", false},
        {"a2", "--a2", "", false},
        {"a2", "--a2", "1e39", false},
        {"alpha", "--alpha", "-359.9", true},
        {"alpha", "--alpha", "360", false},
        {"alpha", "--alpha", "-360", false},
        {"beta", "--beta", "400", false},
        {"b1", "--b1", "2", true},
        {"b1", "--b1", "1e39", false},
        {"b2", "--b2", "abc", false},
        {"Lowerangle", "--lower", "-10", true},
        {"Lowerangle", "--lower", "x", false},
        {"Upperangle", "--upper", "0", true},
        {"Upperangle", "--upper", "-5", false},
        {"AngleSpacing", "--spacing", "0.5", true},
        {"AngleSpacing", "--spacing", "1,5", false},
        {"b1size", "--m", "2.5", true},
        {"b1size", "--m", "40000", false},
        {"b2size", "--n", "", false},
        {"txtUplim", "--max-multiple", "2", true},
        {"txtUplim", "--max-multiple", "two", false},
        {"SubName", "--substrate-name", "Cu(111)", true},
    };
    for (const auto& c : kCases) {
        QTest::addRow("%s %s", c.field, c.text)
            << QString::fromLatin1(c.field) << QString::fromLatin1(c.option)
            << QString::fromLatin1(c.text) << c.accepted;
    }
}

void EntryRulesAgreementTest::mainWindowFields() {
    QFETCH(QString, field);
    QFETCH(QString, option);
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    MainFormRig rig;
    QVERIFY(rig.show());
    if (field == QLatin1String("txtUplim")) {
        QTest::mouseClick(rig.form.controls().chkgeo, Qt::LeftButton);
    }
    rig.type(field.toLatin1().constData(), text);
    const bool windowAccepted = !rig.services.messages().contains(QStringLiteral("Invalid data"));
    QCOMPARE(windowAccepted, accepted);
    QCOMPARE(cliStatus(QStringLiteral("scan"), {option, text}), accepted ? 0 : 2);
}

void EntryRulesAgreementTest::iterationWindowFields_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("from");  // written into the row's From field first
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");  // empty: accepted
    QTest::addColumn<QStringList>("cli");
    const auto row = [](Constant c) { return static_cast<int>(c); };
    const auto column = [](Column c) { return static_cast<int>(c); };
    QTest::newRow("To below From") << row(Constant::b1) << column(Column::To) << "5"
                                   << "4"
                                   << "Invalid range" << QStringList{"--b1-range", "5:4:0.1"};
    QTest::newRow("To equal to From") << row(Constant::b1) << column(Column::To) << "5"
                                      << "5"
                                      << "" << QStringList{"--b1-range", "5:5:0.1"};
    QTest::newRow("Increment not a number")
        << row(Constant::b2) << column(Column::Increment) << "9"
        << "abc"
        << "Invalid data" << QStringList{"--b2-range", "9:11:abc"};
    QTest::newRow("From out of range")
        << row(Constant::beta) << column(Column::From) << "80"
        << "1e39"
        << "Invalid data" << QStringList{"--beta-range", "1e39:90:1"};
    QTest::newRow("criterion") << -1 << 0 << ""
                               << "low"
                               << "Invalid data"
                               << QStringList{"--b1-range", "9:11:1", "--criterion", "low"};
}

void EntryRulesAgreementTest::iterationWindowFields() {
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, from);
    QFETCH(QString, text);
    QFETCH(QString, message);
    QFETCH(QStringList, cli);
    MainFormRig rig;
    QVERIFY(rig.show());
    QTest::mouseClick(rig.form.controls().Option2, Qt::LeftButton, {},
                      QPoint(8, rig.form.controls().Option2->height() / 2));
    Iteration& window = rig.form.iteration().iterationWindow();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QLineEdit* f = window.itercrit();
    if (row >= 0) {
        const auto c = static_cast<Constant>(row);
        window.field(c, Column::From)->setText(from);
        f = window.field(c, static_cast<Column>(column));
    }
    QTest::mouseClick(f, Qt::LeftButton);
    QApplication::processEvents();
    QTest::keyClick(f, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(f, text);
    QTest::keyClick(f, Qt::Key_Tab);
    QCOMPARE(rig.services.messages().isEmpty() ? QString() : rig.services.messages().back(),
             message);
    QCOMPARE(cliStatus(QStringLiteral("iterate"), cli), message.isEmpty() ? 0 : 2);
}

}  // namespace

int runEntryRulesAgreementTests(int argc, char** argv) {
    EntryRulesAgreementTest test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace lamivex::app::test

#include "entry_rules_agreement_test.moc"
