#include "api/figures.h"

#include <cmath>
#include <functional>
#include <stdexcept>

#include <fmt/format.h>

#include "api/file_error.h"
#include "api/matrix_overlayer.h"
#include "api/painter.h"
#include "numbers/input_error.h"
#include "output/figure_layout.h"
#include "output/figure_size.h"
#include "output/graph_plot.h"
#include "output/histogram_plot.h"
#include "output/picture_format.h"

namespace lamivex::api {
namespace {

constexpr const char* kPlotSize = "160x120mm";
constexpr double kPlotDpi = 144;
constexpr double kViewDpi = 96;

struct Figure {
    output::FigureStyle style;
    double dpi = kPlotDpi;
};

Figure figureOf(const FigureRequest& asked, const std::string& defaultSize, double defaultDpi) {
    Figure figure;
    figure.dpi = asked.dpi.value_or(defaultDpi);
    try {
        output::checkFigureDpi(figure.dpi);
    } catch (const std::invalid_argument& error) {
        numbers::failInput("dpi", error.what());
    }
    try {
        const output::FigureExtent extent =
            output::parseFigureSize(asked.size.value_or(defaultSize), figure.dpi);
        figure.style.widthPt = extent.widthPt;
        figure.style.heightPt = extent.heightPt;
    } catch (const std::invalid_argument& error) {
        numbers::failInput("size", error.what());
    }
    figure.style.fontPt = asked.fontPt;
    if (!(figure.style.fontPt >= 4 && figure.style.fontPt <= 72)) {
        numbers::failInput("font-size",
                           fmt::format("must be from 4 to 72 points (it is {:g})", asked.fontPt));
    }
    return figure;
}

// 800 pixels wide in the picture's own proportions unless a size is asked for.
Figure viewFigure(const FigureRequest& asked, const output::DisplayList& picture) {
    std::string size = "800x600";
    const output::CoordinateSystem& cs = picture.coordinates;
    if (cs.width() != 0) {
        size = fmt::format("800x{}", std::lround(800 * std::fabs(cs.height() / cs.width())));
    }
    return figureOf(asked, size, kViewDpi);
}

void checkType(const std::filesystem::path& path, const std::string& option) {
    if (!output::pictureFormatFor(path.string())) {
        numbers::failInput(option, fmt::format("cannot tell the file type of '{}': use a name "
                                               "ending in .png, .svg or .pdf",
                                               path.string()));
    }
}

void write(const output::DisplayList& picture, const std::filesystem::path& path,
           const Figure& figure, const std::string& title, bool keepAspect,
           const Locations& locations, const std::string& option) {
    checkType(path, option);
    const output::SaveResult saved =
        painterModule(locations, option)
            .exportFigure(picture, path, figure.style.widthPt, figure.style.heightPt, figure.dpi,
                          title.c_str(), keepAspect);
    if (!saved.ok) {
        throw FileError(option, saved.error);
    }
}

// The layout refuses a figure too small for its text.
output::DisplayList laidOut(const std::function<output::DisplayList()>& build) {
    try {
        return build();
    } catch (const std::invalid_argument& error) {
        numbers::failInput("size", error.what());
    }
}

}  // namespace

void checkFigure(const std::filesystem::path& path, const FigureRequest& asked, bool view,
                 const std::string& option) {
    if (view) {
        (void)viewFigure(asked, {});
    } else {
        (void)figureOf(asked, kPlotSize, kPlotDpi);
    }
    checkType(path, option);
}

void writeScanGraph(const ScanResult& result, const std::filesystem::path& path,
                    const FigureRequest& asked, const Locations& locations,
                    const std::string& option) {
    refuseStepsOfOneOrientation(!result.scan);
    const Figure figure = figureOf(asked, kPlotSize, kPlotDpi);
    const engine::CompletedScan& scan = *result.scan;
    const output::DisplayList graph = laidOut([&] {
        return output::plotAzimuthGraph(scan.results.AzimuthAngles, scan.AngleBestTable,
                                        scan.results.LastAngleIndex, figure.style)
            .list;
    });
    write(graph, path, figure, "V/Vo versus azimuth angle", false, locations, option);
}

void writeHistogram(const IterationResult& result, const std::filesystem::path& path,
                    const FigureRequest& asked, const Locations& locations,
                    const std::string& option) {
    const Figure figure = figureOf(asked, kPlotSize, kPlotDpi);
    const iteration::HitCounts& hits = result.run->hits;
    const output::DisplayList histogram = laidOut([&] {
        return output::plotHistogram(hits.HistogramLowAngle, hits.HistogramHighAngle,
                                     hits.HitsByAngle, hits.GeometricHitsByAngle, figure.style)
            .list;
    });
    write(histogram, path, figure, "Number of hits versus azimuth angle", false, locations, option);
}

void writeView(const output::DisplayList& picture, const std::string& title,
               const std::filesystem::path& path, const FigureRequest& asked,
               const Locations& locations, const std::string& option) {
    write(picture, path, viewFigure(asked, picture), title, true, locations, option);
}

}  // namespace lamivex::api
