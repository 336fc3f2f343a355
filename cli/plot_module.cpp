// lamivex-plot.so: the display-list painter for the command line, loaded only to draw.

#include "cli/plot_module.h"

#include "render/graph_export.h"
#include "render/grey_image_reader.h"
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

bool readGreyImage(const std::filesystem::path& path, lamivex::fit::GreyImage& image,
                   std::string& error) {
    const lamivex::render::GuiSession gui;  // image plugins need an application object
    lamivex::render::GreyImageRead read = lamivex::render::readGreyImage(path);
    error = std::move(read.error);
    image = std::move(read.image);
    return error.empty();
}

}  // namespace

extern "C" const lamivex::cli::PlotModule* lamivex_plot_module() {
    static const lamivex::cli::PlotModule module{lamivex::cli::kPlotModuleVersion, &exportFigure,
                                                 &readGreyImage};
    return &module;
}
