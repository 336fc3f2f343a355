#include "output/view_pictures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

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

// The picture's frame: a square plot of half-width h centred on the origin, a band for the
// caption above it and a column for the legend to its right.
CoordinateSystem frameFor(double h, double legendShare) {
    return {-h, 1.12 * h, h + legendShare * h, -h};
}

void addCaption(DisplayList& list, const std::string& caption, double h) {
    if (!caption.empty()) {
        list.addText({-h, 1.10 * h}, caption, 1.4 * kLabelShare * h);
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
    return fmt::format("{}°{}", std::lround(domain.rotationDegrees),
                       domain.mirrored ? " mirrored" : "");
}

DisplayList realSpacePicture(const views::RealSpaceScene& scene,
                             const ViewPictureOptions& options) {
    const double zoom = std::max(options.zoom, 1e-6);
    const double h = std::max({scene.halfWidth, scene.halfHeight, scene.spacing}) / zoom;
    DisplayList list;
    list.coordinates = frameFor(h, 0.5);
    list.hasBackground = true;

    DisplayList plot;
    const double siteRadius = 0.12 * scene.spacing;
    for (const views::Vec2& site : scene.substrateSites) {
        plot.addDisc(at(site), siteRadius, kSubstrateSite);
    }
    const double overlayerSpacing =
        std::min(scene.overlayer.v1.length(), scene.overlayer.v2.length());
    const double pointRadius = 0.2 * std::min(scene.spacing, overlayerSpacing);
    for (const views::OverlayerSite& s : scene.overlayerSites) {
        plot.addDisc(at(s.position), pointRadius, registryColour(s.registry));
    }
    outlineCell(plot, scene.substrate, kSubstrateCell);
    outlineCell(plot, scene.overlayer, kBlack);
    if (scene.hasSupercell) {
        outlineCell(plot, scene.supercell, kSupercell);
    }
    addClipped(list, std::move(plot), h);
    addCaption(list, options.caption, h);

    // The colour scale: 0 at the bottom, 0.5 and more at the top.
    const double x0 = 1.08 * h;
    const double x1 = 1.16 * h;
    const double y0 = -0.6 * h;
    const double y1 = 0.6 * h;
    constexpr int kSteps = 25;
    for (int i = 0; i < kSteps; ++i) {
        const double a = y0 + (y1 - y0) * i / kSteps;
        const double b = y0 + (y1 - y0) * (i + 1) / kSteps;
        list.addRect({x0, a}, {x1, b}, registryColour(0.5 * (i + 0.5) / kSteps));
    }
    const double text = kLabelShare * h;
    list.addText({x1 + 0.03 * h, y0 + text / 2}, "0", text);
    list.addText({x1 + 0.03 * h, (y0 + y1) / 2 + text / 2}, "0.25", text);
    list.addText({x1 + 0.03 * h, y1 + text / 2}, "≥ 0.5", text);
    list.addText({x0, y1 + 4.0 * text}, "Registry", text);
    list.addText({x0, y1 + 2.9 * text}, "(substrate", text);
    list.addText({x0, y1 + 1.8 * text}, "spacings)", text);
    return list;
}

DisplayList leedPicture(const views::LeedPattern& pattern, const LeedPictureOptions& options) {
    const double zoom = std::max(options.zoom, 1e-6);
    const double h = 1.06 * pattern.k0 / zoom;
    DisplayList list;
    list.coordinates = frameFor(h, 0.62);
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
            plot.addDisc(at(s.g), 0.028 * h, kBlack);
        }
    }
    addClipped(list, std::move(plot), h);
    addCaption(list, options.caption, h);

    // The legend: the energy, then a line per domain in its colour.
    const double text = kLabelShare * h;
    const double x = 1.08 * h;
    double y = h;
    list.addText({x, y}, fmt::format("E = {:g} eV", pattern.energyEv), text);
    y -= 1.3 * text;
    list.addText({x, y}, fmt::format("k0 = {:.3f} Å⁻¹", pattern.k0), text);
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
    return list;
}

}  // namespace lamivex::output
