// The views as display lists: every site and spot drawn once inside the picture, coloured
// as its legend says, and the zoom showing the middle only.

#include <gtest/gtest.h>

#include <cmath>

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
    for (std::size_t i = 0; i < scene.overlayerSites.size(); ++i) {
        const Disc& d = discs[scene.substrateSites.size() + i];
        EXPECT_EQ(d.colour, registryColour(scene.overlayerSites[i].registry));
        EXPECT_TRUE(inside(list.coordinates, d.centre));
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

}  // namespace
}  // namespace lamivex::output
