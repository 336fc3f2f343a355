// Spots found on pictures the tests paint themselves (synthetic_image.cpp): every spot clear
// of the gun's shadow found within half a pixel, nothing made up from the shadow's edge or
// from noise, and the fit of the found spots.

#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "fit/image_levels.h"
#include "fit/leed_fit.h"
#include "fit/spot_finder.h"
#include "synthetic_image.h"

namespace lamivex::fit {
namespace {

// (√7×√7)R19.1° on Cu(111), both mirror domains: b1 = 2.5562·√7 Å at 19.1066°.
const testing::KnownPattern kSqrt7{2.5562, 60, 6.763108, 6.763108, 60, 19.106605, true, 1.5};

double nearest(const std::vector<Spot>& among, double x, double y) {
    double best = INFINITY;
    for (const Spot& s : among) {
        best = std::min(best, std::hypot(s.x - x, s.y - y));
    }
    return best;
}

TEST(SpotFinder, FindsEverySpotClearOfTheShadowWithinHalfAPixel) {
    for (const std::uint32_t seed : {3U, 8U, 21U}) {
        testing::ScreenSettings settings;
        settings.seed = seed;
        const testing::SyntheticScreen screen = testing::makeScreen(kSqrt7, settings);
        const testing::CameraPicture picture = testing::photograph(screen, 1024, seed);
        const SpotSearch search = findSpots(picture.image);
        const std::vector<Spot> found = spotsOf(search);
        for (std::size_t i = 0; i < screen.spots.size(); ++i) {
            if (picture.clear[i]) {
                EXPECT_LT(nearest(found, screen.spots[i].x, screen.spots[i].y), 0.5)
                    << "seed " << seed << " spot " << i;
            }
        }
        for (const Spot& f : found) {
            EXPECT_LT(testing::distanceToPainted(screen, f.x, f.y), 0.5)
                << "seed " << seed << ": made-up spot at " << f.x << ", " << f.y;
        }
        EXPECT_GT(search.maskedPixels, 0U) << "the gun's shadow was not left out";

        const LeedFit fit = fitLeed(found, {kSqrt7.a, kSqrt7.a, kSqrt7.alpha});
        EXPECT_NEAR(fit.cell.b1, kSqrt7.b1, 0.005 * kSqrt7.b1) << "seed " << seed;
        EXPECT_NEAR(fit.cell.b2, kSqrt7.b2, 0.005 * kSqrt7.b2) << "seed " << seed;
        ASSERT_FALSE(fit.candidates.empty());
        EXPECT_EQ(fit.candidates.front().matrix, (engine::IntMatrix2{2, 1, -1, 3}));
    }
}

TEST(SpotFinder, NoiseGivesNoCell) {
    const SpotSearch search = findSpots(testing::noisePicture(512, 5));
    EXPECT_LE(search.spots.size(), 2U);
    EXPECT_THROW((void)fitLeed(spotsOf(search), {2.5562, 2.5562, 60}), FitError);
}

TEST(SpotFinder, RefusesWhatCannotBeSearched) {
    EXPECT_THROW((void)findSpots(GreyImage{}), FitError);
    const GreyImage flat{16, 16, std::vector<float>(256, 7.0F)};
    EXPECT_TRUE(findSpots(flat).spots.empty());
    for (const double threshold : {0.0, -3.0, std::nan("")}) {
        SpotFinding finding;
        finding.threshold = threshold;
        EXPECT_THROW((void)findSpots(flat, finding), FitError) << threshold;
    }
}

// The screen shows 0–255: 0 at the low quantile and below, 255 at the high one and above,
// straight between. Values 0…99: the 0.5 % quantile is 0, the 99.9 % one is 98.
TEST(DisplayLevels, StretchesBetweenTheQuantiles) {
    GreyImage ramp{100, 1, {}};
    for (int i = 0; i < 100; ++i) {
        ramp.values.push_back(static_cast<float>(i));
    }
    const std::vector<std::uint8_t> levels = displayLevels(ramp);
    const struct {
        std::size_t at;
        int level;
    } cases[] = {{0, 0}, {49, 128}, {98, 255}, {99, 255}};
    for (const auto& c : cases) {
        EXPECT_EQ(levels[c.at], c.level) << c.at;
    }
    const GreyImage flat{4, 1, {7, 7, 7, 7}};
    EXPECT_EQ(displayLevels(flat), std::vector<std::uint8_t>(4, 0));
}

}  // namespace
}  // namespace lamivex::fit
