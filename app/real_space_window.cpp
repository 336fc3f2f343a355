#include "app/real_space_window.h"

#include <fmt/format.h>

#include "app/qt_support.h"
#include "numbers/number_text.h"
#include "output/view_pictures.h"

namespace lamivex::app {

RealSpaceWindow::RealSpaceWindow(Services& services, QWidget* parent)
    : ViewWindow(services, QStringLiteral("RealSpace"), QStringLiteral("Real space"),
                 QStringLiteral("The real-space picture"), parent) {}

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
