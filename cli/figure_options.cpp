#include "cli/figure_options.h"

#include <cmath>
#include <stdexcept>

#include <fmt/format.h>

#include "cli/number_option.h"
#include "numbers/input_error.h"
#include "numbers/number_text.h"
#include "output/figure_size.h"

namespace lamivex::cli {

void addFigureOptions(CLI::App& command, FigureOptions& options, const std::string& defaultSize,
                      double defaultDpi, bool withFontSize) {
    options.dpi = fmt::format("{:g}", defaultDpi);
    command
        .add_option("--size", options.size,
                    fmt::format("Size of the picture: pixels (1200x900), or inches or "
                                "millimetres (6x4.5in, 160x120mm); SVG and PDF get the same "
                                "size on paper (default: {})",
                                defaultSize))
        ->type_name("WxH");
    command
        .add_option("--dpi", options.dpi, "Pixels per inch of a PNG, and of a size given in pixels")
        ->type_name("DPI")
        ->capture_default_str();
    if (withFontSize) {
        command.add_option("--font-size", options.fontSize, "Size of the text, points")
            ->type_name("PT")
            ->capture_default_str();
    }
}

Figure figureFrom(const FigureOptions& options, const std::string& defaultSize, double defaultDpi) {
    Figure figure;
    figure.dpi = options.dpi.empty() ? defaultDpi : numberOption("dpi", options.dpi);
    try {
        output::checkFigureDpi(figure.dpi);
    } catch (const std::invalid_argument& error) {
        numbers::failInput("dpi", error.what());
    }
    try {
        const output::FigureExtent extent =
            output::parseFigureSize(options.size.value_or(defaultSize), figure.dpi);
        figure.style.widthPt = extent.widthPt;
        figure.style.heightPt = extent.heightPt;
    } catch (const std::invalid_argument& error) {
        numbers::failInput("size", error.what());
    }
    figure.style.fontPt = numberOption("font-size", options.fontSize);
    if (!(figure.style.fontPt >= 4 && figure.style.fontPt <= 72)) {
        numbers::failInput("font-size",
                           fmt::format("must be from 4 to 72 points (it is {})", options.fontSize));
    }
    return figure;
}

}  // namespace lamivex::cli
