#include "app/epigraph.h"

#include <cmath>
#include <filesystem>

#include <QCloseEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app_state.h"
#include "app/picture_box.h"
#include "app/printout_commands.h"
#include "app/services.h"
#include "numbers/number_text.h"
#include "output/angle_table_csv.h"
#include "output/atomic_save.h"
#include "render/graph_export.h"

namespace lamivex::app {
namespace {

// A name typed without an extension gets the one of the first file type offered.
QString withExtension(const QString& name, const QString& extension) {
    return QFileInfo(name).suffix().isEmpty() ? name + extension : name;
}

std::filesystem::path toPath(const QString& name) {
    return {name.toStdString()};
}

}  // namespace

Epigraph::Epigraph(AppState& state, Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window), m_state(state), m_services(services) {
    setObjectName(QStringLiteral("Epigraph"));
    setWindowTitle(QStringLiteral("  "));
    // Shown at the end of a run without taking the keyboard from the main window.
    setAttribute(Qt::WA_ShowWithoutActivating);

    auto* frame = new QGroupBox(QStringLiteral("Results"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    m_picture = new PictureBox(frame);
    m_picture->setObjectName(QStringLiteral("Picture1"));
    auto* inFrame = new QVBoxLayout(frame);
    inFrame->addWidget(m_picture);

    // Below the frame, so the picture and its frame keep their place and size.
    m_exportGraph = new QPushButton(QStringLiteral("Export &graph…"), this);
    m_exportGraph->setObjectName(QStringLiteral("cmdExportGraph"));
    m_exportGraph->setToolTip(QStringLiteral("Save the graph as a PNG, SVG or PDF file"));
    m_exportData = new QPushButton(QStringLiteral("Export &data…"), this);
    m_exportData->setObjectName(QStringLiteral("cmdExportData"));
    m_exportData->setToolTip(
        QStringLiteral("Save the lowest V/Vo of every azimuth step as a CSV table"));
    m_realSpace = new QPushButton(QStringLiteral("&Real space…"), this);
    m_realSpace->setObjectName(QStringLiteral("cmdRealSpace"));
    m_realSpace->setToolTip(QStringLiteral(
        "The overlayer on the substrate at the best orientation, or at the angle clicked"));
    m_leed = new QPushButton(QStringLiteral("&LEED…"), this);
    m_leed->setObjectName(QStringLiteral("cmdLeed"));
    m_leed->setToolTip(QStringLiteral(
        "The LEED pattern at the best orientation, or at the angle clicked, with every domain"));
    for (QPushButton* b : {m_realSpace, m_leed, m_exportGraph, m_exportData}) {
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::TabFocus);
        b->setEnabled(false);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_realSpace);
    buttons->addWidget(m_leed);
    buttons->addStretch();
    buttons->addWidget(m_exportGraph);
    buttons->addWidget(m_exportData);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame, 1);
    layout->addLayout(buttons);

    m_picture->setToolTip(
        QStringLiteral("Click an angle to show it in the real-space and "
                       "LEED windows"));
    connect(m_picture, &PictureBox::clickedAt, this, &Epigraph::pictureClicked);
    connect(m_realSpace, &QPushButton::clicked, this, &Epigraph::realSpaceRequested);
    connect(m_leed, &QPushButton::clicked, this, &Epigraph::leedRequested);
    connect(m_exportGraph, &QPushButton::clicked, this, &Epigraph::exportGraphFile);
    connect(m_exportData, &QPushButton::clicked, this, &Epigraph::exportDataFile);
}

void Epigraph::activate() {
    const bool drawn = m_state.completedScan.has_value();
    for (QPushButton* b : {m_realSpace, m_leed, m_exportGraph, m_exportData}) {
        b->setEnabled(drawn);
    }
    if (!drawn) {
        m_graph = {};
        return;  // no run has completed yet: nothing to draw
    }
    const engine::CompletedScan& scan = *m_state.completedScan;
    m_graph = output::plotAzimuthGraph(scan.results.AzimuthAngles, scan.AngleBestTable,
                                       scan.results.LastAngleIndex);
    // Drawn over what the picture shows; PictureBox keeps an unchanged graph as it is.
    m_picture->draw(m_graph.list);
    markChosenAngle();
}

void Epigraph::pictureClicked(output::Point point) {
    const output::GraphScale& s = m_graph.scale;
    // Only clicks over the data: the axis runs from x = 0 to x = 100.
    if (!m_state.completedScan || point.x < -2 || point.x > 102) {
        return;
    }
    chooseAngle(s.xFactor > 0 ? s.firstAngle + point.x / s.xFactor : s.firstAngle);
}

void Epigraph::chooseAngle(double angle) {
    if (!m_state.completedScan) {
        return;
    }
    const engine::ScanResults& r = m_state.completedScan->results;
    double nearest = angle;
    double distance = -1;
    for (int k = 0; k <= r.LastAngleIndex; ++k) {
        const double step = r.AzimuthAngles[static_cast<std::size_t>(k)];
        if (distance < 0 || std::fabs(step - angle) < distance) {
            nearest = step;
            distance = std::fabs(step - angle);
        }
    }
    m_state.viewAngle = nearest;
    markChosenAngle();
    emit angleChosen(nearest);
}

void Epigraph::markChosenAngle() {
    if (!m_state.viewAngle || !m_state.completedScan) {
        m_picture->setOverlay(std::nullopt);
        return;
    }
    const output::GraphScale& s = m_graph.scale;
    const double x = s.xFactor > 0 ? (*m_state.viewAngle - s.firstAngle) * s.xFactor : 50;
    output::DisplayList marker;
    marker.coordinates = output::kGraphCoordinates;
    constexpr output::Rgb kMarker{0, 110, 220};
    marker.addLine({x, 0}, {x, 100}, kMarker);
    marker.addText({x + 1, 108}, numbers::formatFixed2(*m_state.viewAngle) + "°",
                   output::kGraphLabelHeight, output::TextFont::Proportional, kMarker);
    m_picture->setOverlay(std::move(marker));
}

void Epigraph::showAfterRun() {
    // A hidden window too: its picture still holds the last run's curve and labels, which the
    // new graph would be drawn over.
    m_picture->clear();
    // A new run: the views follow its best orientation until an angle is clicked again.
    m_state.viewAngle.reset();
    m_services.keepAbove(this, true);
    show();
    raise();
    activate();
}

void Epigraph::showFromToggle() {
    show();
    raise();
    activate();
}

void Epigraph::exportGraphFile() {
    if (!m_state.completedScan) {
        return;
    }
    const engine::CompletedScan& scan = *m_state.completedScan;
    PrintoutCommands(m_services, this, QStringLiteral("The graph"))
        .exportFigure(
            [&scan](const output::FigureStyle& style) {
                return output::plotAzimuthGraph(scan.results.AzimuthAngles, scan.AngleBestTable,
                                                scan.results.LastAngleIndex, style)
                    .list;
            },
            {}, QStringLiteral("V/Vo versus azimuth angle"));
}

void Epigraph::exportDataFile() {
    if (!m_state.completedScan) {
        return;
    }
    const QString chosen = m_services.saveFileName(
        this, {QStringLiteral("CSV Files (*.csv)|*.csv"), QStringLiteral("*.csv")});
    if (chosen.isEmpty()) {
        return;
    }
    const output::SaveResult saved = output::saveAtomically(
        toPath(withExtension(chosen, QStringLiteral(".csv"))), [this](std::ostream& out) {
            output::writeAngleTableCsv(out, m_state.completedScan->results.AzimuthAngles,
                                       m_state.completedScan->AngleBestTable);
        });
    if (!saved.ok) {
        m_services.message(this, QStringLiteral("The data could not be exported.\n\n%1")
                                     .arg(QString::fromStdString(saved.error)));
    }
}

void Epigraph::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        activate();
    }
}

void Epigraph::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit closedByUser();
}

}  // namespace lamivex::app
