#pragma once
// The figures the command line writes as PNG, SVG or PDF without a display: the azimuth
// graph of a scan, the hits histogram of an iteration and the views.

#include <string>

#include "cli/figure_options.h"
#include "engine/angle_best_table.h"
#include "engine/scan_results.h"
#include "iteration/match_records.h"
#include "output/display_list.h"

namespace lamivex::cli {

// The size of a graph or histogram when --size is not given.
inline constexpr const char* kDefaultFigureSize = "160x120mm";
inline constexpr double kDefaultFigureDpi = 144;

// Refuses a file type the figure cannot be written as, before the run starts.
// Throws InputError naming option.
void checkPlotPath(const std::string& option, const std::string& path);

// Draws offscreen and writes through a temporary file, so a failure leaves no partial file.
// Throws InputError naming size when the figure has no room for its text, FileError naming
// plot when the file cannot be written.
void writeGraphFigure(const std::string& path, const engine::ScanResults& results,
                      const engine::AngleBestTable& table, const Figure& figure);
void writeHistogramFigure(const std::string& path, const iteration::HitCounts& hits,
                          const Figure& figure);

// Writes a view of widthPt × heightPt, its PNG at dpi. Throws InputError naming option for a
// type it cannot write, FileError when it cannot be written.
void writeViewPicture(const std::string& option, const std::string& path,
                      const output::DisplayList& picture, double widthPt, double heightPt,
                      double dpi, const std::string& title);

}  // namespace lamivex::cli
