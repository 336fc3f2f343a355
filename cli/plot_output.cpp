#include "cli/plot_output.h"

#include <fmt/format.h>

#include "cli/cli_errors.h"
#include "numbers/input_error.h"
#include "output/graph_plot.h"
#include "render/graph_export.h"
#include "render/gui_session.h"

namespace lamivex::cli {

void checkPlotPath(const std::string& path) {
    if (!render::graphFormatFor(path)) {
        numbers::failInput("plot", fmt::format("cannot tell the file type of '{}': use a name "
                                              "ending in .png, .svg or .pdf",
                                              path));
    }
}

void writePlot(const std::string& path, const engine::ScanResults& results,
               const engine::AngleBestTable& table) {
    checkPlotPath(path);
    const render::GuiSession gui;  // text layout needs an application object
    const output::AzimuthGraph graph =
        output::plotAzimuthGraph(results.AzimuthAngles, table, results.LastAngleIndex);
    const output::SaveResult saved = render::exportGraph(graph.list, path);
    if (!saved.ok) {
        failFile("plot", saved.error);
    }
}

}  // namespace lamivex::cli
