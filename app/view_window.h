#pragma once
// What the two view windows share: a line naming what is shown, the picture with its zoom,
// and Export…, Print and Close, through the services as the other windows print and save.

#include <QWidget>

#include "output/display_list.h"
#include "views/view_subject.h"

class QLabel;
class QPushButton;
class QVBoxLayout;

namespace lamivex::app {

class Services;
class ViewCanvas;

class ViewWindow : public QWidget {
    Q_OBJECT

  public:
    // objectName and title as the window is known; what names the picture in messages and
    // as the print job ("The LEED pattern").
    ViewWindow(Services& services, const QString& objectName, const QString& title,
               const QString& what, QWidget* parent = nullptr);

    // Shows subject: the picture is computed and drawn again, and the title names the
    // lattices and the angle.
    void showSubject(const views::ViewSubject& subject);
    // Whether the main window's fields no longer hold the inputs of the run shown: the title
    // and a note above the picture say so.
    void setEarlierRun(bool earlier);
    [[nodiscard]] bool showsEarlierRun() const { return m_earlierRun; }
    [[nodiscard]] bool hasSubject() const { return m_hasSubject; }
    [[nodiscard]] const views::ViewSubject& subject() const { return m_subject; }
    [[nodiscard]] const output::DisplayList& picture() const;
    [[nodiscard]] double zoom() const { return m_zoom; }
    void setZoom(double zoom);

    // NOLINTNEXTLINE(readability-redundant-access-specifiers): Qt's slots section
  public slots:
    void exportPicture();
    void printPicture();

  protected:
    // The picture of the subject at the zoom, and the line above it.
    struct Drawn {
        output::DisplayList picture;
        QString line;
    };
    [[nodiscard]] virtual Drawn draw(const views::ViewSubject& subject, double zoom) = 0;
    // Draws again with the current subject, after a control of the window changed.
    void redraw();
    // The place for a window's own controls, above the buttons.
    [[nodiscard]] QVBoxLayout* controlsArea() const { return m_controls; }
    [[nodiscard]] Services& services() const { return m_services; }

  private:
    void updateTitle();

    Services& m_services;
    QString m_what;
    QString m_title;
    QLabel* m_earlierNote;
    QLabel* m_line;
    ViewCanvas* m_canvas;
    QVBoxLayout* m_controls;
    views::ViewSubject m_subject;
    bool m_hasSubject = false;
    bool m_earlierRun = false;
    double m_zoom = 1;
};

}  // namespace lamivex::app
