#include "app/leed_pattern_window.h"

#include <cmath>
#include <filesystem>
#include <initializer_list>

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include <fmt/format.h>

#include "app/qt_support.h"
#include "app/view_canvas.h"
#include "fit/image_levels.h"
#include "fit/spot_finder.h"
#include "numbers/number_text.h"
#include "output/view_pictures.h"
#include "render/display_list_painter.h"
#include "render/grey_image_reader.h"

namespace lamivex::app {
namespace {

// Canvas pixels: a press that moves further is a drag, and a click this near a spot is on it.
constexpr double kClickSlop = 4;
constexpr double kSpotTolerance = 6;
// The contrast slider: the quantile at and above which the image is white, in thousandths.
constexpr int kContrastLowest = 900;
constexpr int kContrastDefault = 999;

bool sameSubstrate(const engine::SubstrateCell& a, const engine::SubstrateCell& b) {
    return a.a1 == b.a1 && a.a2 == b.a2 && a.alpha == b.alpha;
}

// The cell with its standard uncertainties on one line; the residual and the cell's name on
// the next.
std::string fitSummary(const fit::LeedFit& f) {
    std::string meaning = "no commensurate cell within the uncertainties";
    if (!f.candidates.empty()) {
        const fit::CommensurateCandidate& c = f.candidates.front();
        meaning = c.name.value_or(fmt::format("commensurate, matrix ({} {} {} {})", c.matrix.m11,
                                              c.matrix.m12, c.matrix.m21, c.matrix.m22));
    }
    return fmt::format(
        "b1 = {:.4f} ± {:.4f} Å, b2 = {:.4f} ± {:.4f} Å, beta = {:.2f} ± {:.2f}°, azimuth = "
        "{:.2f} ± {:.2f}°\nRMS residual {:.3g} Å⁻¹ ({:.2g} pixels); {}",
        f.cell.b1, f.sigma.b1, f.cell.b2, f.sigma.b2, f.cell.beta, f.sigma.beta, f.cell.azimuth,
        f.sigma.azimuth, f.rmsResidual, f.rmsResidualScreen, meaning);
}

}  // namespace

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
    buildImageControls();
}

void LeedPatternWindow::buildImageControls() {
    const auto button = [this](const char* name, const QString& text, const QString& tip) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        b->setAutoDefault(false);
        return b;
    };
    m_loadImage = button("cmdLoadImage", QStringLiteral("Load ima&ge…"),
                         QStringLiteral("Show a measured LEED image (PNG, JPEG or TIFF) under "
                                        "the pattern"));
    m_findSpots = button("cmdFindSpots", QStringLiteral("Find &spots"),
                         QStringLiteral("Find the image's spots; then a click on the picture "
                                        "adds a spot or takes one away"));
    m_fitSpots = button("cmdFitSpots", QStringLiteral("F&it"),
                        QStringLiteral("Fit the overlayer's cell and all its domains to the "
                                       "spots, with the substrate shown"));
    m_useCell = button("cmdUseCell", QStringLiteral("&Use this cell"),
                       QStringLiteral("The fitted cell and an azimuth range around it into "
                                      "the main window's fields"));

    const auto field = [this](const char* name, double lowest, double highest, int decimals,
                              const QString& tip) {
        auto* f = new QDoubleSpinBox(this);
        f->setObjectName(QString::fromLatin1(name));
        f->setRange(lowest, highest);
        f->setDecimals(decimals);
        f->setToolTip(tip);
        f->setKeyboardTracking(false);
        connect(f, &QDoubleSpinBox::valueChanged, this, [this] { redraw(); });
        return f;
    };
    m_centreX = field("spinCentreX", -9999.99, 9999.99, 2,
                      QStringLiteral("The (0,0) spot on the image, pixels from the left; a drag "
                                     "on the picture moves it"));
    m_centreY = field("spinCentreY", -9999.99, 9999.99, 2,
                      QStringLiteral("The (0,0) spot on the image, pixels from the top"));
    m_scale = field("spinScale", 0.001, 9999.999, 3, QStringLiteral("Image pixels per 1/Å"));
    m_rotation = field("spinRotation", -180, 180, 2,
                       QStringLiteral("The direction of the substrate's a1 on the image, "
                                      "degrees counter-clockwise"));
    m_rotation->setWrapping(true);
    m_contrast = new QSlider(Qt::Horizontal, this);
    m_contrast->setObjectName(QStringLiteral("sldContrast"));
    m_contrast->setRange(kContrastLowest, 1000);
    m_contrast->setValue(kContrastDefault);
    m_contrast->setToolTip(
        QStringLiteral("Contrast: the brightest share of the image shown white, from 10 % "
                       "(left) to none (right)"));
    connect(m_contrast, &QSlider::valueChanged, this, [this] {
        updateLevels();
        redraw();
    });

    auto* commands = new QHBoxLayout;
    for (QPushButton* b : {m_loadImage, m_findSpots, m_fitSpots, m_useCell}) {
        commands->addWidget(b);
    }
    commands->addStretch();
    auto* placement = new QHBoxLayout;
    const auto labelled = [this](QHBoxLayout* row, const QString& text, QWidget* buddy) {
        auto* label = new QLabel(text, this);
        label->setBuddy(buddy);
        row->addWidget(label);
        row->addWidget(buddy);
    };
    labelled(commands, QStringLiteral("Contras&t"), m_contrast);
    labelled(placement, QStringLiteral("Centre &X"), m_centreX);
    labelled(placement, QStringLiteral("&Y"), m_centreY);
    labelled(placement, QStringLiteral("Sc&ale"), m_scale);
    labelled(placement, QStringLiteral("&Rotation"), m_rotation);
    placement->addStretch();
    m_imageStatus = new QLabel(this);
    m_imageStatus->setObjectName(QStringLiteral("lblFit"));
    m_imageStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_imageStatus->setWordWrap(true);
    // Room for the image's line and the fit's two (one may wrap) from the start, so that a
    // fit is never shown cut off below the controls.
    m_imageStatus->setMinimumHeight(4 * m_imageStatus->fontMetrics().lineSpacing());
    m_imageStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    controlsArea()->addLayout(commands);
    controlsArea()->addLayout(placement);
    controlsArea()->addWidget(m_imageStatus);

    connect(m_loadImage, &QPushButton::clicked, this, &LeedPatternWindow::loadImage);
    connect(m_findSpots, &QPushButton::clicked, this, &LeedPatternWindow::findSpots);
    connect(m_fitSpots, &QPushButton::clicked, this, &LeedPatternWindow::fitSpots);
    connect(m_useCell, &QPushButton::clicked, this, &LeedPatternWindow::useFittedCell);

    m_canvas = findChild<ViewCanvas*>(QStringLiteral("picView"));
    m_canvas->installEventFilter(this);
    enableImageControls();
}

void LeedPatternWindow::enableImageControls() {
    const bool image = m_image.has_value();
    for (QWidget* w : std::initializer_list<QWidget*>{m_findSpots, m_fitSpots, m_centreX, m_centreY,
                                                      m_scale, m_rotation, m_contrast}) {
        w->setEnabled(image);
    }
    m_useCell->setEnabled(m_fit.has_value());
}

ImagePlacement LeedPatternWindow::placement() const {
    return {m_centreX->value(), m_centreY->value(), m_scale->value(), m_rotation->value()};
}

void LeedPatternWindow::setPlacement(const ImagePlacement& placement) {
    {
        const QSignalBlocker x(m_centreX);
        const QSignalBlocker y(m_centreY);
        const QSignalBlocker scale(m_scale);
        const QSignalBlocker rotation(m_rotation);
        m_centreX->setValue(placement.centreX);
        m_centreY->setValue(placement.centreY);
        m_scale->setValue(placement.scale);
        m_rotation->setValue(placement.rotationDegrees);
    }
    redraw();
}

void LeedPatternWindow::updateLevels() {
    if (m_image) {
        fit::Contrast contrast;
        contrast.highQuantile = m_contrast->value() / 1000.0;
        m_shown = {m_image->width, m_image->height, fit::displayLevels(*m_image, contrast)};
    }
}

void LeedPatternWindow::forgetFit() {
    m_fit.reset();
    m_useCell->setEnabled(false);
}

void LeedPatternWindow::loadImage() {
    const QString file = services().openFileName(
        this, {QStringLiteral("LEED Images (*.png *.jpg *.jpeg *.tif *.tiff)|"
                              "*.png;*.jpg;*.jpeg;*.tif;*.tiff"),
               QString()});
    if (file.isEmpty()) {
        return;
    }
    render::GreyImageRead read = render::readGreyImage(std::filesystem::path(utf8(file)));
    if (!read.error.empty()) {
        services().message(this, qs(read.error));
        return;
    }
    m_image = std::move(read.image);
    m_imageName = QFileInfo(file).fileName();
    m_spots.clear();
    forgetFit();
    updateLevels();
    enableImageControls();
    const double k0 =
        m_pattern.k0 > 0 ? m_pattern.k0 : views::electronWaveVector(m_energy->value());
    setPlacement(openingPlacement(m_image->width, m_image->height, k0));
}

void LeedPatternWindow::findSpots() {
    if (!m_image) {
        return;
    }
    BusyPointer busy(services());
    try {
        m_spots = fit::spotsOf(fit::findSpots(*m_image));
    } catch (const fit::FitError& e) {
        busy.release();
        services().message(this, qs(e.what()));
        return;
    }
    forgetFit();
    redraw();
}

void LeedPatternWindow::fitSpots() {
    if (!m_image || !hasSubject()) {
        return;
    }
    fit::FitOptions options;
    options.allDomains = m_allDomains->isChecked();
    options.mirrors = m_mirrors->isChecked();
    const engine::SubstrateCell substrate = subject().lattices.substrate;
    BusyPointer busy(services());
    try {
        m_fit = fit::fitLeed(m_spots, substrate, options);
    } catch (const fit::FitError& e) {
        busy.release();
        forgetFit();
        redraw();
        QString text = qs(e.what());
        if (showsEarlierRun()) {
            // The refusal names the run's substrate, which the main window no longer shows.
            text += QStringLiteral(
                "\nThe fit uses the substrate of the run shown here; "
                "Calculate again to fit on the main window's substrate.");
        }
        services().message(this, text);
        return;
    }
    m_fitSubstrate = substrate;
    m_useCell->setEnabled(true);
    setPlacement(placementOf(*m_fit));
}

void LeedPatternWindow::useFittedCell() {
    if (m_fit) {
        const fit::CellParameters& c = m_fit->cell;
        emit overlayerChosen({c.b1, c.b2, c.beta, c.azimuth - kFittedAzimuthMargin,
                              c.azimuth + kFittedAzimuthMargin});
    }
}

std::optional<fit::ScreenPoint> LeedPatternWindow::imagePointAt(QPointF canvasPoint) const {
    const output::CoordinateSystem& cs = picture().coordinates;
    const QRectF area = render::drawingArea(cs, QRectF(m_canvas->rect()), render::Fit::KeepAspect);
    if (area.isEmpty() || !area.contains(canvasPoint)) {
        return std::nullopt;
    }
    return fit::ScreenPoint{cs.left + (canvasPoint.x() - area.left()) / area.width() * cs.width(),
                            cs.top + (canvasPoint.y() - area.top()) / area.height() * cs.height()};
}

double LeedPatternWindow::canvasPixelsPerImagePixel() const {
    const output::CoordinateSystem& cs = picture().coordinates;
    const QRectF area = render::drawingArea(cs, QRectF(m_canvas->rect()), render::Fit::KeepAspect);
    return cs.width() != 0 ? area.width() / std::fabs(cs.width()) : 1;
}

void LeedPatternWindow::toggleSpotAt(QPointF canvasPoint) {
    const std::optional<fit::ScreenPoint> p = imagePointAt(canvasPoint);
    if (!p) {
        return;
    }
    const double tolerance = kSpotTolerance / canvasPixelsPerImagePixel();
    if (const std::optional<std::size_t> near = spotNear(m_spots, p->x, p->y, tolerance)) {
        m_spots.erase(m_spots.begin() + static_cast<std::ptrdiff_t>(*near));
    } else {
        m_spots.push_back({p->x, p->y});
    }
    forgetFit();
    redraw();
}

bool LeedPatternWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_canvas || !m_image) {
        return ViewWindow::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton) {
                m_press = mouse->position();
                m_pressCentre = {m_centreX->value(), m_centreY->value()};
                m_dragging = false;
                return true;
            }
            break;
        }
        case QEvent::MouseMove: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (m_press && mouse->buttons().testFlag(Qt::LeftButton)) {
                const QPointF moved = mouse->position() - *m_press;
                m_dragging = m_dragging || moved.manhattanLength() > kClickSlop;
                if (m_dragging) {
                    const double perPixel = canvasPixelsPerImagePixel();
                    ImagePlacement p = placement();
                    p.centreX = m_pressCentre.x + moved.x() / perPixel;
                    p.centreY = m_pressCentre.y + moved.y() / perPixel;
                    setPlacement(p);
                }
                return true;
            }
            break;
        }
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (m_press && mouse->button() == Qt::LeftButton) {
                if (!m_dragging) {
                    toggleSpotAt(mouse->position());
                }
                m_press.reset();
                m_dragging = false;
                return true;
            }
            break;
        }
        default:
            break;
    }
    return ViewWindow::eventFilter(watched, event);
}

ViewWindow::Drawn LeedPatternWindow::draw(const views::ViewSubject& subject, double zoom) {
    views::LeedOptions options;
    options.energyEv = m_energy->value();
    options.allDomains = m_allDomains->isChecked();
    options.mirrors = m_mirrors->isChecked();
    options.multipleScattering = m_multiple->isChecked();
    std::string refusal;
    try {
        m_pattern = views::leedPattern(subject.substrate(), subject.overlayer(), options);
    } catch (const std::invalid_argument& e) {
        // Too many spots at this energy: say so and show none rather than stall.
        m_pattern = {};
        refusal = e.what();
    }
    if (m_fit && !sameSubstrate(m_fitSubstrate, subject.lattices.substrate)) {
        forgetFit();  // fitted with a substrate no longer shown
    }
    if (!m_image && !refusal.empty()) {
        return {{}, qs(refusal)};
    }
    const std::string angle = numbers::formatFixed2(subject.lattices.angle);
    const std::size_t orientations =
        options.allDomains ? views::orientationCount(subject.substrate(), options.mirrors) : 1;
    std::string line = refusal;
    if (line.empty()) {
        line = fmt::format(
            "Azimuth {}°, {} substrate; {} orientations of the cell, {} distinct {}; k0 = "
            "{:.3f} Å⁻¹",
            angle, views::kindName(m_pattern.group.kind), orientations, m_pattern.domains.size(),
            m_pattern.domains.size() == 1 ? "domain" : "domains", m_pattern.k0);
    }
    if (m_image) {
        std::string status =
            fmt::format("{}, {} × {} pixels: {} {}", utf8(m_imageName), m_image->width,
                        m_image->height, m_spots.size(), m_spots.size() == 1 ? "spot" : "spots");
        if (m_fit) {
            status += "\n" + fitSummary(*m_fit);
        }
        m_imageStatus->setText(qs(status));
        const OverlayContent content{m_shown,
                                     placement(),
                                     m_pattern,
                                     m_spots,
                                     m_fit ? &*m_fit : nullptr,
                                     m_fitSubstrate,
                                     m_oneColour->isChecked()};
        return {imageOverlayPicture(content, zoom), qs(line)};
    }
    output::LeedPictureOptions picture;
    picture.zoom = zoom;
    picture.caption = fmt::format("LEED at {}°, {} eV", angle, m_energy->value());
    picture.oneColour = m_oneColour->isChecked();
    return {output::leedPicture(m_pattern, picture), qs(line)};
}

}  // namespace lamivex::app
