#include "output/histogram_plot.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <stdexcept>

#include <fmt/format.h>

#include "numbers/number_text.h"
#include "output/printed_report.h"

namespace lamivex::output {
namespace {

// The page's histogram: the full printable width, its height in proportion to the
// picture on screen.
constexpr double kPageHistogramHeight = 470;  // points
constexpr double kPageLabelHeight = 9;        // points
constexpr double kLabelGap = 0.3;             // user units between a label and its neighbour

void check(int low, int high, std::span<const int> hits, std::span<const int> geometric) {
    if (high < low) {
        throw std::invalid_argument(
            fmt::format("The upper degree {} lies below the lower "
                        "degree {}.",
                        high, low));
    }
    const auto bins = static_cast<std::size_t>(high - low) + 2;
    if (hits.size() < bins || geometric.size() < bins) {
        throw std::invalid_argument(
            fmt::format("The hit counts have {} and {} entries; degrees {} to {} "
                        "need {}.",
                        hits.size(), geometric.size(), low, high + 1, bins));
    }
    for (std::size_t i = 0; i < bins; ++i) {
        if (geometric[i] > hits[i] || geometric[i] < 0) {
            throw std::invalid_argument(fmt::format("Degree {} has {} geometric hits of {} hits.",
                                                    low + static_cast<int>(i), geometric[i],
                                                    hits[i]));
        }
    }
}

HistogramScale scaleFor(std::span<const int> hits, std::size_t bins, int low, int high) {
    HistogramScale s;
    for (std::size_t i = 0; i < bins; ++i) {
        s.HistogramMaxHits = std::max(s.HistogramMaxHits, hits[i]);
    }
    s.HistogramTop = 5 * (s.HistogramMaxHits / 5 + 1);
    if (s.HistogramTop >= 300) {
        s.labelStep = 25;
        s.labelX = -6;
        s.tickStep = 5;
    } else if (s.HistogramTop >= 100) {
        s.labelStep = 10;
        s.labelX = -6;
        s.tickStep = 2;
    }
    s.degreeLabelStep = high - low > 69 ? 4 : 2;
    return s;
}

// The label's left edge moves left as the number grows wider.
double degreeLabelX(int degree, double xl) {
    double x = xl + 0.1;
    if (degree > 9.9) {
        x = xl - 0.05;
    }
    if (degree > 99.9) {
        x = xl - 0.1;
    }
    return x;
}

}  // namespace

HitsHistogram plotHistogram(int HistogramLowAngle, int HistogramHighAngle,
                            std::span<const int> HitsByAngle,
                            std::span<const int> GeometricHitsByAngle, double labelHeight) {
    const int L = HistogramLowAngle;
    const int H = HistogramHighAngle;
    check(L, H, HitsByAngle, GeometricHitsByAngle);
    const auto bins = static_cast<std::size_t>(H - L) + 2;

    HitsHistogram histogram;
    HistogramScale& s = histogram.scale;
    s = scaleFor(HitsByAngle, bins, L, H);
    const double T = s.HistogramTop;
    const double W = H + 1 - L;
    const auto level = [T](int hits) { return 100.0 * hits / T; };

    DisplayList& list = histogram.list;
    list.coordinates = kHistogramCoordinates;
    list.hasBackground = true;
    list.background = kWhite;
    list.addLine({102, 0}, {-2, 0});
    list.addLine({-2.5, 0}, {-2.5, 100});

    for (std::size_t bin = 0; bin < bins; ++bin) {
        const int i = L + static_cast<int>(bin);
        const double xl = 100.0 * (i - L) / W;
        const double xr = 100.0 * (i + 1 - L) / W;
        const int geometric = GeometricHitsByAngle[bin];
        const int regular = HitsByAngle[bin] - geometric;
        list.addLine({xl, -2}, {xl, 0});
        if (regular != 0) {
            list.addRect({xl, 0}, {xr, level(regular)}, kBlack);
        }
        if (geometric != 0) {
            list.addRect({xl, level(regular)}, {xr, level(HitsByAngle[bin])}, kGeometricGreen);
        }
        if (i % s.degreeLabelStep == 0) {
            list.addLine({xl, -3.25}, {xl, -2});
            list.addText({degreeLabelX(i, xl), -4}, std::to_string(i), labelHeight);
            // Up to the next label, less a small gap.
            std::get<TextItem>(list.items.back()).maxWidth =
                s.degreeLabelStep * 100.0 / W - kLabelGap;
        }
    }

    for (int h = 0; h <= s.HistogramTop; h += s.labelStep) {
        list.addText({s.labelX, level(h) + 0.5}, std::to_string(h), labelHeight);
        // Clear of the axis ticks, which start at x = -3; a wide number may use the margin
        // to the picture's left edge rather than shrink.
        TextItem& label = std::get<TextItem>(list.items.back());
        label.maxWidth = -3 - s.labelX - kLabelGap;
        label.leftRoom = s.labelX - kHistogramCoordinates.left - kLabelGap;
        list.addLine({-3, level(h)}, {100, level(h)});
    }
    for (int h = 0; h <= s.HistogramTop; h += s.tickStep) {
        list.addLine({-3, level(h)}, {-2, level(h)});
    }
    return histogram;
}

HitsHistogram plotHistogram(int HistogramLowAngle, int HistogramHighAngle,
                            std::span<const int> HitsByAngle,
                            std::span<const int> GeometricHitsByAngle,
                            const FigureStyle& publication, bool nearestDegree) {
    const int L = HistogramLowAngle;
    const int H = HistogramHighAngle;
    check(L, H, HitsByAngle, GeometricHitsByAngle);
    const auto bins = static_cast<std::size_t>(H - L) + 2;

    HitsHistogram histogram;
    histogram.scale = scaleFor(HitsByAngle, bins, L, H);
    const bool twoSeries = std::any_of(GeometricHitsByAngle.begin(),
                                       GeometricHitsByAngle.begin() + static_cast<long>(bins),
                                       [](int g) { return g > 0; });
    std::vector<LegendEntry> legend;
    if (twoSeries) {
        legend = {{"Regular hits", kBlack}, {"Geometric hits", kGeometricGreen}};
    }
    // Bin i counts the angles that round to the degree i, so its bar spans i - 0.5..i + 0.5
    // and stands centred on the tick of i (in rigid substrate runs those rounded down: i..i + 1).
    // The count axis ends at the first round value above the highest bar, which then never
    // touches the frame.
    const double binStart = nearestDegree ? -0.5 : 0;
    const double maxHits = histogram.scale.HistogramMaxHits;
    const double countStep = roundTickStep(maxHits, 5, true);
    const FigureFrame frame(
        histogram.list, publication, {kAngleAxisTitle, L + binStart, H + 2 + binStart, true},
        {kHitsAxisTitle, 0, (std::floor(maxHits / countStep) + 1) * countStep, true},
        std::move(legend));
    for (std::size_t bin = 0; bin < bins; ++bin) {
        const double i = L + static_cast<int>(bin);
        const int geometric = GeometricHitsByAngle[bin];
        const int regular = HitsByAngle[bin] - geometric;
        if (regular != 0) {
            histogram.list.addRect(frame(i + binStart, 0), frame(i + binStart + 1, regular),
                                   kBlack);
        }
        if (geometric != 0) {
            histogram.list.addRect(frame(i + binStart, regular),
                                   frame(i + binStart + 1, HitsByAngle[bin]), kGeometricGreen);
        }
    }
    frame.drawAxes(histogram.list);
    return histogram;
}

DisplayList histogramPrintPage(int HistogramLowAngle, int HistogramHighAngle,
                               std::span<const int> HitsByAngle,
                               std::span<const int> GeometricHitsByAngle) {
    const CoordinateSystem area{0, 0, kPageCoordinates.width(), kPageHistogramHeight};
    const double pointsPerUnit = kPageHistogramHeight / -kHistogramPageCoordinates.height();
    const HitsHistogram histogram =
        plotHistogram(HistogramLowAngle, HistogramHighAngle, HitsByAngle, GeometricHitsByAngle,
                      kPageLabelHeight / pointsPerUnit);

    // The picture's list redrawn in the page's taller coordinate system, with the title.
    DisplayList drawing = histogram.list;
    drawing.coordinates = kHistogramPageCoordinates;
    drawing.hasBackground = false;
    drawing.items.insert(drawing.items.begin() + 2, TextItem{{10, 116},
                                                             kHistogramPrintTitle,
                                                             kPageLabelHeight / pointsPerUnit,
                                                             TextFont::Proportional,
                                                             kBlack});

    DisplayList page;
    page.coordinates = kPageCoordinates;
    appendMapped(page, drawing, area);
    return page;
}

}  // namespace lamivex::output
