#include "cli/plot_output.h"

#include <fmt/format.h>

#include "cli/cli_errors.h"
#include "cli/plot_module.h"
#include "cli/runtime_module.h"
#include "numbers/input_error.h"
#include "output/graph_plot.h"
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

}  // namespace

void checkPlotPath(const std::string& path) {
    if (!output::pictureFormatFor(path)) {
        numbers::failInput("plot", fmt::format("cannot tell the file type of '{}': use a name "
                                               "ending in .png, .svg or .pdf",
                                               path));
    }
}

void writePlot(const std::string& path, const engine::ScanResults& results,
               const engine::AngleBestTable& table) {
    checkPlotPath(path);
    const output::AzimuthGraph graph =
        output::plotAzimuthGraph(results.AzimuthAngles, table, results.LastAngleIndex);
    const output::SaveResult saved = plotModule().exportPicture(graph.list, path);
    if (!saved.ok) {
        failFile("plot", saved.error);
    }
}

void writeViewPicture(const std::string& option, const std::string& path,
                      const output::DisplayList& picture, int width, int height,
                      const std::string& title) {
    if (!output::pictureFormatFor(path)) {
        numbers::failInput(option, fmt::format("cannot tell the file type of '{}': use a name "
                                               "ending in .png, .svg or .pdf",
                                               path));
    }
    const output::SaveResult saved =
        plotModule().exportSizedPicture(picture, path, width, height, title.c_str());
    if (!saved.ok) {
        failFile(option, saved.error);
    }
}

}  // namespace lamivex::cli
