// The geometry of the two views, not their pixels: LEED spots where the textbook puts them,
// the domains a substrate's symmetry makes, every spot on the screen found, and the registry
// of real-space points against a direct search.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "views/domains.h"
#include "views/leed.h"
#include "views/real_space.h"

namespace lamivex::views {
namespace {

const engine::SubstrateCell kHexagonal{2.8836, 2.8836, 60};
const engine::SubstrateCell kSquare{2.5562, 2.5562, 90};

Basis2 overlayerOn(const engine::SubstrateCell& s, double b1, double b2, double beta,
                   double angle) {
    return overlayerBasis({s, b1, b2, beta, angle});
}

// The spots of a reciprocal lattice with |G| ≤ k0, counted over a range far wider than needed.
int bruteForceCount(const Basis2& reciprocal, double k0) {
    int count = 0;
    for (int h = -400; h <= 400; ++h) {
        for (int k = -400; k <= 400; ++k) {
            count += reciprocal.at(h, k).length() <= k0 * (1 + 1e-12) ? 1 : 0;
        }
    }
    return count;
}

TEST(LeedTest, RootThreeSpotsAreOneThirdOrderAndAllDomainsCoincide) {
    const Basis2 substrate = substrateBasis(kHexagonal);
    const Basis2 overlayer =
        overlayerOn(kHexagonal, 2.8836 * std::sqrt(3.0), 2.8836 * std::sqrt(3.0), 60, 30);
    const LeedPattern p = leedPattern(substrate, overlayer, {});
    EXPECT_EQ(p.domains.size(), 1U);
    // Found by a scan at 30.001°, still one domain; at 30.1° the mirror image is another.
    const auto at = [&](double angle) {
        const double b = 2.8836 * std::sqrt(3.0);
        return leedPattern(substrate, overlayerOn(kHexagonal, b, b, 60, angle), {}).domains.size();
    };
    EXPECT_EQ(at(30.001), 1U);
    EXPECT_EQ(at(30.1), 2U);
    const Basis2 astar = substrate.reciprocal();
    const double first = astar.v1.length();
    int shortest = 0;
    for (const LeedSpot& s : p.spots) {
        if (s.source != SpotSource::Overlayer || (s.h == 0 && s.k == 0)) {
            continue;
        }
        // The shortest overlayer spots: |a*| / √3, turned 30° off a substrate spot.
        if (std::fabs(s.g.length() - first / std::sqrt(3.0)) < 1e-9) {
            ++shortest;
            const double degrees = std::atan2(s.g.y, s.g.x) * 180 / std::numbers::pi;
            const double offSixty = std::remainder(
                degrees - std::atan2(astar.v1.y, astar.v1.x) * 180 / std::numbers::pi, 60.0);
            EXPECT_NEAR(std::fabs(offSixty), 30, 1e-6) << degrees;
        }
    }
    EXPECT_EQ(shortest, 6);
}

TEST(LeedTest, CentredTwoByTwoHasHalfOrderSpots) {
    const Basis2 substrate = substrateBasis(kSquare);
    const double b = 2.5562 * std::sqrt(2.0);
    const LeedPattern p = leedPattern(substrate, overlayerOn(kSquare, b, b, 90, 45), {});
    EXPECT_EQ(p.domains.size(), 1U);
    bool half = false;
    for (const LeedSpot& s : p.spots) {
        const Vec2 c = substrate.reciprocal().coordinates(s.g);
        if (s.source == SpotSource::Overlayer) {
            // Every overlayer spot is a half-order or integer-order spot of the substrate.
            EXPECT_NEAR(2 * c.x, std::round(2 * c.x), 1e-9);
            EXPECT_NEAR(c.x + c.y, std::round(c.x + c.y), 1e-9);
            half = half || (std::fabs(c.x - 0.5) < 1e-9 && std::fabs(c.y - 0.5) < 1e-9);
        }
    }
    EXPECT_TRUE(half);
}

TEST(LeedTest, DomainsFollowTheSubstratesSymmetry) {
    const struct {
        const char* what;
        engine::SubstrateCell substrate;
        LatticeKind kind;
        std::size_t withMirrors;
        std::size_t withoutMirrors;
    } kCases[] = {
        {"hexagonal at 60", kHexagonal, LatticeKind::Hexagonal, 12, 6},
        {"hexagonal at 120", {2.8836, 2.8836, 120}, LatticeKind::Hexagonal, 12, 6},
        {"square", kSquare, LatticeKind::Square, 8, 4},
        {"rectangular", {2.5562, 3.615, 90}, LatticeKind::Rectangular, 4, 2},
        {"centred rectangular", {3, 3, 75}, LatticeKind::CentredRectangular, 4, 2},
        {"oblique", {3.1, 4.7, 73.5}, LatticeKind::Oblique, 2, 2},
    };
    for (const auto& c : kCases) {
        const Basis2 substrate = substrateBasis(c.substrate);
        EXPECT_EQ(pointGroupOf(substrate).kind, c.kind) << c.what;
        // A general oblique overlayer has no symmetry but the 2-fold rotation every lattice
        // has: of its orientations, those turned by 180° give the same lattice and spots.
        const Basis2 overlayer = overlayerOn(c.substrate, 7.3, 5.1, 75, 13.7);
        EXPECT_EQ(orientationCount(substrate, true), c.withMirrors) << c.what;
        EXPECT_EQ(orientationCount(substrate, false), c.withoutMirrors) << c.what;
        EXPECT_EQ(domainsOf(substrate, overlayer, true).size(), c.withMirrors / 2) << c.what;
        EXPECT_EQ(domainsOf(substrate, overlayer, false).size(), c.withoutMirrors / 2) << c.what;
    }
}

TEST(LeedTest, EverySpotOnTheScreenIsFoundAndNoneOutside) {
    const struct {
        engine::SubstrateCell substrate;
        Basis2 overlayer;
        double energy;
    } kCases[] = {
        {kHexagonal, overlayerOn(kHexagonal, 7.3, 5.1, 75, 13.7), 60},
        {kSquare, overlayerOn(kSquare, 14.4, 18.1, 90, 45), 35},
        {{3.1, 4.7, 73.5}, overlayerOn({3.1, 4.7, 73.5}, 3.3, 9.9, 101, 201), 150},
        {{3.1, 4.7, 73.5}, overlayerOn({3.1, 4.7, 73.5}, 3.3, 9.9, 101, 201), 10},
    };
    for (const auto& c : kCases) {
        const Basis2 substrate = substrateBasis(c.substrate);
        const LeedPattern p = leedPattern(substrate, c.overlayer, {c.energy, true, true, false});
        ASSERT_NEAR(p.k0, 0.5123 * std::sqrt(c.energy), 1e-4 * std::sqrt(c.energy));
        int substrateSpots = 0;
        std::vector<int> perDomain(p.domains.size());
        for (const LeedSpot& s : p.spots) {
            EXPECT_LE(s.g.length(), p.k0 * (1 + 1e-12));
            if (s.source == SpotSource::Substrate) {
                ++substrateSpots;
            } else {
                ++perDomain[static_cast<std::size_t>(s.domain)];
            }
        }
        EXPECT_EQ(substrateSpots, bruteForceCount(substrate.reciprocal(), p.k0)) << c.energy;
        for (std::size_t d = 0; d < p.domains.size(); ++d) {
            EXPECT_EQ(perDomain[d], bruteForceCount(p.domains[d].overlayer.reciprocal(), p.k0))
                << c.energy << " domain " << d;
        }
    }
}

TEST(LeedTest, DoubleDiffractionAddsSpotsOnlyWhereTheLatticesDisagree) {
    LeedOptions options;
    options.multipleScattering = true;
    const Basis2 substrate = substrateBasis(kHexagonal);
    const double root3 = 2.8836 * std::sqrt(3.0);
    const auto multiple = [&](const Basis2& overlayer) {
        int count = 0;
        for (const LeedSpot& s : leedPattern(substrate, overlayer, options).spots) {
            count += s.source == SpotSource::Multiple ? 1 : 0;
        }
        return count;
    };
    EXPECT_EQ(multiple(overlayerOn(kHexagonal, root3, root3, 60, 30)), 0);
    EXPECT_GT(multiple(overlayerOn(kHexagonal, 3.1, 3.1, 60, 7)), 0);
}

TEST(LeedTest, RefusesWhatCannotBeDrawn) {
    const Basis2 substrate = substrateBasis(kSquare);
    const Basis2 overlayer = overlayerOn(kSquare, 3, 3, 90, 0);
    EXPECT_THROW((void)leedPattern(substrate, overlayer, {0, true, true, false}),
                 std::invalid_argument);
    EXPECT_THROW((void)leedPattern(substrate, overlayer, {-5, true, true, false}),
                 std::invalid_argument);
    const Basis2 huge = overlayerOn(kSquare, 3000, 3000, 90, 0);
    EXPECT_THROW((void)leedPattern(substrate, huge, {500, true, true, false}),
                 std::invalid_argument);
}

TEST(RealSpaceTest, CommensurateCellSitsOnSitesEverywhere) {
    const double root3 = 2.8836 * std::sqrt(3.0);
    const struct {
        engine::SubstrateCell substrate;
        Basis2 overlayer;
    } kCases[] = {
        {kHexagonal, overlayerOn(kHexagonal, root3, root3, 60, 30)},
        {kSquare,
         overlayerOn(kSquare, 2.5562 * 4 * std::sqrt(2.0), 2.5562 * 5 * std::sqrt(2.0), 90, 45)},
    };
    for (const auto& c : kCases) {
        const RealSpaceScene scene = realSpaceScene(substrateBasis(c.substrate), c.overlayer, {});
        EXPECT_EQ(scene.overlayerSites.size(), 51U * 51U);
        EXPECT_LT(scene.largestRegistry, 1e-9);
        EXPECT_FALSE(scene.cropped);
        EXPECT_FALSE(scene.substrateSites.empty());
    }
}

TEST(RealSpaceTest, LargestRegistryOfAnIncommensurateCellMatchesADirectSearch) {
    const Basis2 substrate = substrateBasis({3.1, 4.7, 73.5});
    const Basis2 overlayer = overlayerOn({3.1, 4.7, 73.5}, 5.37, 6.11, 81, 17.3);
    RealSpaceOptions options;
    options.m = options.n = 6;
    const RealSpaceScene scene = realSpaceScene(substrate, overlayer, options);
    // Nearest-neighbour distance of this substrate: its shortest lattice vector.
    double spacing = 1e9;
    for (int u = -5; u <= 5; ++u) {
        for (int v = -5; v <= 5; ++v) {
            if (u != 0 || v != 0) {
                spacing = std::min(spacing, substrate.at(u, v).length());
            }
        }
    }
    double largest = 0;
    for (int p = -6; p <= 6; ++p) {
        for (int q = -6; q <= 6; ++q) {
            const Vec2 at = overlayer.at(p, q);
            double nearest = 1e9;
            for (int u = -40; u <= 40; ++u) {
                for (int v = -40; v <= 40; ++v) {
                    nearest = std::min(nearest, (at - substrate.at(u, v)).length());
                }
            }
            largest = std::max(largest, nearest / spacing);
        }
    }
    EXPECT_GT(largest, 0.2);
    EXPECT_NEAR(scene.largestRegistry, largest, 1e-12);
    EXPECT_NEAR(scene.spacing, spacing, 1e-12);
}

TEST(RealSpaceTest, ALargeDomainIsShownInACentredWindow) {
    const Basis2 substrate = substrateBasis(kSquare);
    RealSpaceOptions options;
    options.m = options.n = 300;
    options.b1Multiple = 3;
    const RealSpaceScene scene =
        realSpaceScene(substrate, overlayerOn(kSquare, 9, 7, 80, 3), options);
    EXPECT_TRUE(scene.cropped);
    EXPECT_LE(scene.substrateSites.size() + scene.overlayerSites.size(),
              options.maxPoints * 11 / 10);
    EXPECT_TRUE(scene.hasSupercell);
    for (const OverlayerSite& s : scene.overlayerSites) {
        ASSERT_LE(std::fabs(s.position.x), scene.halfWidth);
        ASSERT_LE(std::fabs(s.position.y), scene.halfHeight);
    }
}

}  // namespace
}  // namespace lamivex::views
