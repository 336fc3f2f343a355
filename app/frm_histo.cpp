#include "app/frm_histo.h"

#include <QCloseEvent>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/iteration_state.h"
#include "app/picture_box.h"
#include "app/printout_commands.h"
#include "app/services.h"
#include "app/window_keys.h"

namespace lamivex::app {
namespace {

QPushButton* button(const char* name, const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

}  // namespace

FrmHisto::FrmHisto(IterationState& state, Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window), m_state(state), m_services(services) {
    setObjectName(QStringLiteral("frmHisto"));
    setWindowTitle(QStringLiteral("Histogram"));

    auto* frame = new QGroupBox(QString::fromLatin1(output::kHistogramFrameCaption), this);
    m_picture = new PictureBox(frame);
    m_picture->setObjectName(QStringLiteral("Picture1"));
    m_picture->setMinimumSize(520, 320);
    auto* inFrame = new QVBoxLayout(frame);
    inFrame->addWidget(m_picture);

    auto* regular = new QLabel(QStringLiteral("Regular Solutions = black"), this);
    auto* geometric = new QLabel(QStringLiteral("Geometric Solutions = green"), this);
    auto* print = button("cmdPrintH", QStringLiteral("&Print"), this);
    auto* ok = button("cmdOKH", QStringLiteral("&OK"), this);
    auto* exportPicture = button("cmdExportH", QStringLiteral("&Export…"), this);
    exportPicture->setToolTip(QStringLiteral("Save the histogram as a PNG, SVG or PDF file"));

    auto* legend = new QVBoxLayout;
    legend->addWidget(regular);
    legend->addWidget(geometric);
    auto* bottom = new QHBoxLayout;
    bottom->addLayout(legend);
    bottom->addStretch();
    bottom->addWidget(exportPicture);
    bottom->addWidget(print);
    bottom->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame, 1);
    layout->addLayout(bottom);

    connect(ok, &QPushButton::clicked, this, [this] {
        hide();
        emit okClicked();
    });
    QWidget::setTabOrder(exportPicture, print);
    QWidget::setTabOrder(print, ok);
    // The window opens with OK under Enter; Escape puts it away as OK does.
    ok->setFocus();
    auto* keys = new WindowKeys(this);
    keys->setDefaultButton(ok);
    keys->setEscape([ok] { ok->click(); });
    connect(print, &QPushButton::clicked, this, &FrmHisto::printHistogram);
    connect(exportPicture, &QPushButton::clicked, this, &FrmHisto::exportHistogram);
}

bool FrmHisto::hasHits() const {
    return m_state.completed.has_value();
}

void FrmHisto::activate() {
    emit activated();
    if (!hasHits()) {
        return;
    }
    const iteration::HitCounts& h = m_state.completed->hits;
    m_histogram = output::plotHistogram(h.HistogramLowAngle, h.HistogramHighAngle, h.HitsByAngle,
                                        h.GeometricHitsByAngle);
    m_picture->draw(m_histogram.list);
}

void FrmHisto::printHistogram() {
    if (!hasHits()) {
        return;
    }
    const iteration::HitCounts& h = m_state.completed->hits;
    const output::Pages pages = {output::histogramPrintPage(
        h.HistogramLowAngle, h.HistogramHighAngle, h.HitsByAngle, h.GeometricHitsByAngle)};
    PrintoutCommands(m_services, this, QStringLiteral("The histogram"))
        .print(pages, QStringLiteral("Lamivex histogram"));
}

void FrmHisto::exportHistogram() {
    if (!hasHits()) {
        return;
    }
    const iteration::HitCounts& h = m_state.completed->hits;
    PrintoutCommands(m_services, this, QStringLiteral("The histogram"))
        .exportFigure(
            [&h](const output::FigureStyle& style) {
                return output::plotHistogram(h.HistogramLowAngle, h.HistogramHighAngle,
                                             h.HitsByAngle, h.GeometricHitsByAngle, style,
                                             h.nearestDegree)
                    .list;
            },
            {}, QStringLiteral("Number of hits versus azimuth angle"));
}

void FrmHisto::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // The window system may report the activation late, after OK has hidden the window
    // (a click on it while a closed box had taken the focus): a hidden histogram is not
    // drawn and does not send the Iteration window away again.
    if (event->type() == QEvent::ActivationChange && isVisible() && isActiveWindow()) {
        activate();
    }
}

void FrmHisto::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit okClicked();
}

}  // namespace lamivex::app
