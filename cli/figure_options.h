#pragma once
// --size, --dpi and --font-size of the commands that write a figure.

#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "output/figure_layout.h"

namespace lamivex::cli {

struct FigureOptions {
    std::optional<std::string> size;
    std::string dpi;
    std::string fontSize = "10";
};

struct Figure {
    output::FigureStyle style;
    double dpi = 144;
};

// Adds the three options; defaultSize and defaultDpi are what the help text shows.
// withFontSize off for pictures without text to size.
void addFigureOptions(CLI::App& command, FigureOptions& options, const std::string& defaultSize,
                      double defaultDpi, bool withFontSize);

// The figure the options ask for, or the default size at the default resolution. Throws
// InputError naming size, dpi or font-size.
[[nodiscard]] Figure figureFrom(const FigureOptions& options, const std::string& defaultSize,
                                double defaultDpi);

}  // namespace lamivex::cli
