// The views as display lists: every site and spot drawn once inside the picture, coloured
// as its legend says, and the zoom showing the middle only.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "output/view_pictures.h"

namespace lamivex::output {
namespace {

const engine::SubstrateCell kHexagonal{2.8836, 2.8836, 60};

views::Basis2 overlayer(double b1, double b2, double beta, double angle) {
    return views::overlayerBasis({kHexagonal, b1, b2, beta, angle});
}

bool inside(const CoordinateSystem& cs, Point p) {
    return p.x >= std::min(cs.left, cs.right) && p.x <= std::max(cs.left, cs.right) &&
           p.y >= std::min(cs.top, cs.bottom) && p.y <= std::max(cs.top, cs.bottom);
}

TEST(ViewPicturesTest, RealSpaceDrawsEverySiteColouredByItsRegistry) {
    views::RealSpaceOptions options;
    options.m = options.n = 4;
    const views::RealSpaceScene scene = views::realSpaceScene(views::substrateBasis(kHexagonal),
                                                              overlayer(3.7, 4.1, 70, 11), options);
    const DisplayList list = realSpacePicture(scene);
    const std::vector<Disc> discs = list.discs();
    ASSERT_EQ(discs.size(), scene.substrateSites.size() + scene.overlayerSites.size());
    // The overlayer's discs follow the substrate's, grouped by colour in any order.
    std::map<std::pair<double, double>, Rgb> overlayerDiscs;
    for (std::size_t i = scene.substrateSites.size(); i < discs.size(); ++i) {
        overlayerDiscs[{discs[i].centre.x, discs[i].centre.y}] = discs[i].colour;
        EXPECT_TRUE(inside(list.coordinates, discs[i].centre));
    }
    for (const views::OverlayerSite& s : scene.overlayerSites) {
        const auto found = overlayerDiscs.find({s.position.x, s.position.y});
        ASSERT_NE(found, overlayerDiscs.end());
        EXPECT_EQ(found->second, registryColour(s.registry));
    }
    EXPECT_EQ(registryColour(0.5), registryColour(0.7));  // the top of the scale
    EXPECT_NE(registryColour(0), registryColour(0.25));

    // Zoomed in twice, the middle half across: the outer points are left out.
    const DisplayList zoomed = realSpacePicture(scene, {2, ""});
    EXPECT_NEAR(zoomed.coordinates.width() * 2, list.coordinates.width(), 1e-9);
    EXPECT_LT(zoomed.discs().size(), discs.size());
}

TEST(ViewPicturesTest, LeedDrawsEverySpotAndALegendLinePerDomain) {
    const views::LeedPattern pattern =
        views::leedPattern(views::substrateBasis(kHexagonal), overlayer(7.3, 5.1, 75, 13.7), {});
    const DisplayList list = leedPicture(pattern);
    std::size_t spots = 0;
    for (const Disc& d : list.discs()) {
        spots += d.filled && inside({-pattern.k0, pattern.k0, pattern.k0, -pattern.k0}, d.centre)
                     ? 1
                     : 0;
    }
    // Every spot, and the legend's markers outside the screen.
    EXPECT_EQ(spots, pattern.spots.size());
    std::size_t legend = 0;
    for (const TextItem& t : list.texts()) {
        for (const views::Domain& d : pattern.domains) {
            legend += t.text == domainLabel(d) ? 1 : 0;
        }
    }
    EXPECT_EQ(legend, pattern.domains.size());
    LeedPictureOptions one;
    one.oneColour = true;
    for (const Disc& d : leedPicture(pattern, one).discs()) {
        EXPECT_TRUE(d.colour == kOneOverlayerColour || d.colour == kBlack ||
                    !inside({-pattern.k0, pattern.k0, pattern.k0, -pattern.k0}, d.centre) ||
                    !d.filled);
    }
}

// A scale bar: a label "<n> <unit>" centred over a horizontal line n long; nullopt when there
// is none.
std::optional<double> scaleBar(const DisplayList& list, const std::string& unit) {
    for (const TextItem& t : list.texts()) {
        const std::string tail = " " + unit;
        if (t.text.size() <= tail.size() ||
            t.text.compare(t.text.size() - tail.size(), tail.size(), tail) != 0) {
            continue;
        }
        const double n = std::strtod(t.text.c_str(), nullptr);
        for (const LineSegment& l : list.lines()) {
            if (l.from.y == l.to.y && std::fabs((l.from.x + l.to.x) / 2 - t.topLeft.x) < 1e-9 &&
                t.topLeft.y > l.from.y && t.align == TextAlign::Centre) {
                EXPECT_NEAR(std::fabs(l.to.x - l.from.x), n, 1e-9 * n) << t.text;
                return n;
            }
        }
    }
    return std::nullopt;
}

TEST(ViewPicturesTest, RealSpaceOpensOnTheOriginCellsWithAScaleAndNamedVectors) {
    const views::RealSpaceScene scene =
        views::realSpaceScene(views::substrateBasis(kHexagonal), overlayer(3.7, 4.1, 70, 11), {});
    const double zoom = realSpaceOpeningZoom(scene);
    ASSERT_GT(zoom, 5);  // 25 cells each way, a few shown
    const DisplayList opening = realSpacePicture(scene, {zoom, ""});
    const views::Basis2& b = scene.overlayer;
    for (const views::Vec2 corner : {views::Vec2{0, 0}, b.v1, b.v2, b.v1 + b.v2}) {
        EXPECT_TRUE(inside(opening.coordinates, {corner.x, corner.y}));
    }
    // A few cells' points; the whole domain's 51 × 51 one step out, at zoom 1.
    EXPECT_LT(opening.discs().size(), 200U);
    EXPECT_GE(realSpacePicture(scene, {1, ""}).discs().size(), 51U * 51U);

    // The scale bar's length is its label, in Angstroms, and it fits the legend.
    const std::optional<double> bar = scaleBar(opening, "Å");
    ASSERT_TRUE(bar.has_value());
    EXPECT_LT(*bar, opening.coordinates.width() / 4);
    EXPECT_GT(*bar, opening.coordinates.width() / 40);

    // Each vector named once, beside its middle.
    const std::map<std::string, views::Vec2> tips = {
        {"a1", scene.substrate.v1}, {"a2", scene.substrate.v2}, {"b1", b.v1}, {"b2", b.v2}};
    std::set<std::string> named;
    for (const TextItem& t : opening.texts()) {
        const auto tip = tips.find(t.text);
        if (tip != tips.end()) {
            EXPECT_TRUE(named.insert(t.text).second) << t.text;
            const double off = std::hypot(t.topLeft.x - tip->second.x / 2,
                                          t.topLeft.y - t.height / 2 - tip->second.y / 2);
            EXPECT_LT(off, 1.5 * t.height) << t.text;
        }
    }
    EXPECT_EQ(named.size(), 4U);
}

TEST(ViewPicturesTest, LeedLegendNamesDomainsByAzimuthWithSubstrateAndKScale) {
    // Hexagonal substrate, mirrors: b1 at 19.1° turned by 60° and 120° (139.1° is -40.9°, the
    // lattice being the same turned by 180°), and mirrored across a1 (-19.1°, +40.9°, -79.1°).
    const views::LeedPattern pattern =
        views::leedPattern(views::substrateBasis(kHexagonal), overlayer(7.3, 5.1, 75, 19.1), {});
    const DisplayList list = leedPicture(pattern);
    std::set<std::string> labels;
    std::optional<Point> substrateLabel;
    for (const TextItem& t : list.texts()) {
        if (t.text.find("°") != std::string::npos && t.text.find("eV") == std::string::npos) {
            labels.insert(t.text);
        }
        if (t.text == "Substrate") {
            substrateLabel = t.topLeft;
        }
    }
    const std::set<std::string> expected = {
        "+19.1°", "+79.1°", "−40.9°", "−19.1° mirrored", "+40.9° mirrored", "−79.1° mirrored"};
    EXPECT_EQ(labels, expected);
    // The substrate's black spot beside its name, outside the screen.
    ASSERT_TRUE(substrateLabel.has_value());
    bool marker = false;
    for (const Disc& d : list.discs()) {
        marker = marker || (d.colour == kBlack && d.filled && d.centre.x < substrateLabel->x &&
                            std::fabs(d.centre.y - substrateLabel->y) < 0.1 * pattern.k0 &&
                            d.centre.x > pattern.k0);
    }
    EXPECT_TRUE(marker);
    const std::optional<double> bar = scaleBar(list, "Å⁻¹");
    ASSERT_TRUE(bar.has_value());
    EXPECT_LT(*bar, pattern.k0);
}

TEST(ViewPicturesTest, ExportedViewsLeaveAMarginAroundTheirTitleAndSayWhenCropped) {
    views::RealSpaceOptions big;
    big.m = big.n = 400;  // far above the points a picture draws
    const views::Basis2 substrate = views::substrateBasis(kHexagonal);
    const views::RealSpaceScene cropped =
        views::realSpaceScene(substrate, overlayer(3.7, 4.1, 70, 11), big);
    ASSERT_TRUE(cropped.cropped);
    const views::RealSpaceScene whole =
        views::realSpaceScene(substrate, overlayer(3.7, 4.1, 70, 11), {});
    const views::LeedPattern pattern =
        views::leedPattern(substrate, overlayer(7.3, 5.1, 75, 19.1), {});
    const DisplayList pictures[] = {realSpacePicture(cropped, {1, "Title"}),
                                    realSpacePicture(whole, {1, "Title"}),
                                    leedPicture(pattern, {{1, "Title"}})};
    for (const DisplayList& list : pictures) {
        const CoordinateSystem& cs = list.coordinates;
        bool titled = false;
        for (const TextItem& t : list.texts()) {
            if (t.text == "Title") {
                titled = true;
                EXPECT_GT(t.topLeft.x - cs.left, 0.02 * cs.width());
                EXPECT_GT(cs.top - t.topLeft.y, 0.02 * std::fabs(cs.height()));
            }
        }
        EXPECT_TRUE(titled);
    }
    const auto says = [](const DisplayList& list) {
        for (const TextItem& t : list.texts()) {
            if (t.text.find("Cropped") != std::string::npos) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(says(pictures[0]));
    EXPECT_FALSE(says(pictures[1]));
}

}  // namespace
}  // namespace lamivex::output
