#include "output/printed_report.h"

#include <stdexcept>

#include <fmt/format.h>

#include "numbers/number_text.h"
#include "output/graph_plot.h"

namespace lamivex::output {
namespace {

using numbers::formatFixed2;
using numbers::formatWhole;
using numbers::rightJustify;

constexpr int kHeaderLineCount = 35;

std::string fixed6(double v) {
    return rightJustify(formatFixed2(v), 6);
}
std::string whole6(double v) {
    return rightJustify(formatWhole(v), 6);
}

void checkTables(const ReportInputs& in) {
    const std::size_t steps = in.azimuthAngles.size();
    if (in.angleBestTable.size() != steps || in.angleMinVVo.size() != steps) {
        throw std::invalid_argument(fmt::format("per-angle tables of {}, {} and {} steps", steps,
                                                in.angleBestTable.size(), in.angleMinVVo.size()));
    }
}

void addTextLines(DisplayList& page, const std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i].empty()) {
            page.addText({0, static_cast<double>(i) * kPrintLineHeight}, lines[i], kPrintFontSize,
                         TextFont::Monospace);
        }
    }
}

// The graph window's frame and picture at twice their size, centred across the page,
// with its top at y.
void addGraph(DisplayList& page, const ReportInputs& in, double y) {
    constexpr double scale = 2;
    const double frameWidth = scale * (kGraphPictureWidth + 2 * kGraphFrameMargin);
    const double frameHeight = scale * (kGraphPictureHeight + 2 * kGraphFrameMargin);
    const double x = (kPageCoordinates.width() - frameWidth) / 2;
    page.addLine({x, y}, {x + frameWidth, y});
    page.addLine({x + frameWidth, y}, {x + frameWidth, y + frameHeight});
    page.addLine({x + frameWidth, y + frameHeight}, {x, y + frameHeight});
    page.addLine({x, y + frameHeight}, {x, y});

    const double left = x + scale * kGraphFrameMargin;
    const double top = y + scale * kGraphFrameMargin;
    const CoordinateSystem picture{left, top, left + scale * kGraphPictureWidth,
                                   top + scale * kGraphPictureHeight};
    // Labels in the printout's own font size, not blown up with the picture.
    const double pointsPerUnit = picture.height() / -kGraphCoordinates.height();
    const int lastAngleIndex = static_cast<int>(in.azimuthAngles.size()) - 1;
    const AzimuthGraph graph = plotAzimuthGraph(in.azimuthAngles, in.angleMinVVo, lastAngleIndex,
                                                kPrintFontSize / pointsPerUnit);
    appendMapped(page, graph.list, picture);
}

}  // namespace

std::vector<std::string> printedHeaderLines(const ReportInputs& in, SearchWording wording) {
    const ReportHeader h = reportHeader(in);
    std::string search = h.geometricSearch;
    if (in.fields.chkgeo && wording == SearchWording::MaximumMultiple) {
        search = "Searched for geometric solutions:  maximum multiple = " + h.maximumMultiple;
    }
    std::vector<std::string> lines = {""};
    lines.insert(lines.end(), h.program.begin(), h.program.begin() + 3);
    lines.insert(lines.end(), {"",
                               h.program[3],
                               "",
                               h.substrate,
                               h.a1,
                               h.a2,
                               h.alpha,
                               h.symmetry,
                               h.overlayer,
                               h.b1,
                               h.b2,
                               h.beta,
                               "",
                               h.parameters,
                               search,
                               h.m,
                               h.n,
                               h.lowerBound,
                               h.upperBound,
                               h.increment,
                               "",
                               h.matrix,
                               "              m11 : " + h.m11 + "         m12 : " + h.m12,
                               "              m21 : " + h.m21 + "         m22 : " + h.m22,
                               h.b1Multiple,
                               h.b2Multiple,
                               h.orientationAngle,
                               h.vvo});
    lines.insert(lines.end(), 3, std::string());
    return lines;
}

std::string graphDataRow(const ReportInputs& in, std::size_t k) {
    const engine::AngleBestRow& row = in.angleBestTable[k];
    std::string first = fixed6(in.azimuthAngles[k]) + "   " +
                        numbers::formatScientific(in.angleMinVVo[k], 4) + "    " +
                        whole6(row.b1Multiple) + std::string(10, ' ');
    std::string second = whole6(row.b2Multiple) + std::string(6, ' ') + fixed6(row.m11) +
                         fixed6(row.m12) + fixed6(row.m21) + fixed6(row.m22);
    return first + second;
}

std::vector<std::vector<std::string>> graphDataPageLines(const ReportInputs& in) {
    std::vector<std::vector<std::string>> pages;
    if (!in.fields.chkgeo) {
        return pages;
    }
    for (std::size_t k = 0; k < in.azimuthAngles.size(); ++k) {
        if (k % kGraphDataRowsPerPage == 0) {
            pages.push_back({kGraphDataTitle, "", kGraphDataHeading});
        }
        pages.back().push_back(graphDataRow(in, k));
    }
    return pages;
}

Pages printedReportPages(const ReportInputs& in, SearchWording wording) {
    checkTables(in);
    Pages pages;
    DisplayList& first = pages.emplace_back();
    first.coordinates = kPageCoordinates;
    addTextLines(first, printedHeaderLines(in, wording));
    addGraph(first, in, kHeaderLineCount * kPrintLineHeight);

    for (const std::vector<std::string>& lines : graphDataPageLines(in)) {
        DisplayList& page = pages.emplace_back();
        page.coordinates = kPageCoordinates;
        addTextLines(page, lines);
    }
    return pages;
}

}  // namespace lamivex::output
