#pragma once
// The printed report of a rotation run: the report file's header lines grouped by blank
// lines, the azimuth graph at twice its window size, and, after a run with the geometric
// search, the per-angle table on pages of 50 rows. Every page is a display list in
// points on a 540 x 780 printable area (y downward), which fits A4 and Letter.

#include <string>
#include <vector>

#include "output/display_list.h"
#include "output/report_file.h"

namespace lamivex::output {

// The two wordings of the geometric-search line; the window's two print commands each
// print one.
enum class SearchWording {
    UpTo,             // "Searched for geometric solutions up to 4", as in the file
    MaximumMultiple,  // "Searched for geometric solutions:  maximum multiple = 4"
};

inline constexpr CoordinateSystem kPageCoordinates{0, 0, 540, 780};  // points
inline constexpr double kPrintFontSize = 10;                         // points, monospace
inline constexpr double kPrintLineHeight = 11.5;                     // points
inline constexpr int kGraphDataRowsPerPage = 50;

// The graph window's picture size in points; the printout draws it twice as large.
inline constexpr double kGraphPictureWidth = 195;
inline constexpr double kGraphPictureHeight = 169;
inline constexpr double kGraphFrameMargin = 6;

inline constexpr const char* kGraphDataTitle = "GRAPH DATA:";
inline constexpr const char* kGraphDataHeading =
    "Az. Angle    V/Vo   multiple of b1  multiple of b2   m11   m12   m21   m22";

// Lines 1 to 35 of the first page; blank lines are empty strings.
[[nodiscard]] std::vector<std::string> printedHeaderLines(const ReportInputs& in,
                                                          SearchWording wording);

// The graph-data row of step k; its fields start at characters 0, 9, 23, 39, 51, 57, 63
// and 69.
[[nodiscard]] std::string graphDataRow(const ReportInputs& in, std::size_t k);

// The text lines of every graph-data page: the title, a blank line, the heading and up
// to 50 rows. Empty unless in.fields.chkgeo is set.
[[nodiscard]] std::vector<std::vector<std::string>> graphDataPageLines(const ReportInputs& in);

// Every page of the printout. The per-angle tables must have one row per azimuth step
// (std::invalid_argument otherwise), as those of a completed scan have.
[[nodiscard]] Pages printedReportPages(const ReportInputs& in, SearchWording wording);

}  // namespace lamivex::output
