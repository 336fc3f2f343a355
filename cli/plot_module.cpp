// lamivex-plot.so: the display-list painter for the command line, loaded only to draw.

#include "cli/plot_module.h"

#include "render/graph_export.h"
#include "render/gui_session.h"

namespace {

lamivex::output::SaveResult exportPicture(const lamivex::output::DisplayList& picture,
                                          const std::filesystem::path& path) {
    const lamivex::render::GuiSession gui;  // text layout needs an application object
    return lamivex::render::exportGraph(picture, path);
}

lamivex::output::SaveResult exportSizedPicture(const lamivex::output::DisplayList& picture,
                                               const std::filesystem::path& path, int width,
                                               int height, const char* title) {
    const lamivex::render::GuiSession gui;
    return lamivex::render::exportPicture(picture, path, {width, height, title});
}

}  // namespace

extern "C" const lamivex::cli::PlotModule* lamivex_plot_module() {
    static const lamivex::cli::PlotModule module{lamivex::cli::kPlotModuleVersion, &exportPicture,
                                                 &exportSizedPicture};
    return &module;
}
