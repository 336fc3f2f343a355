#include "app/view_window.h"

#include <cmath>

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/printout_commands.h"
#include "app/qt_support.h"
#include "app/view_canvas.h"
#include "app/window_keys.h"
#include "output/view_pictures.h"

namespace lamivex::app {

ViewWindow::ViewWindow(Services& services, const QString& objectName, const QString& title,
                       const QString& what, QWidget* parent)
    : QWidget(parent, Qt::Window), m_services(services), m_what(what), m_title(title) {
    setObjectName(objectName);
    setWindowTitle(title);
    setAttribute(Qt::WA_ShowWithoutActivating);

    m_earlierNote = new QLabel(QStringLiteral("Earlier run: the main window's lattices or "
                                              "settings have changed since this run."),
                               this);
    m_earlierNote->setObjectName(QStringLiteral("lblEarlierRun"));
    m_earlierNote->setStyleSheet(QStringLiteral("color: #a00000; font-weight: bold;"));
    m_earlierNote->setWordWrap(true);
    m_earlierNote->hide();

    m_line = new QLabel(this);
    m_line->setObjectName(QStringLiteral("lblSubject"));
    m_line->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A hexagonal substrate's line is long: it wraps rather than widening the window past the
    // screen's edge.
    m_line->setWordWrap(true);
    m_canvas = new ViewCanvas(this);
    m_canvas->setObjectName(QStringLiteral("picView"));
    m_canvas->setToolTip(QStringLiteral("The mouse wheel zooms in and out"));
    m_controls = new QVBoxLayout;

    const auto button = [this](const char* name, const QString& text, const QString& tip) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* exportButton = button("cmdExport", QStringLiteral("&Export…"),
                                       QStringLiteral("Save the picture as PNG, SVG or PDF"));
    QPushButton* print =
        button("cmdPrint", QStringLiteral("&Print"), QStringLiteral("Print the picture"));
    QPushButton* closeButton = button("cmdClose", QStringLiteral("&Close"), QString());
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(exportButton);
    buttons->addWidget(print);
    buttons->addStretch();
    buttons->addWidget(closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_earlierNote);
    layout->addWidget(m_line);
    layout->addWidget(m_canvas, 1);
    layout->addLayout(m_controls);
    layout->addLayout(buttons);

    connect(exportButton, &QPushButton::clicked, this, &ViewWindow::exportPicture);
    connect(print, &QPushButton::clicked, this, &ViewWindow::printPicture);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(m_canvas, &ViewCanvas::zoomBy, this,
            [this](double factor) { setZoom(zoomedBy(m_zoom, factor)); });
    // No default button: Enter belongs to the window's fields (the LEED energy), never to
    // Close.
    auto* keys = new WindowKeys(this);
    keys->setEscape([this] { close(); });
    // NOLINTNEXTLINE(clang-analyzer-cplusplus.NewDeleteLeaks): keys is the window's child
    checkFieldsBeforeAccessKeys(this);
}

void ViewWindow::showSubject(const views::ViewSubject& subject) {
    m_subject = subject;
    m_hasSubject = true;
    updateTitle();
    redraw();
}

void ViewWindow::setEarlierRun(bool earlier) {
    m_earlierRun = earlier;
    m_earlierNote->setVisible(earlier);
    updateTitle();
}

void ViewWindow::updateTitle() {
    QString title = m_title;
    if (m_hasSubject) {
        title += QStringLiteral(": ") + QString::fromStdString(views::subjectTitle(m_subject));
    }
    if (m_earlierRun) {
        title += QStringLiteral(" (earlier run)");
    }
    setWindowTitle(title);
}

const output::DisplayList& ViewWindow::picture() const {
    return m_canvas->picture();
}

void ViewWindow::setZoom(double zoom) {
    if (zoom != m_zoom) {
        m_zoom = zoom;
        redraw();
    }
}

void ViewWindow::redraw() {
    if (!m_hasSubject) {
        return;
    }
    BusyPointer busy(m_services);
    Drawn drawn = draw(m_subject, m_zoom);
    m_line->setText(drawn.line);
    m_canvas->show(std::move(drawn.picture));
}

void ViewWindow::exportPicture() {
    if (m_hasSubject) {
        // The picture as it is on the screen, at the size asked for, in its own proportions.
        const output::DisplayList& shown = picture();
        const output::CoordinateSystem& cs = shown.coordinates;
        FigureRequest size;
        size.heightMm = size.widthMm * std::fabs(cs.height() / cs.width());
        size.withFontSize = false;
        PrintoutCommands(m_services, this, m_what)
            .exportFigure([&shown](const output::FigureStyle&) { return shown; }, size,
                          windowTitle(), true);
    }
}

void ViewWindow::printPicture() {
    if (m_hasSubject) {
        PrintoutCommands(m_services, this, m_what)
            .print({output::viewPrintPage(picture())}, QStringLiteral("Lamivex ") + windowTitle());
    }
}

}  // namespace lamivex::app
