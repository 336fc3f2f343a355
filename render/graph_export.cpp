#include "render/graph_export.h"

#include <cmath>
#include <functional>
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

bool paint(QPaintDevice& device, const output::DisplayList& graph, Fit fit) {
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    if (fit == Fit::KeepAspect) {
        painter.fillRect(QRectF(0, 0, device.width(), device.height()), Qt::white);
    }
    drawDisplayList(painter, graph, QRectF(0, 0, device.width(), device.height()), fit);
    return painter.end();
}

std::optional<QByteArray> renderPng(const output::DisplayList& graph, int width, int height,
                                    Fit fit, int dotsPerMeter = kPngDotsPerMeter) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    if (!paint(image, graph, fit)) {
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

std::optional<QByteArray> renderSvg(const output::DisplayList& graph, int width, int height,
                                    const QString& title, Fit fit) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(width, height));
    svg.setViewBox(QRect(0, 0, width, height));
    svg.setResolution(96);  // so the size in millimetres matches the pixels on screen
    svg.setTitle(title);
    if (!paint(svg, graph, fit)) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<QByteArray> renderPdf(const output::DisplayList& graph, double width, double height,
                                    const QString& title, Fit fit) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(title);
        pdf.setPageLayout(QPageLayout(
            QPageSize(QSizeF(width, height), QPageSize::Point, QString(), QPageSize::ExactMatch),
            QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        if (!paint(pdf, graph, fit)) {
            return std::nullopt;
        }
    }  // the writer finishes the document when it goes
    return bytes;
}

}  // namespace

std::optional<QByteArray> renderGraph(const output::DisplayList& graph,
                                      output::PictureFormat format, const GraphExportSize& size) {
    const QString title = QStringLiteral("V/Vo versus azimuth angle");
    const auto height = [&graph](double width) { return heightFor(graph, width); };
    switch (format) {
        case output::PictureFormat::Png:
            return renderPng(graph, size.pngWidth,
                             static_cast<int>(std::lround(height(size.pngWidth))), Fit::Stretch);
        case output::PictureFormat::Svg:
            return renderSvg(graph, size.svgWidth,
                             static_cast<int>(std::lround(height(size.svgWidth))), title,
                             Fit::Stretch);
        case output::PictureFormat::Pdf:
            return renderPdf(graph, size.pdfWidth, height(size.pdfWidth), title, Fit::Stretch);
    }
    return std::nullopt;
}

std::optional<QByteArray> renderPicture(const output::DisplayList& picture,
                                        output::PictureFormat format, const PictureSize& size) {
    const QString title = QString::fromStdString(size.title);
    switch (format) {
        case output::PictureFormat::Png:
            return renderPng(picture, size.width, size.height, Fit::KeepAspect);
        case output::PictureFormat::Svg:
            return renderSvg(picture, size.width, size.height, title, Fit::KeepAspect);
        case output::PictureFormat::Pdf:
            // Pixels at 96 per inch, as the SVG's size reads.
            return renderPdf(picture, size.width * 0.75, size.height * 0.75, title,
                             Fit::KeepAspect);
    }
    return std::nullopt;
}

int figurePixels(double points, double dpi) {
    return static_cast<int>(std::lround(points / 72 * dpi));
}

std::optional<QByteArray> renderFigure(const output::DisplayList& figure,
                                       output::PictureFormat format, const FigureOutput& size) {
    const QString title = QString::fromStdString(size.title);
    const Fit fit = size.keepAspect ? Fit::KeepAspect : Fit::Stretch;
    switch (format) {
        case output::PictureFormat::Png:
            return renderPng(figure, figurePixels(size.widthPt, size.dpi),
                             figurePixels(size.heightPt, size.dpi), fit,
                             static_cast<int>(std::lround(size.dpi / 0.0254)));
        case output::PictureFormat::Svg:
            return renderSvg(figure, figurePixels(size.widthPt, 96),
                             figurePixels(size.heightPt, 96), title, fit);
        case output::PictureFormat::Pdf:
            return renderPdf(figure, size.widthPt, size.heightPt, title, fit);
    }
    return std::nullopt;
}

namespace {

output::SaveResult exportBytes(
    const std::filesystem::path& file,
    const std::function<std::optional<QByteArray>(output::PictureFormat)>& render) {
    const std::optional<output::PictureFormat> format = output::pictureFormatFor(file);
    if (!format) {
        return {false, fmt::format("Cannot tell the file type of {}: use .png, .svg or .pdf.",
                                   file.filename().string())};
    }
    const std::optional<QByteArray> bytes = render(*format);
    if (!bytes) {
        return {false, fmt::format("The picture could not be drawn for {}.", file.string())};
    }
    return output::saveAtomically(file, [&](std::ostream& out) {
        out.write(bytes->constData(), static_cast<std::streamsize>(bytes->size()));
    });
}

}  // namespace

output::SaveResult exportGraph(const output::DisplayList& graph, const std::filesystem::path& file,
                               const GraphExportSize& size) {
    return exportBytes(
        file, [&](output::PictureFormat format) { return renderGraph(graph, format, size); });
}

output::SaveResult exportPicture(const output::DisplayList& picture,
                                 const std::filesystem::path& file, const PictureSize& size) {
    return exportBytes(
        file, [&](output::PictureFormat format) { return renderPicture(picture, format, size); });
}

output::SaveResult exportFigure(const output::DisplayList& figure,
                                const std::filesystem::path& file, const FigureOutput& size) {
    return exportBytes(
        file, [&](output::PictureFormat format) { return renderFigure(figure, format, size); });
}

}  // namespace lamivex::render
