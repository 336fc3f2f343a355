#pragma once
// The figures of the results as PNG, SVG or PDF files, drawn by the painter module (which links
// Qt, loaded only when a figure is written): the azimuth graph of a scan, the hits histogram of
// an iteration and the two views.

#include <filesystem>
#include <optional>
#include <string>

#include "api/iterate.h"
#include "api/locations.h"
#include "api/scan.h"
#include "api/views.h"

namespace lamivex::api {

struct FigureRequest {
    // "1200x900" (pixels at dpi), "6x4.5in" or "160x120mm"; unset: 160x120mm for the graph and
    // the histogram, 800 pixels wide in the picture's proportions for a view.
    std::optional<std::string> size;
    std::optional<double> dpi;  // pixels per inch of a PNG; unset: 144, 96 for a view
    double fontPt = 10;         // the graph's and histogram's text, 4..72 points
};

// Each throws numbers::InputError naming size, dpi, font-size or option (a file type it
// cannot write), and FileError naming option when the painter or the file fails. The type
// follows path's extension. option names the path in messages ("plot", "out").
void writeScanGraph(const ScanResult& result, const std::filesystem::path& path,
                    const FigureRequest& asked, const Locations& locations,
                    const std::string& option = "plot");
void writeHistogram(const IterationResult& result, const std::filesystem::path& path,
                    const FigureRequest& asked, const Locations& locations,
                    const std::string& option = "plot");
void writeView(const output::DisplayList& picture, const std::string& title,
               const std::filesystem::path& path, const FigureRequest& asked,
               const Locations& locations, const std::string& option = "out");

// Refuses, before a run, a size, resolution or file type the figure could not be written with.
void checkFigure(const std::filesystem::path& path, const FigureRequest& asked, bool view,
                 const std::string& option);

}  // namespace lamivex::api
