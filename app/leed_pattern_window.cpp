#include "app/leed_pattern_window.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include <fmt/format.h>

#include "app/qt_support.h"
#include "numbers/number_text.h"
#include "output/view_pictures.h"

namespace lamivex::app {

LeedPatternWindow::LeedPatternWindow(Services& services, QWidget* parent)
    : ViewWindow(services, QStringLiteral("LeedPattern"), QStringLiteral("LEED pattern"),
                 QStringLiteral("The LEED pattern"), parent) {
    m_energy = new QSpinBox(this);
    m_energy->setObjectName(QStringLiteral("spinEnergy"));
    m_energy->setRange(10, 500);
    m_energy->setValue(static_cast<int>(views::kDefaultEnergyEv));
    m_energy->setSuffix(QStringLiteral(" eV"));
    m_energy->setToolTip(
        QStringLiteral("Electron energy: the screen shows the spots with "
                       "|G| up to the electron's wave vector"));
    auto* energyLabel = new QLabel(QStringLiteral("E&nergy"), this);
    energyLabel->setBuddy(m_energy);
    const auto box = [this](const char* name, const QString& text, bool checked) {
        auto* b = new QCheckBox(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setChecked(checked);
        connect(b, &QCheckBox::toggled, this, [this] { redraw(); });
        return b;
    };
    m_allDomains = box("chkAllDomains", QStringLiteral("All &domains"), true);
    m_mirrors = box("chkMirror", QStringLiteral("&Mirror domains"), true);
    m_multiple = box("chkMultiple", QStringLiteral("Double di&ffraction"), false);
    m_oneColour = box("chkOneColour", QStringLiteral("&One colour"), false);
    connect(m_allDomains, &QCheckBox::toggled, m_mirrors, &QWidget::setEnabled);
    connect(m_energy, &QSpinBox::valueChanged, this, [this] { redraw(); });

    auto* row = new QHBoxLayout;
    row->addWidget(energyLabel);
    row->addWidget(m_energy);
    for (QCheckBox* b : {m_allDomains, m_mirrors, m_multiple, m_oneColour}) {
        row->addWidget(b);
    }
    row->addStretch();
    controlsArea()->addLayout(row);
}

ViewWindow::Drawn LeedPatternWindow::draw(const views::ViewSubject& subject, double zoom) {
    views::LeedOptions options;
    options.energyEv = m_energy->value();
    options.allDomains = m_allDomains->isChecked();
    options.mirrors = m_mirrors->isChecked();
    options.multipleScattering = m_multiple->isChecked();
    try {
        m_pattern = views::leedPattern(subject.substrate(), subject.overlayer(), options);
    } catch (const std::invalid_argument& e) {
        // Too many spots at this energy: say so and show none rather than stall.
        m_pattern = {};
        return {{}, qs(e.what())};
    }
    const std::string angle = numbers::formatFixed2(subject.lattices.angle);
    const std::size_t orientations =
        options.allDomains ? views::orientationCount(subject.substrate(), options.mirrors) : 1;
    const std::string line = fmt::format(
        "Azimuth {}°, {} substrate; {} orientations of the cell, {} distinct {}; k0 = {:.3f} Å⁻¹",
        angle, views::kindName(m_pattern.group.kind), orientations, m_pattern.domains.size(),
        m_pattern.domains.size() == 1 ? "domain" : "domains", m_pattern.k0);
    output::LeedPictureOptions picture;
    picture.zoom = zoom;
    picture.caption = fmt::format("LEED at {}°, {} eV", angle, m_energy->value());
    picture.oneColour = m_oneColour->isChecked();
    return {output::leedPicture(m_pattern, picture), qs(line)};
}

}  // namespace lamivex::app
