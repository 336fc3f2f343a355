// The fit of known cells from synthetic patterns (made by synthetic_pattern.cpp, not by the
// fitter), and the refusals of spots that cannot give a cell.

#include <cmath>
#include <optional>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "fit/leed_fit.h"
#include "synthetic_pattern.h"

namespace lamivex::fit {
namespace {

using testing::KnownPattern;
using testing::ScreenSettings;

struct KnownCase {
    const char* name;
    KnownPattern pattern;
    bool markSubstrate;
    std::optional<engine::IntMatrix2> matrix;  // the commensurate cell's, by hand
};

// The cells, each in the form the fit reports (|b1| ≤ |b2|, beta ≤ 90°, the smallest azimuth
// of the domains):
//  (√7×√7)R19.1° on Cu(111), alpha 60: b1 = 2a1 + a2, |b1|² = (4 + 1 + 2)a², at
//    atan((√3/2)/(5/2)) = 19.1066°; b2 = −a1 + 3a2 at 79.1066°.
//  (4√2×5√2)R45° on Cu(100): b1 = 4a1 + 4a2, b2 = −5a1 + 5a2.
//  c(2×2) = (√2×√2)R45° on a square 2.7 Å substrate: b1 = a1 + a2, b2 = −a1 + a2.
//  an oblique cell on Ag(111) whose matrix has no whole-number neighbour.
const KnownCase kCases[] = {
    {"sqrt7_Cu111",
     {2.5562, 60, 2.5562 * std::sqrt(7.0), 2.5562 * std::sqrt(7.0), 60, 19.106605, true, 1.8},
     false,
     engine::IntMatrix2{2, 1, -1, 3}},
    {"PTCDA_Cu100",
     {2.5562, 90, 2.5562 * 4 * std::sqrt(2.0), 2.5562 * 5 * std::sqrt(2.0), 90, 45, true, 1.5},
     true,
     engine::IntMatrix2{4, 4, -5, 5}},
    {"oblique_Ag111", {2.8895, 60, 7.31, 9.07, 78.4, 13.7, true, 1.25}, true, std::nullopt},
    {"c2x2_square",
     {2.7, 90, 2.7 * std::sqrt(2.0), 2.7 * std::sqrt(2.0), 90, 45, true, 2.2},
     true,
     engine::IntMatrix2{1, 1, -1, 1}},
};

void PrintTo(const KnownCase& c, std::ostream* os) {
    *os << c.name;
}

double wrapped(double degrees, double period) {
    double d = std::fmod(degrees, period);
    if (d > period / 2) {
        d -= period;
    }
    if (d < -period / 2) {
        d += period;
    }
    return d;
}

class KnownCells : public ::testing::TestWithParam<std::tuple<KnownCase, std::uint32_t>> {};

TEST_P(KnownCells, CellRecoveredWithinItsUncertainties) {
    const auto& [known, seed] = GetParam();
    const KnownPattern& p = known.pattern;
    ScreenSettings settings;
    settings.seed = seed;
    settings.markSubstrate = known.markSubstrate;
    const testing::SyntheticScreen screen = testing::makeScreen(p, settings);
    const LeedFit fit = fitLeed(screen.spots, {p.a, p.a, p.alpha});

    // Angles compare modulo the substrate's rotation, which maps one domain onto another.
    const double period = p.alpha == 90 ? 90 : 60;
    const double errors[4] = {fit.cell.b1 - p.b1, fit.cell.b2 - p.b2, fit.cell.beta - p.beta,
                              wrapped(fit.cell.azimuth - p.azimuth, period)};
    const double sigmas[4] = {fit.sigma.b1, fit.sigma.b2, fit.sigma.beta, fit.sigma.azimuth};
    EXPECT_LE(std::fabs(errors[0]), 0.005 * p.b1);
    EXPECT_LE(std::fabs(errors[1]), 0.005 * p.b2);
    EXPECT_LE(std::fabs(errors[2]), 0.5);
    EXPECT_LE(std::fabs(errors[3]), 0.5);
    for (int i = 0; i < 4; ++i) {
        // Within three standard uncertainties, and the uncertainty not inflated past the
        // tolerance of the measurement.
        EXPECT_GT(sigmas[i], 0) << i;
        EXPECT_LE(std::fabs(errors[i]), 3 * sigmas[i]) << i;
    }
    EXPECT_LT(fit.rmsResidualScreen, 3 * 0.003 * screen.firstOrder);
    EXPECT_NEAR(fit.centre.x, screen.centreX, 0.01 * screen.firstOrder);
    EXPECT_NEAR(fit.centre.y, screen.centreY, 0.01 * screen.firstOrder);
    // The screen's turn, as the eye sees it, up to the substrate's own rotations.
    EXPECT_NEAR(wrapped(fit.calibration.rotationDegrees() - screen.rotation, period), 0, 0.5);
    for (const std::size_t i : screen.spuriousIndices) {
        EXPECT_EQ(fit.spots[i].assignment, Assignment::Unexplained) << "spurious spot " << i;
    }
    EXPECT_EQ(fit.unexplained.size(), screen.spuriousIndices.size());
    // A fifth of the pattern's spots were taken away: the fit must miss some, not many.
    EXPECT_FALSE(fit.missing.empty());
    if (known.matrix) {
        ASSERT_FALSE(fit.candidates.empty());
        EXPECT_EQ(fit.candidates.front().matrix, *known.matrix);
        ASSERT_TRUE(fit.candidates.front().name.has_value());
    } else {
        EXPECT_TRUE(fit.candidates.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Synthetic, KnownCells,
                         ::testing::Combine(::testing::ValuesIn(kCases),
                                            ::testing::Values(11U, 2024U)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_seed" +
                                    std::to_string(std::get<1>(info.param));
                         });

std::string refusal(const std::vector<Spot>& spots, const FitOptions& options = {}) {
    try {
        (void)fitLeed(spots, {2.5562, 2.5562, 60}, options);
    } catch (const FitError& e) {
        return e.what();
    }
    return "accepted";
}

TEST(BadSpots, RefusedWithTheReason) {
    std::vector<Spot> few = {{10, 0}, {0, 10}, {-10, 0}, {0, -10}, {7, 7}, {-7, -7}};
    EXPECT_EQ(refusal(few).rfind("Too few spots: 6 given, the fit needs at least 7", 0), 0U)
        << refusal(few);

    const testing::SyntheticScreen sqrt7 = testing::makeScreen(kCases[0].pattern, {});
    std::vector<Spot> allOverlayer = sqrt7.spots;
    for (Spot& s : allOverlayer) {
        s.kind = SpotKind::Overlayer;
    }
    EXPECT_EQ(refusal(allOverlayer).rfind("No substrate spots and no centre", 0), 0U)
        << refusal(allOverlayer);

    // Points of no pattern: uniform on a disc, with and without the centre given.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<Spot> noise;
    for (int i = 0; i < 80; ++i) {
        const double r = 300 * std::sqrt(unit(random));
        const double t = 2 * 3.141592653589793 * unit(random);
        noise.push_back({500 + r * std::cos(t), 500 + r * std::sin(t)});
    }
    EXPECT_EQ(refusal(noise).rfind("No cell found", 0), 0U) << refusal(noise);
    FitOptions centred;
    centred.centre = ScreenPoint{500, 500};
    EXPECT_EQ(refusal(noise, centred).rfind("No cell found", 0), 0U) << refusal(noise, centred);
}

}  // namespace
}  // namespace lamivex::fit
