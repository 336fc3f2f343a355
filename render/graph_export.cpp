#include "render/graph_export.h"

#include <cmath>
#include <string>

#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <fmt/format.h>

#include "render/display_list_painter.h"

namespace lamivex::render {
namespace {

constexpr int kPngDotsPerMeter = 5669;  // 144 dpi

// Height for a width, keeping the graph's own proportions.
double heightFor(const output::DisplayList& graph, double width) {
    const output::CoordinateSystem& cs = graph.coordinates;
    return width * std::fabs(cs.height() / cs.width());
}

bool paint(QPaintDevice& device, const output::DisplayList& graph) {
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    drawDisplayList(painter, graph, QRectF(0, 0, device.width(), device.height()));
    return painter.end();
}

std::optional<QByteArray> renderPng(const output::DisplayList& graph, int width) {
    const int height = static_cast<int>(std::lround(heightFor(graph, width)));
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(kPngDotsPerMeter);
    image.setDotsPerMeterY(kPngDotsPerMeter);
    image.fill(Qt::white);
    if (!paint(image, graph)) {
        return std::nullopt;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<QByteArray> renderSvg(const output::DisplayList& graph, int width) {
    const int height = static_cast<int>(std::lround(heightFor(graph, width)));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(width, height));
    svg.setViewBox(QRect(0, 0, width, height));
    svg.setResolution(96);  // so the size in millimetres matches the pixels on screen
    svg.setTitle(QStringLiteral("V/Vo versus azimuth angle"));
    if (!paint(svg, graph)) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<QByteArray> renderPdf(const output::DisplayList& graph, double width) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(QStringLiteral("V/Vo versus azimuth angle"));
        pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(width, heightFor(graph, width)),
                                                QPageSize::Point, QString(), QPageSize::ExactMatch),
                                      QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        if (!paint(pdf, graph)) {
            return std::nullopt;
        }
    }  // the writer finishes the document when it goes
    return bytes;
}

}  // namespace

std::optional<QByteArray> renderGraph(const output::DisplayList& graph, output::PictureFormat format,
                                      const GraphExportSize& size) {
    switch (format) {
        case output::PictureFormat::Png:
            return renderPng(graph, size.pngWidth);
        case output::PictureFormat::Svg:
            return renderSvg(graph, size.svgWidth);
        case output::PictureFormat::Pdf:
            return renderPdf(graph, size.pdfWidth);
    }
    return std::nullopt;
}

output::SaveResult exportGraph(const output::DisplayList& graph, const std::filesystem::path& file,
                               const GraphExportSize& size) {
    const std::optional<output::PictureFormat> format = output::pictureFormatFor(file);
    if (!format) {
        return {false, fmt::format("Cannot tell the file type of {}: use .png, .svg or .pdf.",
                                   file.filename().string())};
    }
    const std::optional<QByteArray> bytes = renderGraph(graph, *format, size);
    if (!bytes) {
        return {false, fmt::format("The graph could not be drawn for {}.", file.string())};
    }
    return output::saveAtomically(file, [&](std::ostream& out) {
        out.write(bytes->constData(), static_cast<std::streamsize>(bytes->size()));
    });
}

}  // namespace lamivex::render
