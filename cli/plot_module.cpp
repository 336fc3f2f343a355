// lamivex-plot.so: the display-list painter for the command line, loaded only to draw.

#include "cli/plot_module.h"

#include "render/graph_export.h"
#include "render/gui_session.h"

namespace {

lamivex::output::SaveResult exportFigure(const lamivex::output::DisplayList& picture,
                                         const std::filesystem::path& path, double widthPt,
                                         double heightPt, double dpi, const char* title,
                                         bool keepAspect) {
    const lamivex::render::GuiSession gui;  // text layout needs an application object
    return lamivex::render::exportFigure(picture, path,
                                         {widthPt, heightPt, dpi, title, keepAspect});
}

}  // namespace

extern "C" const lamivex::cli::PlotModule* lamivex_plot_module() {
    static const lamivex::cli::PlotModule module{lamivex::cli::kPlotModuleVersion, &exportFigure};
    return &module;
}
