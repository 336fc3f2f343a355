#pragma once
// Shows the user manual (Markdown with its pictures) inside the program, so reading it needs
// no other application.

#include <QString>
#include <QWidget>

class QTextBrowser;
class QUrl;

namespace lamivex::app {

class ManualViewer : public QWidget {
    Q_OBJECT

  public:
    explicit ManualViewer(const QString& manualFile, QWidget* parent = nullptr);

    [[nodiscard]] QTextBrowser* browser() const { return m_browser; }

  private:
    void pageShown(const QUrl& source);

    QTextBrowser* m_browser = nullptr;
};

}  // namespace lamivex::app
