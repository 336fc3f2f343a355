#pragma once
// Writes a graph's display list to an image or document file for papers and slides.

#include <filesystem>
#include <optional>

#include <QByteArray>

#include "output/atomic_save.h"
#include "output/display_list.h"
#include "output/picture_format.h"

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

}  // namespace lamivex::render
