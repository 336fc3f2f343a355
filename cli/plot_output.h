#pragma once
// `scan --plot FILE`: the azimuth graph of the run as PNG, SVG or PDF, without a display.

#include <string>

#include "engine/angle_best_table.h"
#include "engine/scan_results.h"
#include "output/display_list.h"

namespace lamivex::cli {

// Refuses a file type the graph cannot be written as, before the run starts.
// Throws InputError naming "plot".
void checkPlotPath(const std::string& path);

// Draws the graph offscreen and writes it through a temporary file, so a failure leaves
// no partial file. Throws FileError naming "plot".
void writePlot(const std::string& path, const engine::ScanResults& results,
               const engine::AngleBestTable& table);

// Writes a view of width × height pixels to path. Throws InputError naming option for a type
// it cannot write, FileError when it cannot be written.
void writeViewPicture(const std::string& option, const std::string& path,
                      const output::DisplayList& picture, int width, int height,
                      const std::string& title);

}  // namespace lamivex::cli
