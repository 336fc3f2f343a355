// The help window: it names the manual that lies beside the program and opens it.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBrowser>

#include "app/help_form.h"
#include "app/manual_viewer.h"
#include "tests/app/test_suites.h"

namespace lamivex::app::test {
namespace {

// An installed layout PREFIX/bin and PREFIX/share/doc/lamivex with a manual and one picture.
struct InstalledLayout {
    QTemporaryDir prefix;
    QString bin() const { return prefix.filePath(QStringLiteral("bin")); }
    QString docs() const { return prefix.filePath(QStringLiteral("share/doc/lamivex")); }

    bool make(bool withManual) {
        if (!prefix.isValid() || !QDir().mkpath(bin())) {
            return false;
        }
        if (!withManual) {
            return true;
        }
        if (!QDir().mkpath(docs() + QStringLiteral("/images"))) {
            return false;
        }
        QImage picture(8, 6, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QFile manual(docs() + QStringLiteral("/manual.md"));
        return picture.save(docs() + QStringLiteral("/images/window.png")) &&
               manual.open(QIODevice::WriteOnly) &&
               manual.write(
                   "# Lamivex manual\n\nThe main window:\n\n"
                   "![Main window](images/window.png)\n") > 0;
    }
};

QString addressShown(const HelpForm& help) {
    const auto* address = help.findChild<QLabel*>(QStringLiteral("Label3"));
    return address != nullptr ? address->text() : QString();
}

class HelpFormTest : public QObject {
    Q_OBJECT

  private slots:
    void namesAndOpensTheInstalledManual();
    void withoutAManualPointsToTheSourceFolder();
    void enterAndEscapeCloseTheWindow();
    void theBuiltProgramFindsItsManual();
    void linksToSectionsScrollThere();
};

void HelpFormTest::namesAndOpensTheInstalledManual() {
    InstalledLayout layout;
    QVERIFY(layout.make(true));
    HelpForm help(layout.bin());
    const QString manual =
        QFileInfo(layout.docs() + QStringLiteral("/manual.md")).absoluteFilePath();
    QCOMPARE(HelpForm::manualPath(layout.bin()), manual);
    QCOMPARE(addressShown(help), QDir::toNativeSeparators(manual));

    auto* open = help.findChild<QPushButton*>(QStringLiteral("cmdManual"));
    QVERIFY(open != nullptr);
    QVERIFY(open->isEnabled());
    QTest::mouseClick(open, Qt::LeftButton);
    ManualViewer* viewer = help.manualViewer();
    QVERIFY(viewer != nullptr);
    QVERIFY(viewer->isVisible());
    // The Markdown is rendered, not shown as source, and its picture is found beside it.
    const QString shown = viewer->browser()->toPlainText();
    QVERIFY2(shown.startsWith(QStringLiteral("Lamivex manual")), qPrintable(shown));
    QVERIFY(!shown.contains(QStringLiteral("![")));
    const QVariant picture = viewer->browser()->document()->resource(
        QTextDocument::ImageResource, QUrl(QStringLiteral("images/window.png")));
    QVERIFY(picture.isValid());
    QCOMPARE(picture.value<QImage>().size(), QSize(8, 6));
    viewer->hide();
}

void HelpFormTest::withoutAManualPointsToTheSourceFolder() {
    InstalledLayout layout;
    QVERIFY(layout.make(false));
    HelpForm help(layout.bin());
    QVERIFY(HelpForm::manualPath(layout.bin()).isEmpty());
    QCOMPARE(addressShown(help), QStringLiteral("docs/manual.md in the Lamivex source folder"));
    auto* open = help.findChild<QPushButton*>(QStringLiteral("cmdManual"));
    QVERIFY(open != nullptr);
    QVERIFY(!open->isEnabled());
    help.openManual();
    QVERIFY(help.manualViewer() == nullptr);
}

void HelpFormTest::enterAndEscapeCloseTheWindow() {
    InstalledLayout layout;
    QVERIFY(layout.make(true));
    HelpForm help(layout.bin());
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        help.show();
        help.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&help));
        QTest::keyClick(QApplication::focusWidget() != nullptr ? QApplication::focusWidget()
                                                               : static_cast<QWidget*>(&help),
                        key);
        QVERIFY2(!help.isVisible(), key == Qt::Key_Escape ? "Escape" : "Enter");
    }
    QVERIFY(help.manualViewer() == nullptr);
}

void HelpFormTest::theBuiltProgramFindsItsManual() {
    // The build tree copies the manual beside the program as installing does.
    const QString programDir = QFileInfo(QStringLiteral(LAMIVEX_BINARY)).absolutePath();
    const QString manual = HelpForm::manualPath(programDir);
    QVERIFY2(!manual.isEmpty(), qPrintable(programDir));
    QVERIFY(QFileInfo::exists(QFileInfo(manual).absolutePath() +
                              QStringLiteral("/images/MainForm.png")));
}

void HelpFormTest::linksToSectionsScrollThere() {
    InstalledLayout layout;
    QVERIFY(layout.make(false));
    QVERIFY(QDir().mkpath(layout.docs()));
    QFile manual(layout.docs() + QStringLiteral("/manual.md"));
    QVERIFY(manual.open(QIODevice::WriteOnly));
    QByteArray text = "# Manual\n\n[Last part](#the-last-part-a--b)\n\n";
    for (int i = 0; i < 200; ++i) {
        text += "Line " + QByteArray::number(i) + "\n\n";
    }
    text += "## The last part: (a) & b\n\nEnd.\n";
    QVERIFY(manual.write(text) > 0);
    manual.close();

    HelpForm help(layout.bin());
    help.openManual();
    ManualViewer* viewer = help.manualViewer();
    QVERIFY(viewer != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(viewer));
    QScrollBar* bar = viewer->browser()->verticalScrollBar();
    QCOMPARE(bar->value(), 0);
    QVERIFY(bar->maximum() > 0);  // laid out, as when the reader clicks
    // What a click on the link does: the address resolved against the page shown.
    QTextBrowser* browser = viewer->browser();
    browser->setSource(browser->source().resolved(QUrl(QStringLiteral("#the-last-part-a--b"))));
    QVERIFY2(bar->value() > bar->maximum() / 2, qPrintable(QString::number(bar->value())));
    // Back to the top and down again, now that the headings have their names.
    browser->setSource(browser->source().resolved(QUrl(QStringLiteral("#manual"))));
    QVERIFY2(bar->value() < bar->maximum() / 10, qPrintable(QString::number(bar->value())));
    browser->setSource(browser->source().resolved(QUrl(QStringLiteral("#the-last-part-a--b"))));
    QVERIFY2(bar->value() > bar->maximum() / 2, qPrintable(QString::number(bar->value())));
    viewer->hide();
}

}  // namespace

int runHelpFormTests(int argc, char** argv) {
    HelpFormTest test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace lamivex::app::test

#include "help_form_test.moc"
