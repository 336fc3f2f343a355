#include "engine/match_kernel.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/direct_sum.h"

namespace lamivex::engine {
namespace {

PassGeometry geometry(bool hexagonal, int m, int n) {
    // An oblique overlayer on a rectangular or hexagonal substrate, away from any symmetry.
    if (hexagonal) {
        return makePassGeometry(2.885, 2.885, 60, 75, 7.3, 5.1, true, 0, 0.25F, m, n);
    }
    return makePassGeometry(2.88, 4.99, 90, 75, 7.3, 5.1, false, 0, 0.25F, m, n);
}

TEST(AzimuthGridTest, OffsetAndSingleRounding) {
    EXPECT_EQ(azimuthAngle(0, 0.25F, 0), 0.001F);
    EXPECT_EQ(static_cast<double>(azimuthAngle(0, 0.25F, 1)), 0.25099998712539673);
    EXPECT_EQ(azimuthAngle(0, 0.1F, 599), 59.901F);
    EXPECT_EQ(azimuthAngle(10, 0.5F, 4), 12.001F);
}

TEST(MatrixTest, MatrixRebuildsTheOverlayerVectors) {
    // b1 = m11·a1 + m12·a2 and b2 = m21·a1 + m22·a2 with a1 along x and a2 at alpha.
    for (const bool hexagonal : {false, true}) {
        const PassGeometry g = geometry(hexagonal, 3, 3);
        for (const float theta : {0.001F, 17.3F, 44.251F, 133.0F}) {
            const StepValues v = computeStep(g, theta);
            const double al = g.alpha * kDegree;
            const double t = theta * kDegree;
            const double tb = (theta + g.beta) * kDegree;
            EXPECT_NEAR(v.m11 * g.a1 + v.m12 * g.a2 * std::cos(al), g.b1 * std::cos(t), 1e-12);
            EXPECT_NEAR(v.m12 * g.a2 * std::sin(al), g.b1 * std::sin(t), 1e-12);
            EXPECT_NEAR(v.m21 * g.a1 + v.m22 * g.a2 * std::cos(al), g.b2 * std::cos(tb), 1e-12);
            EXPECT_NEAR(v.m22 * g.a2 * std::sin(al), g.b2 * std::sin(tb), 1e-12);
        }
    }
}

TEST(MatchValueTest, ClosedFormAgreesWithDirectLatticeSum) {
    for (const bool hexagonal : {false, true}) {
        const PassGeometry g = geometry(hexagonal, 25, 25);
        for (int k = 0; k <= 240; k += 7) {
            const float theta = azimuthAngle(0, 0.25F, k);
            EXPECT_NEAR(computeStep(g, theta).vvo, directSumVVo(g, theta), 1e-9)
                << "hexagonal " << hexagonal << " theta " << theta;
        }
    }
}

TEST(MatchValueTest, CommensurateLayersReachTheirMinimum) {
    // Exactly in registry every wave argument is a whole number, where S(P, x) is a ratio of
    // two sines near zero: the rounding of pi·x leaves a relative error of about 1e-3 there.
    // c(2x2) on a square substrate: b = a·sqrt(2) at 45 degrees sits in phase everywhere.
    const PassGeometry square =
        makePassGeometry(1, 1, 90, 90, std::sqrt(2.0), std::sqrt(2.0), false, 0, 1, 10, 10);
    EXPECT_NEAR(computeStep(square, 45.0F).vvo, 0.0, 5e-3);
    // (sqrt3 x sqrt3)R30 on a hexagonal substrate: -0.5.
    const PassGeometry hex =
        makePassGeometry(1, 1, 60, 60, std::sqrt(3.0), std::sqrt(3.0), true, 0, 1, 10, 10);
    EXPECT_NEAR(computeStep(hex, 30.0F).vvo, -0.5, 5e-3);
    // Five degrees away the registry is lost.
    EXPECT_GT(computeStep(hex, 35.0F).vvo, 0.5);
}

TEST(MatchValueTest, SinglePointDomainIsAlwaysInPhase) {
    for (const float theta : {0.001F, 12.3F, 59.9F}) {
        EXPECT_EQ(computeStep(geometry(false, 0, 0), theta).vvo, 0.0);
        EXPECT_EQ(computeStep(geometry(true, 0, 0), theta).vvo, -0.5);
    }
}

TEST(MatchValueTest, ExactZeroArgumentTakesTheLimit) {
    // theta = alpha makes m11 exactly 0, so sin(pi·m11) is 0; S(P, 0) is P.
    const PassGeometry g = makePassGeometry(3, 3, 90, 90, 5, 5, false, 0, 1, 2, 2);
    const StepValues v = computeStep(g, 90.0F);
    EXPECT_EQ(v.m11, 0.0);
    EXPECT_TRUE(std::isfinite(v.vvo));
    EXPECT_NEAR(v.vvo, directSumVVo(g, 90.0F), 1e-9);
    EXPECT_EQ(waveTerm(5, 3, 0, 0), 15.0);
}

TEST(MatchValueTest, LargeDomainsNeedNoSixteenBitProduct) {
    // m = n = 64 overflowed a 16-bit D (2·129·129 = 33282).
    const PassGeometry g = geometry(false, 64, 64);
    EXPECT_EQ(g.D, 33282);
    const float theta = 21.001F;
    EXPECT_NEAR(computeStep(g, theta).vvo, directSumVVo(g, theta), 1e-9);
    EXPECT_EQ(makePassGeometry(1, 1, 90, 90, 1, 1, false, 0, 1, 32767, 32767).D,
              int64_t{2} * 65535 * 65535);
}

TEST(StepBlockTest, ScalarKernelMatchesSingleSteps) {
    PassGeometry g = geometry(true, 5, 7);
    g.kernel = KernelPath::Scalar;
    StepBlock block;
    computeSteps(g, 10, 20, block);
    ASSERT_EQ(block.count, 20);
    for (int c = 0; c < 20; ++c) {
        const StepValues v = computeStep(g, azimuthAngle(0, 0.25F, 10 + c));
        EXPECT_EQ(block.theta[c], v.theta);
        EXPECT_EQ(block.vvo[c], v.vvo);
        EXPECT_EQ(block.m22[c], v.m22);
    }
}

}  // namespace
}  // namespace lamivex::engine
