#include "output/view_pictures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <numbers>

#include <fmt/format.h>

#include "output/printed_report.h"

namespace lamivex::output {
namespace {

constexpr Rgb kSubstrateSite{160, 160, 160};
constexpr Rgb kSubstrateCell{90, 90, 90};
constexpr Rgb kSupercell{200, 30, 30};
constexpr Rgb kScreen{120, 120, 120};

// A label's height, in half-widths of the plot.
constexpr double kLabelShare = 0.05;

Point at(views::Vec2 v) {
    return {v.x, v.y};
}

void outlineCell(DisplayList& list, const views::Basis2& cell, Rgb colour) {
    const views::Vec2 o{0, 0};
    const views::Vec2 corners[] = {o, cell.v1, cell.v1 + cell.v2, cell.v2, o};
    for (int i = 0; i < 4; ++i) {
        list.addLine(at(corners[i]), at(corners[i + 1]), colour);
    }
}

// Blank space around everything, in half-widths of the plot, so that an exported picture's
// caption does not touch its edge.
constexpr double kMarginShare = 0.06;

// The picture's frame: a square plot of half-width h centred on the origin, a band for the
// caption above it, a column for the legend to its right, a footer band of footerShare
// below it, and the margin all round.
CoordinateSystem frameFor(double h, double legendShare, double footerShare = 0) {
    const double margin = kMarginShare * h;
    return {-h - margin, 1.13 * h + margin, h + legendShare * h + margin,
            -h - footerShare * h - margin};
}

void addCaption(DisplayList& list, const std::string& caption, double h, double legendShare) {
    if (!caption.empty()) {
        list.addText({-h, 1.12 * h}, caption, 1.4 * kLabelShare * h);
        std::get<TextItem>(list.items.back()).maxWidth = (2 + legendShare) * h;
    }
}

void addCentredText(DisplayList& list, Point anchor, std::string text, double height,
                    Rgb colour = kBlack) {
    list.addText(anchor, std::move(text), height, TextFont::Proportional, colour);
    std::get<TextItem>(list.items.back()).align = TextAlign::Centre;
}

// The longest of 1, 2 or 5 times a power of ten that is at most longest.
double roundLengthUpTo(double longest) {
    const double decade = std::pow(10.0, std::floor(std::log10(longest)));
    for (const double step : {5.0, 2.0}) {
        if (step * decade <= longest) {
            return step * decade;
        }
    }
    return decade;
}

// A scale bar of a round length not above longest, from (x, y) to the right, with short
// ends and its length ("5 Å") centred above it.
void addScaleBar(DisplayList& list, Point start, double longest, double text, const char* unit) {
    const double length = roundLengthUpTo(longest);
    const Point end{start.x + length, start.y};
    list.addLine(start, end);
    for (const Point& p : {start, end}) {
        list.addLine({p.x, p.y - 0.3 * text}, {p.x, p.y + 0.3 * text});
    }
    addCentredText(list, {start.x + length / 2, start.y + 1.4 * text},
                   fmt::format("{:g} {}", length, unit), text);
}

// An arrow from the origin to v with its name beside its middle, on the side given (+1 left
// of the arrow, −1 right), clear of the sites at its ends and of a vector along the same line:
// drawn only when it is long enough beside its label to read, and named only when the name
// lies inside the plot.
void addVector(DisplayList& plot, views::Vec2 v, const char* name, Rgb colour, double side,
               double text, double h) {
    const double length = v.length();
    if (length < 2 * text) {
        return;
    }
    const views::Vec2 along = (1 / length) * v;
    const views::Vec2 across{-along.y, along.x};
    const double head = 0.6 * text;
    plot.addLine({0, 0}, at(v), colour);
    plot.addLine(at(v), at(v - head * along + 0.4 * head * across), colour);
    plot.addLine(at(v), at(v - head * along - 0.4 * head * across), colour);
    const views::Vec2 label = 0.5 * v + side * 0.9 * text * across;
    if (std::fabs(label.x) < h - text && std::fabs(label.y) < h - text) {
        addCentredText(plot, {label.x, label.y + text / 2}, name, text, colour);
    }
}

// The scene in its own coordinates mapped one to one onto the plot square: what lies
// outside the square is clipped away.
void addClipped(DisplayList& target, DisplayList scene, double h) {
    scene.coordinates = {-h, h, h, -h};
    appendMapped(target, scene, scene.coordinates);
}

}  // namespace

Rgb registryColour(double registry) {
    // Five stops of a scale that reads in grey too, from dark blue to yellow.
    static constexpr std::array<Rgb, 5> kStops = {
        Rgb{68, 1, 84}, Rgb{59, 82, 139}, Rgb{33, 145, 140}, Rgb{94, 201, 98}, Rgb{253, 231, 37}};
    const double t = std::clamp(registry / 0.5, 0.0, 1.0) * (kStops.size() - 1);
    const auto i = std::min(static_cast<std::size_t>(t), kStops.size() - 2);
    const double f = t - static_cast<double>(i);
    const auto mix = [f](int a, int b) {
        return static_cast<std::uint8_t>(std::lround(a + f * (b - a)));
    };
    return {mix(kStops[i].red, kStops[i + 1].red), mix(kStops[i].green, kStops[i + 1].green),
            mix(kStops[i].blue, kStops[i + 1].blue)};
}

Rgb domainColour(int domain) {
    static constexpr std::array<Rgb, 12> kColours = {
        Rgb{214, 39, 40},   Rgb{31, 119, 180},  Rgb{44, 160, 44}, Rgb{255, 127, 14},
        Rgb{148, 103, 189}, Rgb{23, 190, 207},  Rgb{140, 86, 75}, Rgb{227, 119, 194},
        Rgb{188, 189, 34},  Rgb{127, 127, 127}, Rgb{0, 0, 128},   Rgb{128, 0, 0}};
    return kColours[static_cast<std::size_t>(std::abs(domain)) % kColours.size()];
}

DisplayList viewPrintPage(const DisplayList& picture) {
    DisplayList page;
    page.coordinates = kPageCoordinates;
    const CoordinateSystem& cs = picture.coordinates;
    const double width = kPageCoordinates.width();
    const double height =
        std::min(width * std::fabs(cs.height() / cs.width()), kPageCoordinates.height());
    const double across = height * std::fabs(cs.width() / cs.height());
    const double left = (width - across) / 2;
    appendMapped(page, picture, {left, 0, left + across, height});
    return page;
}

std::string domainLabel(const views::Domain& domain) {
    // The direction of the domain's b1 from a1 (along x), to a tenth of a degree; a lattice
    // turned by 180° is the same lattice, so it reads within (−90°, 90°].
    const views::Vec2 b1 = domain.overlayer.v1;
    double azimuth = std::round(std::atan2(b1.y, b1.x) * 1800 / std::numbers::pi) / 10;
    while (azimuth <= -90) {
        azimuth += 180;
    }
    while (azimuth > 90) {
        azimuth -= 180;
    }
    const char* sign = azimuth > 0 ? "+" : (azimuth < 0 ? "−" : "");
    return fmt::format("{}{:.1f}°{}", sign, std::fabs(azimuth), domain.mirrored ? " mirrored" : "");
}

double realSpaceOpeningZoom(const views::RealSpaceScene& scene) {
    const views::Basis2& cell = scene.hasSupercell ? scene.supercell : scene.overlayer;
    const double reach = std::max((cell.v1 + cell.v2).length(), (cell.v1 - cell.v2).length());
    const double shown = std::max(1.25 * reach, 3 * scene.spacing);
    const double whole = std::max({scene.halfWidth, scene.halfHeight, scene.spacing});
    return std::max(1.0, whole / shown);
}

DisplayList realSpacePicture(const views::RealSpaceScene& scene,
                             const ViewPictureOptions& options) {
    constexpr double kLegendShare = 0.5;
    const double footerShare = scene.cropped ? 0.1 : 0;
    const double zoom = std::max(options.zoom, 1e-6);
    const double h = std::max({scene.halfWidth, scene.halfHeight, scene.spacing}) / zoom;
    const double text = kLabelShare * h;
    DisplayList list;
    list.coordinates = frameFor(h, kLegendShare, footerShare);
    list.hasBackground = true;

    // The sites as one group per colour, so that a file holds a few groups, not one per site.
    DisplayList plot;
    std::vector<Point> sites;
    sites.reserve(scene.substrateSites.size());
    for (const views::Vec2& site : scene.substrateSites) {
        sites.push_back(at(site));
    }
    plot.addDiscs(std::move(sites), 0.12 * scene.spacing, kSubstrateSite);
    const double overlayerSpacing =
        std::min(scene.overlayer.v1.length(), scene.overlayer.v2.length());
    const double pointRadius = 0.2 * std::min(scene.spacing, overlayerSpacing);
    std::map<std::uint32_t, std::vector<Point>> byColour;
    for (const views::OverlayerSite& s : scene.overlayerSites) {
        const Rgb c = registryColour(s.registry);
        byColour[(std::uint32_t{c.red} << 16) | (std::uint32_t{c.green} << 8) | c.blue].push_back(
            at(s.position));
    }
    for (auto& [key, centres] : byColour) {
        const Rgb colour{static_cast<std::uint8_t>(key >> 16),
                         static_cast<std::uint8_t>((key >> 8) & 0xff),
                         static_cast<std::uint8_t>(key & 0xff)};
        plot.addDiscs(std::move(centres), pointRadius, colour);
    }
    outlineCell(plot, scene.substrate, kSubstrateCell);
    outlineCell(plot, scene.overlayer, kBlack);
    if (scene.hasSupercell) {
        outlineCell(plot, scene.supercell, kSupercell);
    }
    // a1 and b1 named on opposite sides, so that names of vectors along one line never meet.
    addVector(plot, scene.substrate.v1, "a1", kSubstrateCell, -1, text, h);
    addVector(plot, scene.substrate.v2, "a2", kSubstrateCell, 1, text, h);
    addVector(plot, scene.overlayer.v1, "b1", kBlack, 1, text, h);
    addVector(plot, scene.overlayer.v2, "b2", kBlack, -1, text, h);
    addClipped(list, std::move(plot), h);
    addCaption(list, options.caption, h, kLegendShare);
    if (scene.cropped) {
        list.addText({-h, -1.02 * h}, "Cropped: the middle of a domain too large to draw whole",
                     text);
        std::get<TextItem>(list.items.back()).maxWidth = 2 * h;
    }

    // The colour scale: 0 at the bottom, 0.5 and more at the top.
    const double x0 = 1.08 * h;
    const double x1 = 1.16 * h;
    const double y0 = -0.5 * h;
    const double y1 = 0.6 * h;
    constexpr int kSteps = 25;
    for (int i = 0; i < kSteps; ++i) {
        const double a = y0 + (y1 - y0) * i / kSteps;
        const double b = y0 + (y1 - y0) * (i + 1) / kSteps;
        list.addRect({x0, a}, {x1, b}, registryColour(0.5 * (i + 0.5) / kSteps));
    }
    list.addText({x1 + 0.03 * h, y0 + text / 2}, "0", text);
    list.addText({x1 + 0.03 * h, (y0 + y1) / 2 + text / 2}, "0.25", text);
    list.addText({x1 + 0.03 * h, y1 + text / 2}, "≥ 0.5", text);
    list.addText({x0, y1 + 4.0 * text}, "Registry", text);
    list.addText({x0, y1 + 2.9 * text}, "(substrate", text);
    list.addText({x0, y1 + 1.8 * text}, "spacings)", text);
    addScaleBar(list, {x0, -0.9 * h}, (kLegendShare - 0.12) * h, text, "Å");
    return list;
}

DisplayList leedPicture(const views::LeedPattern& pattern, const LeedPictureOptions& options) {
    constexpr double kLegendShare = 0.7;
    const double zoom = std::max(options.zoom, 1e-6);
    const double h = 1.06 * pattern.k0 / zoom;
    const double substrateRadius = 0.028 * h;
    DisplayList list;
    list.coordinates = frameFor(h, kLegendShare);
    list.hasBackground = true;

    DisplayList plot;
    plot.addDisc({0, 0}, pattern.k0, kScreen, false);
    // The substrate's spots last, above the overlayer's that coincide with them.
    for (const views::LeedSpot& s : pattern.spots) {
        switch (s.source) {
            case views::SpotSource::Substrate:
                break;
            case views::SpotSource::Overlayer:
                plot.addDisc(at(s.g), 0.016 * h,
                             options.oneColour ? kOneOverlayerColour : domainColour(s.domain));
                break;
            case views::SpotSource::Multiple:
                plot.addDisc(at(s.g), 0.012 * h,
                             options.oneColour ? kOneOverlayerColour : domainColour(s.domain),
                             false);
                break;
        }
    }
    for (const views::LeedSpot& s : pattern.spots) {
        if (s.source == views::SpotSource::Substrate) {
            plot.addDisc(at(s.g), substrateRadius, kBlack);
        }
    }
    addClipped(list, std::move(plot), h);
    addCaption(list, options.caption, h, kLegendShare);

    // The legend: the energy, the substrate's spots, then a line per domain in its colour,
    // named by its azimuth; a scale of k at the bottom.
    const double text = kLabelShare * h;
    const double x = 1.08 * h;
    double y = h;
    list.addText({x, y}, fmt::format("E = {:g} eV", pattern.energyEv), text);
    y -= 1.3 * text;
    list.addText({x, y}, fmt::format("k0 = {:.3f} Å⁻¹", pattern.k0), text);
    y -= 1.8 * text;
    list.addDisc({x + 0.35 * text, y - 0.5 * text}, substrateRadius, kBlack);
    list.addText({x + 1.0 * text, y}, "Substrate", text);
    y -= 1.8 * text;
    list.addText({x, y},
                 pattern.domains.size() == 1 ? std::string("1 domain")
                                             : fmt::format("{} domains", pattern.domains.size()),
                 text);
    for (std::size_t d = 0; d < pattern.domains.size(); ++d) {
        y -= 1.3 * text;
        const Rgb colour =
            options.oneColour ? kOneOverlayerColour : domainColour(static_cast<int>(d));
        list.addDisc({x + 0.35 * text, y - 0.5 * text}, 0.3 * text, colour);
        list.addText({x + 1.0 * text, y}, domainLabel(pattern.domains[d]), text);
    }
    addScaleBar(list, {x, -0.9 * h}, (kLegendShare - 0.15) * h, text, "Å⁻¹");
    return list;
}

}  // namespace lamivex::output
