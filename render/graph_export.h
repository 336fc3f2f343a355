#pragma once
// Writes a graph's or a view's display list to an image or document file for papers and
// slides.

#include <filesystem>
#include <optional>
#include <string>

#include <QByteArray>

#include "output/atomic_save.h"
#include "output/display_list.h"
#include "output/picture_format.h"
#include "render/display_list_painter.h"

namespace lamivex::render {

// Output sizes: PNG in pixels at 144 dpi, SVG in pixels, PDF in points.
struct GraphExportSize {
    int pngWidth = 900;
    int svgWidth = 600;
    double pdfWidth = 450;
};

// The file's bytes; nullopt when the painter could not start on the device.
[[nodiscard]] std::optional<QByteArray> renderGraph(const output::DisplayList& graph,
                                                    output::PictureFormat format,
                                                    const GraphExportSize& size = {});

// Renders by the file's extension and replaces file in one rename, so a failure leaves
// no partial file. Needs a QGuiApplication.
[[nodiscard]] output::SaveResult exportGraph(const output::DisplayList& graph,
                                             const std::filesystem::path& file,
                                             const GraphExportSize& size = {});

// A picture of a given size, drawn with the same scale both ways (centred across, at the
// top): PNG and SVG in pixels, PDF in points at 96 pixels per inch.
struct PictureSize {
    int width = 800;
    int height = 800;
    std::string title;  // the SVG's and PDF's title
};
[[nodiscard]] std::optional<QByteArray> renderPicture(const output::DisplayList& picture,
                                                      output::PictureFormat format,
                                                      const PictureSize& size);
[[nodiscard]] output::SaveResult exportPicture(const output::DisplayList& picture,
                                               const std::filesystem::path& file,
                                               const PictureSize& size);

// A figure of a given physical size: PNG at dpi pixels per inch, SVG at 96 pixels per inch,
// PDF in points, so the three have the same size on paper.
struct FigureOutput {
    double widthPt = 450;
    double heightPt = 337.5;
    double dpi = 144;
    std::string title;
    bool keepAspect = false;  // a view: the same scale both ways, centred across
};
// The PNG's pixels for a figure.
[[nodiscard]] int figurePixels(double points, double dpi);
[[nodiscard]] std::optional<QByteArray> renderFigure(const output::DisplayList& figure,
                                                     output::PictureFormat format,
                                                     const FigureOutput& size);
[[nodiscard]] output::SaveResult exportFigure(const output::DisplayList& figure,
                                              const std::filesystem::path& file,
                                              const FigureOutput& size);

}  // namespace lamivex::render
