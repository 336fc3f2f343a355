// Save and Print of a run: the report file against the output library's writer, cancel,
// failed saves that keep the old file, the printout on a printer, and the PDF offered when
// there is no printer.

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <string>

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>

#include "app/rotation_done.h"
#include "engine/capture.h"
#include "engine/rotation_scan.h"
#include "output/report_file.h"
#include "tests/app/test_suites.h"

namespace lamivex::app::test {
namespace {

// The report the output library writes for the same scan run directly on the engine,
// with the fields as given and today's date.
std::string engineReport(const engine::MainFieldTexts& fields) {
    const engine::CapturedRun run = engine::captureRun(fields);
    engine::ScanResults results;
    engine::BestOrientation best;
    engine::runRotationScan(engine::scanInputsFrom(run), results, best);
    const engine::AngleBestTable table = engine::buildAngleBestTable(results);
    engine::fillAngleMinVVo(results, table);
    output::ReportInputs in;
    in.fields = fields;
    in.capturedB1 = run.overlayer.b1;
    in.capturedB2 = run.overlayer.b2;
    in.best = best;
    in.azimuthAngles = results.AzimuthAngles;
    in.angleBestTable = table;
    in.angleMinVVo = results.AngleMinVVo;
    in.date = output::today();
    std::ostringstream out;
    output::writeReport(out, in);
    return out.str();
}

std::string fileText(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const QString& path, const std::string& text) {
    std::ofstream(path.toStdString(), std::ios::binary) << text;
}

// Line n (1-based) of a CR LF text.
std::string lineOf(const std::string& text, int n) {
    std::size_t start = 0;
    for (int i = 1; i < n; ++i) {
        start = text.find("\r\n", start) + 2;
    }
    return text.substr(start, text.find("\r\n", start) - start);
}

// The text pdftotext finds on each page (empty when it cannot read the file).
QStringList pdfPages(const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        return {};
    }
    QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\f'));
    pages.removeLast();  // after the last page's form feed
    return pages;
}

int pagesWith(const QStringList& pages, const QString& text) {
    int count = 0;
    for (const QString& page : pages) {
        count += page.contains(text) ? 1 : 0;
    }
    return count;
}

// The silver-on-hexagonal search of the report file's golden example.
void enterGeometricHexagonalRun(MainFormRig& rig) {
    rig.type("SubName", QStringLiteral("Ag(111)"));
    rig.type("a1", QStringLiteral("2.889"));
    rig.type("a2", QStringLiteral("2.889"));
    rig.type("alpha", QStringLiteral("60"));
    QTest::mouseClick(rig.form.controls().hexagonal, Qt::LeftButton);
    rig.type("OverName", QStringLiteral("test layer"));
    rig.type("b1", QStringLiteral("5.0039"));
    rig.type("b2", QStringLiteral("5.0039"));
    rig.type("beta", QStringLiteral("60"));
    rig.type("b1size", QStringLiteral("3"));
    rig.type("b2size", QStringLiteral("3"));
    rig.type("Lowerangle", QStringLiteral("29"));
    rig.type("Upperangle", QStringLiteral("30"));
    QTest::mouseClick(rig.form.controls().chkgeo, Qt::LeftButton);
    rig.type("txtUplim", QStringLiteral("2"));
}

void tickGeometricSearch(MainFormRig& rig, const QString& maxMultiple) {
    QTest::mouseClick(rig.form.controls().chkgeo, Qt::LeftButton);
    rig.type("txtUplim", maxMultiple);
}

// While it lives, no file of the process may grow past limit bytes: a disk that is full.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t limit) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);  // a failed write, not a signal
        rlimit reduced = m_saved;
        reduced.rlim_cur = limit;
        m_active = setrlimit(RLIMIT_FSIZE, &reduced) == 0;
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    [[nodiscard]] bool active() const { return m_active; }

  private:
    rlimit m_saved{};
    void (*m_previousHandler)(int) = nullptr;
    bool m_active = false;
};

class ReportCommandsTest : public QObject {
    Q_OBJECT

  private slots:
    void saveWritesTheReportOfTheRun();
    void cancelledSaveWritesNothing();
    void failedSaveSaysWhyAndKeepsTheOldFile();
    void saveIntoAProtectedFolder();
    void saveAfterAnAbortedRunReportsTheCompletedRun();
    void printWithoutPrinterOffersAPdf();
    void printOnThePrinterDiffersByCommand();
};

void ReportCommandsTest::saveWritesTheReportOfTheRun() {
    MainFormRig rig;
    QVERIFY(rig.show());
    enterGeometricHexagonalRun(rig);
    QVERIFY(rig.services.messages().isEmpty());
    rig.clickCalculate();
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("run.epi"));

    rig.services.clearRecord();
    rig.services.queueFileName(path);
    QTest::mouseClick(rig.form.controls().Command1, Qt::LeftButton);

    QCOMPARE(rig.services.dialogs().size(), std::size_t{1});
    QCOMPARE(rig.services.dialogs().front().filter, QStringLiteral("Epitaxy Files (*.epi)|*.epi"));
    QCOMPARE(rig.services.dialogs().front().initialName, QStringLiteral("*.epi"));
    QVERIFY(rig.services.messages().isEmpty());
    QCOMPARE(rig.services.busyCalls(), 2);  // on for the save, then off
    QCOMPARE(rig.services.busyDepth(), 0);
    const std::string first = fileText(path);
    QCOMPARE(first, engineReport(rig.form.fieldTexts()));
    QCOMPARE(lineOf(first, 5), std::string(" SUBSTRATE : Ag(111)"));
    QCOMPARE(lineOf(first, 15), std::string("Searched for geometric solutions up to 2"));

    // Saved again from the menu after a1 changed: the header shows the field as it is now,
    // b1 and b2 still the run's, and the old file is replaced.
    rig.type("a1", QStringLiteral("3"));
    rig.services.queueFileName(path);
    rig.form.controls().mnuSave->trigger();
    const std::string second = fileText(path);
    QCOMPARE(lineOf(second, 6), std::string("        a1 :   3.00 Angstroms"));
    QCOMPARE(lineOf(second, 11), std::string("        b1 :   5.00 Angstroms"));
    QCOMPARE(second.substr(second.find(" a2 :")), first.substr(first.find(" a2 :")));
    QVERIFY(rig.services.messages().isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void ReportCommandsTest::cancelledSaveWritesNothing() {
    MainFormRig rig;
    QVERIFY(rig.show());
    rig.clickCalculate();
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    rig.services.clearRecord();

    QTest::mouseClick(rig.form.controls().Command1, Qt::LeftButton);  // cancelled
    // A dialog that hands back its initial name unchanged was cancelled too.
    rig.services.queueFileName(QStringLiteral("*.epi"));
    rig.form.controls().mnuSave->trigger();

    QVERIFY(QDir::setCurrent(previous));
    QCOMPARE(rig.services.dialogs().size(), std::size_t{2});
    QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    QVERIFY(rig.services.messages().isEmpty());
    QCOMPARE(rig.services.busyCalls(), 0);
}

void ReportCommandsTest::failedSaveSaysWhyAndKeepsTheOldFile() {
    MainFormRig rig;
    QVERIFY(rig.show());
    rig.clickCalculate();
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    rig.services.clearRecord();

    // A folder that is not there.
    rig.services.queueFileName(dir.filePath(QStringLiteral("missing/run.epi")));
    QTest::mouseClick(rig.form.controls().Command1, Qt::LeftButton);
    QCOMPARE(rig.services.messages().size(), 1);
    QVERIFY2(rig.services.messages().front().contains(QStringLiteral("not saved")) &&
                 rig.services.messages().front().contains(QStringLiteral("No such file")),
             qPrintable(rig.services.messages().front()));
    QCOMPARE(rig.services.busyDepth(), 0);

    // A disk that fills up while the report is written: the earlier report stays whole.
    const QString path = dir.filePath(QStringLiteral("run.epi"));
    const std::string old = "an earlier report\r\n";
    writeFile(path, old);
    rig.services.queueFileName(path);
    {
        const FileSizeLimit fullDisk(1000);  // the report is some 15 kB
        QVERIFY(fullDisk.active());
        QTest::mouseClick(rig.form.controls().Command1, Qt::LeftButton);
    }
    QCOMPARE(rig.services.messages().size(), 2);
    QVERIFY2(rig.services.messages().back().contains(QStringLiteral("disk full")),
             qPrintable(rig.services.messages().back()));
    QCOMPARE(fileText(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    QCOMPARE(rig.services.busyDepth(), 0);
}

void ReportCommandsTest::saveIntoAProtectedFolder() {
    if (geteuid() == 0) {
        QSKIP("folder permissions do not bind the superuser");
    }
    MainFormRig rig;
    QVERIFY(rig.show());
    rig.clickCalculate();
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("run.epi"));
    const std::string old = "an earlier report\r\n";
    writeFile(path, old);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    rig.services.queueFileName(path);
    QTest::mouseClick(rig.form.controls().Command1, Qt::LeftButton);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(rig.services.messages().size(), 1);
    QVERIFY(rig.services.messages().front().contains(QStringLiteral("Permission denied")));
    QCOMPARE(fileText(path), old);
}

void ReportCommandsTest::saveAfterAnAbortedRunReportsTheCompletedRun() {
    MainFormRig rig;
    QVERIFY(rig.show());
    rig.clickCalculate();
    const std::string completed = engineReport(rig.form.fieldTexts());
    QVERIFY(QTest::qWaitForWindowActive(&rig.form));

    // A longer run with other lattices, aborted after its first pass.
    rig.type("b1", QStringLiteral("7"));
    rig.type("Upperangle", QStringLiteral("30"));
    tickGeometricSearch(rig, QStringLiteral("2"));
    rig.services.setDeliverHook([&](int call) {
        if (call == 2) {
            QTest::mouseClick(rig.form.rotationDone().abortButton(), Qt::LeftButton);
        }
    });
    rig.clickCalculate();
    QVERIFY(rig.state.AbortRequested);
    QVERIFY(rig.form.controls().Command1->isEnabled());

    // The header shows the fields now; everything from the run is the completed run's.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("run.epi"));
    rig.services.queueFileName(path);
    QTest::mouseClick(rig.form.controls().Command1, Qt::LeftButton);
    QVERIFY(rig.services.messages().isEmpty());
    const std::string saved = fileText(path);
    QCOMPARE(lineOf(saved, 11), lineOf(completed, 11));
    QCOMPARE(lineOf(saved, 19), std::string("Upper angle bound :   30.00 degrees"));
    QCOMPARE(saved.substr(saved.find("        TRANSFORMATION")),
             completed.substr(completed.find("        TRANSFORMATION")));
}

void ReportCommandsTest::printWithoutPrinterOffersAPdf() {
    MainFormRig rig;
    QVERIFY(rig.show());
    tickGeometricSearch(rig, QStringLiteral("1"));
    rig.clickCalculate();
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    rig.services.clearRecord();

    // 0..60 by 0.25 with the search ticked: the header page and five pages of graph data.
    const QString searched = dir.filePath(QStringLiteral("searched.pdf"));
    rig.services.queueAnswer(Answer::Yes);
    rig.services.queueFileName(searched);
    QTest::mouseClick(rig.form.controls().Command4, Qt::LeftButton);
    QCOMPARE(rig.services.questions().size(), 1);
    QVERIFY2(rig.services.questions().front().contains(QStringLiteral("No printer")) &&
                 rig.services.questions().front().contains(QStringLiteral("PDF")),
             qPrintable(rig.services.questions().front()));
    QCOMPARE(rig.services.dialogs().size(), std::size_t{1});
    QCOMPARE(rig.services.dialogs().front().filter, QStringLiteral("PDF Files (*.pdf)|*.pdf"));
    QVERIFY(rig.services.messages().isEmpty());
    QCOMPARE(rig.services.busyDepth(), 0);
    const QStringList pages = pdfPages(searched);
    QCOMPARE(pages.size(), 6);
    QCOMPARE(pagesWith(pages, QStringLiteral("GRAPH DATA:")), 5);
    QVERIFY(!pages.front().contains(QStringLiteral("GRAPH DATA:")));
    QVERIFY(pages.front().contains(QStringLiteral("Searched for geometric solutions up to 1")));

    // Printed with the search clear: header and graph only.
    QTest::mouseClick(rig.form.controls().chkgeo, Qt::LeftButton);
    const QString plain = dir.filePath(QStringLiteral("plain.pdf"));
    rig.services.queueAnswer(Answer::Yes);
    rig.services.queueFileName(plain);
    rig.form.controls().mnuPrint->trigger();
    const QStringList plainPages = pdfPages(plain);
    QCOMPARE(plainPages.size(), 1);
    QCOMPARE(pagesWith(plainPages, QStringLiteral("GRAPH DATA:")), 0);
    QVERIFY(plainPages.front().contains(QStringLiteral("(Not searching for geometric solutions)")));

    // Answered No: no dialog, no file, nothing more said.
    rig.services.clearRecord();
    rig.services.queueAnswer(Answer::No);
    QTest::mouseClick(rig.form.controls().Command4, Qt::LeftButton);
    QCOMPARE(rig.services.questions().size(), 1);
    QVERIFY(rig.services.dialogs().empty());
    QVERIFY(rig.services.messages().isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    QCOMPARE(rig.services.busyDepth(), 0);
}

void ReportCommandsTest::printOnThePrinterDiffersByCommand() {
    MainFormRig rig;
    QVERIFY(rig.show());
    tickGeometricSearch(rig, QStringLiteral("2"));
    rig.clickCalculate();
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A printer that prints into a PDF file, so the printout can be read back.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    rig.services.setPrinter(&printer);
    rig.services.clearRecord();

    const QString button = dir.filePath(QStringLiteral("button.pdf"));
    printer.setOutputFileName(button);
    QTest::mouseClick(rig.form.controls().Command4, Qt::LeftButton);
    const QString menu = dir.filePath(QStringLiteral("menu.pdf"));
    printer.setOutputFileName(menu);
    rig.form.controls().mnuPrint->trigger();

    QVERIFY(rig.services.questions().isEmpty());
    QVERIFY(rig.services.messages().isEmpty());
    QCOMPARE(rig.services.busyCalls(), 4);
    QCOMPARE(rig.services.busyDepth(), 0);
    const QStringList byButton = pdfPages(button);
    const QStringList byMenu = pdfPages(menu);
    QCOMPARE(byButton.size(), 6);
    QCOMPARE(byMenu.size(), 6);
    QVERIFY(byButton.front().contains(QStringLiteral("Searched for geometric solutions up to 2")));
    QVERIFY(!byButton.front().contains(QStringLiteral("maximum multiple")));
    QVERIFY(byMenu.front().contains(QStringLiteral("maximum multiple = 2")));
    QVERIFY(!byMenu.front().contains(QStringLiteral("solutions up to")));
    QCOMPARE(byButton.mid(1), byMenu.mid(1));

    // A printer that cannot start is no printer: the PDF is offered.
    printer.setOutputFileName(dir.filePath(QStringLiteral("missing/x.pdf")));
    QTest::mouseClick(rig.form.controls().Command4, Qt::LeftButton);
    QCOMPARE(rig.services.questions().size(), 1);
    QVERIFY2(rig.services.questions().front().contains(QStringLiteral("could not be started")),
             qPrintable(rig.services.questions().front()));
    QCOMPARE(rig.services.busyDepth(), 0);
}

}  // namespace

int runReportCommandsTests(int argc, char** argv) {
    ReportCommandsTest test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace lamivex::app::test

#include "report_commands_test.moc"
