#pragma once
// What the windows ask of the window system and the printer. Windows call these and
// nothing else for message boxes, dialogs, the printer, the busy pointer, stay-on-top
// placement and event delivery, so that tests can answer them from a script.

#include <optional>

#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

namespace lamivex::app {

// A file dialog filter as the commands write it: a description and a pattern joined by a
// vertical bar, several pairs in a row ("Epitaxy Files (*.epi)|*.epi").
struct FileDialogRequest {
    QString filter;
    QString initialName;  // "*.epi" style names only preset the pattern
    // A save dialog asks before an existing file is chosen; off where the command asks
    // itself, so that the user is asked once.
    bool confirmOverwrite = true;
};

enum class Answer { Yes, No };

// The size of an exported figure as its dialog asks for it.
struct FigureRequest {
    double widthMm = 160;
    double heightMm = 120;
    double dpi = 144;  // of a PNG
    double fontPt = 10;
    bool withFontSize = true;  // off for a picture without text to size
};

class Services {
  public:
    virtual ~Services() = default;

    // Modal message box with an OK button.
    virtual void message(QWidget* parent, const QString& text) = 0;
    // Modal question with Yes and No buttons; Enter gives defaultAnswer. Questions whose
    // Yes deletes or overwrites something default to No.
    virtual Answer question(QWidget* parent, const QString& text, Answer defaultAnswer) = 0;

    // A line of text typed into a small modal box with OK and Cancel; nullopt when cancelled.
    virtual std::optional<QString> textInput(QWidget* parent, const QString& title,
                                             const QString& label, const QString& initial) = 0;

    // The size and resolution of a figure about to be exported; nullopt when cancelled.
    virtual std::optional<FigureRequest> figureSize(QWidget* parent,
                                                    const FigureRequest& initial) = 0;

    // The chosen file name, or an empty string when the dialog was cancelled.
    virtual QString openFileName(QWidget* parent, const FileDialogRequest& request) = 0;
    virtual QString saveFileName(QWidget* parent, const FileDialogRequest& request) = 0;

    // The current printer with its current settings, or nullptr when there is none.
    // The services keep ownership.
    virtual QPrinter* printer() = 0;

    // Hourglass pointer on or back to the default; calls nest.
    virtual void setBusy(bool busy) = 0;

    // Keeps a window above all others, or takes that back, without moving or resizing it.
    virtual void keepAbove(QWidget* window, bool above) = 0;

    // Moves a window that is about to be shown beside anchor (the window it belongs to) and
    // clear of the other windows shown, inside the screen's available area. A window shown
    // again stays where it was (where the user may have put it) unless it now covers
    // another window or leaves the screen.
    virtual void placeBeside(QWidget* window, QWidget* anchor) = 0;

    // Lets the window system deliver what is pending (clicks, repaints) and returns.
    virtual void deliverPendingEvents() = 0;
};

// Qt's own name filters from a filter text: "Epitaxy Files (*.epi)|*.epi" gives
// "Epitaxy Files (*.epi)"; a description without its pattern gets it appended.
[[nodiscard]] QStringList qtNameFilters(const QString& filter);

}  // namespace lamivex::app
