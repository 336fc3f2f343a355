#include <gtest/gtest.h>

#include <cmath>

#include "engine/match_kernel.h"
#include "engine/rotation_scan.h"

namespace lamivex::engine {
namespace {

PassGeometry withKernel(PassGeometry g, KernelPath kernel) {
    g.kernel = kernel;
    return g;
}

void expectPathsAgree(const PassGeometry& g, int kBegin, int count) {
    StepBlock scalar;
    StepBlock fast;
    computeSteps(withKernel(g, KernelPath::Scalar), kBegin, count, scalar);
    computeSteps(withKernel(g, KernelPath::Fast), kBegin, count, fast);
    ASSERT_EQ(fast.count, count);
    for (int c = 0; c < count; ++c) {
        EXPECT_EQ(fast.theta[c], scalar.theta[c]);
        EXPECT_NEAR(fast.m11[c], scalar.m11[c], 1e-13);
        EXPECT_NEAR(fast.m12[c], scalar.m12[c], 1e-13);
        EXPECT_NEAR(fast.m21[c], scalar.m21[c], 1e-13);
        EXPECT_NEAR(fast.m22[c], scalar.m22[c], 1e-13);
        EXPECT_NEAR(fast.vvo[c], scalar.vvo[c], 1e-10) << "step " << kBegin + c;
    }
}

class FastKernelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!fastKernelAvailable()) {
            GTEST_SKIP() << "this processor has no AVX2/FMA: the program runs the scalar path";
        }
    }
};

TEST_F(FastKernelTest, AgreesWithScalarPathOnEveryBlockLength) {
    const PassGeometry square =
        makePassGeometry(2.88, 4.99, 90, 75, 7.3, 5.1, false, 0, 0.25F, 25, 25);
    const PassGeometry hexagonal =
        makePassGeometry(2.885, 2.885, 60, 75, 7.3, 5.1, true, 12.5, 0.1F, 25, 25);
    for (const int count : {1, 2, 3, 4, 5, 7, 63, 64}) {
        expectPathsAgree(square, 0, count);
        expectPathsAgree(hexagonal, 100, count);
    }
}

TEST_F(FastKernelTest, KeepsTheExactSpecialValues) {
    StepBlock block;
    // A single-point domain: every ratio is exactly 1.
    computeSteps(makePassGeometry(3, 3, 60, 60, 5, 5, true, 0, 1, 0, 0), 0, 9, block);
    for (int c = 0; c < 9; ++c) {
        EXPECT_EQ(block.vvo[c], -0.5);
    }
    // theta = alpha makes m11 exactly 0, where the limit replaces 0/0.
    const PassGeometry g = makePassGeometry(3, 3, 90, 90, 5, 5, false, 89.999, 1, 2, 2);
    computeSteps(g, 0, 1, block);
    EXPECT_EQ(block.theta[0], 90.0F);
    EXPECT_EQ(block.m11[0], 0.0);
    EXPECT_TRUE(std::isfinite(block.vvo[0]));
    expectPathsAgree(g, 0, 1);
}

TEST_F(FastKernelTest, ScanFindsTheSameBestOrientation) {
    MainFieldTexts f;
    f.b1 = "7.3";
    f.b2 = "5.1";
    f.beta = "75";
    f.chkgeo = true;
    f.txtUplim = "3";
    f.hexagonal = true;
    f.alpha = "60";
    ScanInputs in = scanInputsFrom(captureRun(f));
    ScanResults scalarResults;
    ScanResults fastResults;
    BestOrientation scalarBest;
    BestOrientation fastBest;
    in.kernel = KernelPath::Scalar;
    runRotationScan(in, scalarResults, scalarBest);
    in.kernel = KernelPath::Fast;
    runRotationScan(in, fastResults, fastBest);
    EXPECT_EQ(fastBest.BestAngle, scalarBest.BestAngle);
    EXPECT_EQ(fastBest.BestB1Multiple, scalarBest.BestB1Multiple);
    EXPECT_EQ(fastBest.BestB2Multiple, scalarBest.BestB2Multiple);
    EXPECT_NEAR(fastBest.BestVVo, scalarBest.BestVVo, 1e-10);
    ASSERT_EQ(fastResults.VVoTable.size(), scalarResults.VVoTable.size());
    for (std::size_t n = 0; n < fastResults.VVoTable.size(); ++n) {
        ASSERT_NEAR(fastResults.VVoTable[n], scalarResults.VVoTable[n], 1e-10) << n;
    }
}

}  // namespace
}  // namespace lamivex::engine
