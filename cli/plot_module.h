#pragma once
// The painter the command line loads only when it writes a picture. It links Qt, which a
// command that prints numbers never needs: built as lib/lamivex/lamivex-plot.so beside
// bin/ and opened at run time by the command that draws.

#include <filesystem>
#include <string>

#include "fit/grey_image.h"
#include "output/atomic_save.h"
#include "output/display_list.h"

namespace lamivex::cli {

inline constexpr int kPlotModuleVersion = 4;
inline constexpr const char* kPlotModuleEntry = "lamivex_plot_module";

struct PlotModule {
    int version = kPlotModuleVersion;  // a module of another build is refused
    // Writes picture to path as PNG, SVG or PDF by its extension, through a temporary file,
    // widthPt × heightPt on paper, the PNG at dpi pixels per inch; keepAspect for a view,
    // which keeps the same scale both ways.
    output::SaveResult (*exportFigure)(const output::DisplayList& picture,
                                       const std::filesystem::path& path, double widthPt,
                                       double heightPt, double dpi, const char* title,
                                       bool keepAspect) = nullptr;
    // Reads a PNG, JPEG or TIFF picture as grey levels; false with error set when it cannot.
    bool (*readGreyImage)(const std::filesystem::path& path, fit::GreyImage& image,
                          std::string& error) = nullptr;
};

}  // namespace lamivex::cli

// The module's one entry point, found by name with dlsym.
extern "C" const lamivex::cli::PlotModule* lamivex_plot_module();
