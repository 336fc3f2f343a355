#include "app/real_space_window.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <fmt/format.h>

#include "app/qt_support.h"
#include "numbers/number_text.h"
#include "output/view_pictures.h"

namespace lamivex::app {

RealSpaceWindow::RealSpaceWindow(Services& services, QWidget* parent)
    : ViewWindow(services, QStringLiteral("RealSpace"), QStringLiteral("Real space"),
                 QStringLiteral("The real-space picture"), parent) {
    const auto button = [this](const char* name, const QString& text, const QString& tip) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* whole = button("cmdWholeDomain", QStringLiteral("&Whole domain"),
                                QStringLiteral("Show the whole domain of the run"));
    QPushButton* origin = button("cmdOriginCells", QStringLiteral("&Origin cells"),
                                 QStringLiteral("Show the few cells around the origin"));
    connect(whole, &QPushButton::clicked, this, [this] { setZoom(1); });
    connect(origin, &QPushButton::clicked, this,
            [this] { setZoom(output::realSpaceOpeningZoom(m_scene)); });
    auto* row = new QHBoxLayout;
    row->addWidget(whole);
    row->addWidget(origin);
    row->addStretch();
    controlsArea()->addLayout(row);
}

void RealSpaceWindow::showEvent(QShowEvent* event) {
    ViewWindow::showEvent(event);
    // A window that opens shows a few cells one can read, not thousands of dots.
    if (!event->spontaneous() && hasSubject()) {
        setZoom(output::realSpaceOpeningZoom(m_scene));
    }
}

ViewWindow::Drawn RealSpaceWindow::draw(const views::ViewSubject& subject, double zoom) {
    m_scene =
        views::realSpaceScene(subject.substrate(), subject.overlayer(), subject.realSpaceOptions());
    const std::string angle = numbers::formatFixed2(subject.lattices.angle);
    std::string line = fmt::format("Azimuth {}°", angle);
    if (m_scene.hasSupercell) {
        line += fmt::format(", supercell {} b1 × {} b2", subject.b1Multiple, subject.b2Multiple);
    }
    line += fmt::format("; largest registry distance {:.3f} substrate spacings",
                        m_scene.largestRegistry);
    if (m_scene.cropped) {
        line += " (the middle of the domain)";
    }
    return {output::realSpacePicture(m_scene, {zoom, fmt::format("Real space at {}°", angle)}),
            qs(line)};
}

}  // namespace lamivex::app
