#pragma once
// The help window: where the step-by-step instructions (the user manual) are found, with a
// button that opens them.

#include <memory>

#include <QString>
#include <QWidget>

class QPushButton;

namespace lamivex::app {

class ManualViewer;

class HelpForm : public QWidget {
    Q_OBJECT

  public:
    // programDir is the folder of the running program; the manual is looked for beside it.
    explicit HelpForm(const QString& programDir, QWidget* parent = nullptr);
    explicit HelpForm(QWidget* parent = nullptr);
    ~HelpForm() override;

    // The manual installed with a program in programDir (PREFIX/bin ->
    // PREFIX/share/doc/lamivex/manual.md; the build tree has the same layout), or an empty
    // string when it is not there.
    [[nodiscard]] static QString manualPath(const QString& programDir);
    // What the window shows as the instructions' address: the manual's path, or where to
    // find the manual in the source folder when no manual lies beside the program.
    [[nodiscard]] static QString instructionsAddress(const QString& programDir);
    [[nodiscard]] static QString instructionsAddress();

    [[nodiscard]] ManualViewer* manualViewer() const { return m_viewer.get(); }

  public slots:
    void openManual();

  private:
    QString m_manual;
    QPushButton* m_open = nullptr;
    std::unique_ptr<ManualViewer> m_viewer;
};

}  // namespace lamivex::app
