#include "cli/plot_output.h"

#include <functional>
#include <stdexcept>

#include <fmt/format.h>

#include "cli/cli_errors.h"
#include "cli/plot_module.h"
#include "cli/runtime_module.h"
#include "numbers/input_error.h"
#include "output/graph_plot.h"
#include "output/histogram_plot.h"
#include "output/picture_format.h"

namespace lamivex::cli {
namespace {

const PlotModule& plotModule() {
    using Entry = const PlotModule* (*)();
    const auto entry =
        reinterpret_cast<Entry>(moduleEntry("lamivex-plot.so", kPlotModuleEntry, "plot"));
    const PlotModule* module = entry();
    if (module->version != kPlotModuleVersion) {
        failFile("plot", "lamivex-plot.so is not the picture writer of this lamivex-cli");
    }
    return *module;
}

void write(const std::string& option, const std::string& path, const output::DisplayList& picture,
           double widthPt, double heightPt, double dpi, const std::string& title, bool keepAspect) {
    checkPlotPath(option, path);
    const output::SaveResult saved =
        plotModule().exportFigure(picture, path, widthPt, heightPt, dpi, title.c_str(), keepAspect);
    if (!saved.ok) {
        failFile(option, saved.error);
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

void checkPlotPath(const std::string& option, const std::string& path) {
    if (!output::pictureFormatFor(path)) {
        numbers::failInput(option, fmt::format("cannot tell the file type of '{}': use a name "
                                               "ending in .png, .svg or .pdf",
                                               path));
    }
}

void writeGraphFigure(const std::string& path, const engine::ScanResults& results,
                      const engine::AngleBestTable& table, const Figure& figure) {
    const output::DisplayList graph = laidOut([&] {
        return output::plotAzimuthGraph(results.AzimuthAngles, table, results.LastAngleIndex,
                                        figure.style)
            .list;
    });
    write("plot", path, graph, figure.style.widthPt, figure.style.heightPt, figure.dpi,
          "V/Vo versus azimuth angle", false);
}

void writeHistogramFigure(const std::string& path, const iteration::HitCounts& hits,
                          const Figure& figure) {
    const output::DisplayList histogram = laidOut([&] {
        return output::plotHistogram(hits.HistogramLowAngle, hits.HistogramHighAngle,
                                     hits.HitsByAngle, hits.GeometricHitsByAngle, figure.style,
                                     hits.nearestDegree)
            .list;
    });
    write("plot", path, histogram, figure.style.widthPt, figure.style.heightPt, figure.dpi,
          "Number of hits versus azimuth angle", false);
}

void writeViewPicture(const std::string& option, const std::string& path,
                      const output::DisplayList& picture, double widthPt, double heightPt,
                      double dpi, const std::string& title) {
    write(option, path, picture, widthPt, heightPt, dpi, title, true);
}

}  // namespace lamivex::cli
