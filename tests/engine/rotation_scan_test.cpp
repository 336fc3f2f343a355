#include "engine/rotation_scan.h"
#include "numbers/number_text.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "numbers/input_error.h"

namespace lamivex::engine {
namespace {

// These tests hold the scan to the scalar reference; fast_kernel_test.cpp compares the paths.
ScanInputs inputsFrom(const MainFieldTexts& fields) {
    ScanInputs in = scanInputsFrom(captureRun(fields));
    in.kernel = KernelPath::Scalar;
    return in;
}

struct ScanRun {
    ScanResults results;
    BestOrientation best;
    ScanStatus status = ScanStatus::Completed;
};

ScanRun scan(const MainFieldTexts& fields, const ScanCallbacks& callbacks = {}) {
    ScanRun run;
    run.status = runRotationScan(inputsFrom(fields), run.results, run.best, callbacks);
    return run;
}

std::string refusedField(const MainFieldTexts& fields) {
    ScanResults results;
    BestOrientation best;
    best.BestAngle = 42;
    try {
        runRotationScan(inputsFrom(fields), results, best);
    } catch (const numbers::InputError& e) {
        // Nothing is computed or reset before the refusal.
        EXPECT_EQ(results.LastAngleIndex, -1);
        EXPECT_EQ(best.BestAngle, 42.0F);
        EXPECT_EQ(best.BestVVo, 0.0);
        return e.field();
    }
    return "(accepted)";
}

TEST(StepCountTest, TruncatesTheSingleQuotient) {
    CalcSettings s;
    s.lowerAngle = 0;
    s.upperAngle = 60;
    s.angleSpacing = 0.1F;  // 60 / 0.100000001 = 599.99999...
    EXPECT_EQ(angleStepQuotient(s), 599);
    s.angleSpacing = 0.25F;
    EXPECT_EQ(angleStepQuotient(s), 240);
    s.upperAngle = 0;
    EXPECT_EQ(angleStepQuotient(s), 0);
}

TEST(RotationScanTest, DefaultRunHas241StepsInOnePass) {
    std::vector<std::pair<int, int>> passes;
    ScanCallbacks callbacks;
    callbacks.passStarting = [&](int i, int j, double, double) { passes.emplace_back(i, j); };
    const ScanRun run = scan(MainFieldTexts{}, callbacks);
    EXPECT_EQ(run.status, ScanStatus::Completed);
    EXPECT_EQ(run.results.LastAngleIndex, 240);
    EXPECT_EQ(run.results.AzimuthAngles.size(), 241U);
    EXPECT_EQ(run.results.AzimuthAngles[0], 0.001F);
    EXPECT_EQ(run.results.AzimuthAngles[240], 60.001F);
    EXPECT_EQ(passes, (std::vector<std::pair<int, int>>{{1, 1}}));
    // Square on square: the best is the first step, nearly in registry.
    EXPECT_EQ(run.best.BestAngle, 0.001F);
    EXPECT_LT(run.best.BestVVo, 1e-5);
    EXPECT_EQ(run.best.BestB1Multiple, 1);
    EXPECT_EQ(run.best.BestB2Multiple, 1);
}

TEST(RotationScanTest, SpacingOfOneTenthGives600Steps) {
    MainFieldTexts f;
    f.AngleSpacing = "0.1";
    const ScanRun run = scan(f);
    EXPECT_EQ(run.results.stepCount(), 600);
    EXPECT_EQ(run.results.AzimuthAngles.back(), 59.901F);
}

TEST(RotationScanTest, SinglePointDomainPicksTheFirstStepOfTheFirstPass) {
    MainFieldTexts f;
    f.b1size = "0";
    f.b2size = "0";
    f.chkgeo = true;
    f.txtUplim = "2";
    f.Lowerangle = "5";
    const ScanRun run = scan(f);
    EXPECT_EQ(run.best.BestVVo, 0.0);
    EXPECT_EQ(run.best.BestAngle, 5.001F);
    EXPECT_EQ(run.best.BestB1Multiple, 1);
    EXPECT_EQ(run.best.BestB2Multiple, 1);
    // Every later step equals it and does not replace it.
    for (int k = 0; k <= run.results.LastAngleIndex; ++k) {
        EXPECT_EQ(run.results.vvo(k, 2, 2), 0.0);
    }
}

TEST(RotationScanTest, GeometricPassesRunJOuterIInnerWithMultipliedLengths) {
    MainFieldTexts f;
    f.b1 = "2.8853";
    f.b2 = "3.141593";
    f.chkgeo = true;
    f.txtUplim = "2";
    // The lengths each pass computes with, written as its fields show them.
    std::vector<std::tuple<int, int, std::string, std::string>> passes;
    ScanCallbacks callbacks;
    callbacks.passStarting = [&](int i, int j, double b1, double b2) {
        passes.emplace_back(i, j, numbers::formatDouble(b1), numbers::formatDouble(b2));
    };
    const ScanRun run = scan(f, callbacks);
    const std::vector<std::tuple<int, int, std::string, std::string>> expected = {
        {1, 1, "2.8853", "3.141593"},
        {2, 1, "5.7706", "3.141593"},
        {1, 2, "2.8853", "6.283186"},
        {2, 2, "5.7706", "6.283186"}};
    EXPECT_EQ(passes, expected);

    // Each table slice holds its own pass; the per-angle arrays hold the last one.
    const ScanInputs in = inputsFrom(f);
    for (const auto& [i, j, b1, b2] : expected) {
        const PassGeometry g =
            makePassGeometry(in.a1, in.a2, in.alpha, in.beta, std::stod(b1), std::stod(b2), false,
                             in.lower, in.settings.angleSpacing, 25, 25);
        for (const int k : {0, 77, 240}) {
            const StepValues v = computeStep(g, run.results.AzimuthAngles[k]);
            EXPECT_EQ(run.results.vvo(k, i, j), v.vvo);
            EXPECT_EQ(run.results.matrix(k, i, j, 2), v.m12);
            EXPECT_EQ(run.results.matrix(k, i, j, 3), v.m21);
            if (i == 2 && j == 2) {
                EXPECT_EQ(run.results.M11(k), v.m11);
                EXPECT_EQ(run.results.M22(k), v.m22);
            }
        }
    }
}

TEST(RotationScanTest, SecondRunGivesTheSameResult) {
    MainFieldTexts f;
    f.b1 = "7.3";
    f.b2 = "5.1";
    f.beta = "75";
    f.chkgeo = true;
    f.txtUplim = "3";
    const ScanRun first = scan(f);
    const ScanRun second = scan(f);
    EXPECT_EQ(first.best.BestVVo, second.best.BestVVo);
    EXPECT_EQ(first.best.BestAngle, second.best.BestAngle);
    EXPECT_EQ(first.results.VVoTable, second.results.VVoTable);
}

TEST(RotationScanTest, BestIsTheFirstMinimumInScanOrder) {
    MainFieldTexts f;
    f.b1 = "7.3";
    f.b2 = "5.1";
    f.beta = "75";
    f.chkgeo = true;
    f.txtUplim = "3";
    const ScanRun run = scan(f);
    // Walk the tables in (j, i, k) order: the best must be the first strict minimum.
    double lowest = kScanStartBestVVo;
    int bestK = -1;
    int bestI = 0;
    int bestJ = 0;
    for (int j = 1; j <= 3; ++j) {
        for (int i = 1; i <= 3; ++i) {
            for (int k = 0; k <= run.results.LastAngleIndex; ++k) {
                if (run.results.vvo(k, i, j) < lowest) {
                    lowest = run.results.vvo(k, i, j);
                    std::tie(bestK, bestI, bestJ) = std::tuple{k, i, j};
                }
            }
        }
    }
    ASSERT_GE(bestK, 0);
    EXPECT_EQ(run.best.BestVVo, lowest);
    EXPECT_EQ(run.best.BestB1Multiple, bestI);
    EXPECT_EQ(run.best.BestB2Multiple, bestJ);
    EXPECT_EQ(run.best.BestPx, run.results.matrix(bestK, bestI, bestJ, 1));
    EXPECT_EQ(run.best.BestQy, run.results.matrix(bestK, bestI, bestJ, 2));
    EXPECT_EQ(run.best.BestQx, run.results.matrix(bestK, bestI, bestJ, 3));
    EXPECT_EQ(run.best.BestPy, run.results.matrix(bestK, bestI, bestJ, 4));
}

TEST(RotationScanTest, AbortTakesEffectAfterTheCurrentPass) {
    MainFieldTexts f;
    f.chkgeo = true;
    f.txtUplim = "2";
    int passesStarted = 0;
    ScanCallbacks callbacks;
    callbacks.passStarting = [&](int, int, double, double) { ++passesStarted; };
    callbacks.abortRequested = [&] { return passesStarted == 2; };
    const ScanRun run = scan(f, callbacks);
    EXPECT_EQ(run.status, ScanStatus::Aborted);
    EXPECT_EQ(passesStarted, 2);
    // Passes (1,1) and (2,1) finished; (1,2) and (2,2) were never written.
    EXPECT_NE(run.results.vvo(5, 2, 1), 0.0);
    for (int k = 0; k <= run.results.LastAngleIndex; ++k) {
        EXPECT_EQ(run.results.vvo(k, 1, 2), 0.0);
        EXPECT_EQ(run.results.vvo(k, 2, 2), 0.0);
    }
    EXPECT_LT(run.best.BestVVo, kScanStartBestVVo);
}

TEST(RotationScanTest, OnlyBestVVoIsResetWhenNothingBeatsIt) {
    // A single step at which a large incommensurate domain is out of registry.
    MainFieldTexts f;
    f.b1 = "7.3";
    f.b2 = "5.1";
    f.beta = "75";
    const ScanInputs defaults = inputsFrom(f);
    const PassGeometry g = makePassGeometry(defaults.a1, defaults.a2, defaults.alpha, defaults.beta,
                                            defaults.b1, defaults.b2, false, 0, 1, 25, 25);
    int degree = 0;
    while (degree < 360 && computeStep(g, azimuthAngle(degree, 1, 0)).vvo <= kScanStartBestVVo) {
        ++degree;
    }
    ASSERT_LT(degree, 360);
    f.Lowerangle = std::to_string(degree);
    f.Upperangle = f.Lowerangle;
    const ScanInputs in = inputsFrom(f);
    ScanRun run;
    run.best = {0.1, 7.0F, 1, 2, 3, 4, 5, 6};
    runRotationScan(in, run.results, run.best);
    EXPECT_EQ(run.best.BestVVo, kScanStartBestVVo);
    EXPECT_EQ(run.best.BestAngle, 7.0F);
    EXPECT_EQ(run.best.BestPy, 4.0);
    EXPECT_EQ(run.best.BestB2Multiple, 6.0);
}

TEST(RotationScanTest, ProgressEndsAtTheLastStep) {
    MainFieldTexts f;
    f.AngleSpacing = "0.1";
    std::vector<int> reported;
    ScanCallbacks callbacks;
    callbacks.progress = [&](int k, int last) {
        EXPECT_EQ(last, 599);
        reported.push_back(k);
    };
    (void)scan(f, callbacks);
    ASSERT_FALSE(reported.empty());
    EXPECT_EQ(reported.back(), 599);
    EXPECT_TRUE(std::is_sorted(reported.begin(), reported.end()));
    EXPECT_DOUBLE_EQ(progressFraction(599, 599), 1.0);
    EXPECT_DOUBLE_EQ(progressFraction(0, 0), 1.0);  // one step: done, not 0/0
    EXPECT_DOUBLE_EQ(progressFraction(150, 600), 0.25);
}

TEST(RefusalTest, EachMeaninglessSettingNamesItsField) {
    const auto with = [](auto change) {
        MainFieldTexts f;
        change(f);
        return refusedField(f);
    };
    EXPECT_EQ(with([](MainFieldTexts& f) { f.a1 = "0"; }), "a1");
    EXPECT_EQ(with([](MainFieldTexts& f) { f.a2 = "-1"; }), "a2");
    EXPECT_EQ(with([](MainFieldTexts& f) { f.b1 = "0"; }), "b1");
    EXPECT_EQ(with([](MainFieldTexts& f) { f.b2 = "-2.5"; }), "b2");
    EXPECT_EQ(with([](MainFieldTexts& f) { f.alpha = "0"; }), "alpha");
    EXPECT_EQ(with([](MainFieldTexts& f) { f.alpha = "180"; }), "alpha");
    EXPECT_EQ(with([](MainFieldTexts& f) { f.alpha = "-180"; }), "alpha");
    EXPECT_EQ(with([](MainFieldTexts& f) { f.AngleSpacing = "0"; }), "spacing");
    EXPECT_EQ(with([](MainFieldTexts& f) { f.AngleSpacing = "-0.25"; }), "spacing");
    EXPECT_EQ(with([](MainFieldTexts& f) { f.Upperangle = "-1"; }), "upper");
    EXPECT_EQ(with([](MainFieldTexts& f) { f.AngleSpacing = "0.0015"; }), "spacing");
    EXPECT_EQ(with([](MainFieldTexts& f) { f.b1size = "-1"; }), "m");
    EXPECT_EQ(with([](MainFieldTexts& f) { f.b2size = "-3"; }), "n");
    EXPECT_EQ(with([](MainFieldTexts& f) {
                  f.chkgeo = true;
                  f.txtUplim = "0";
              }),
              "max-multiple");
    EXPECT_EQ(with([](MainFieldTexts& f) {
                  f.chkgeo = true;
                  f.txtUplim = "1000";
              }),
              "max-multiple");
}

TEST(RefusalTest, LimitsThatStillWork) {
    MainFieldTexts f;
    f.Upperangle = "0";  // upper equal to lower: one step
    EXPECT_EQ(scan(f).results.stepCount(), 1);
    f = {};
    f.AngleSpacing = "100";  // a range smaller than the spacing: one step
    EXPECT_EQ(scan(f).results.stepCount(), 1);
    f = {};
    f.alpha = "-359.9";
    EXPECT_EQ(refusedField(f), "(accepted)");
    f = {};
    f.Upperangle = "3276.7";
    f.AngleSpacing = "0.1";  // 32767 is the last index a 16-bit counter reaches
    EXPECT_LE(angleStepQuotient(captureRun(f).settings), 32767);
    EXPECT_EQ(refusedField(f), "(accepted)");
}

TEST(RefusalTest, MessagesAreForPeople) {
    MainFieldTexts f;
    f.AngleSpacing = "0.001";
    try {
        runRotationScan(inputsFrom(f), *std::make_unique<ScanResults>(),
                        *std::make_unique<BestOrientation>());
        FAIL() << "accepted";
    } catch (const numbers::InputError& e) {
        EXPECT_STREQ(e.what(),
                     "The azimuth range needs 60000 steps; at most 32768 are possible. Use a "
                     "larger spacing.");
    }
}

}  // namespace
}  // namespace lamivex::engine

namespace lamivex::engine {
namespace {

TEST(ParallelScanTest, PassesOnSeveralThreadsGiveTheSequentialRun) {
    for (const bool singlePoint : {false, true}) {
        MainFieldTexts f;
        f.b1 = "7.3";
        f.b2 = "5.1";
        f.beta = "75";
        f.chkgeo = true;
        f.txtUplim = "5";
        if (singlePoint) {  // every step ties at 0: the first step of pass (1, 1) must win
            f.b1size = "0";
            f.b2size = "0";
        }
        ScanInputs in = inputsFrom(f);
        ScanRun sequential;
        runRotationScan(in, sequential.results, sequential.best);
        for (const int threads : {2, 3}) {
            in.threads = threads;
            std::vector<std::pair<int, int>> passes;
            ScanCallbacks callbacks;
            callbacks.passStarting = [&](int i, int j, double, double) {
                passes.emplace_back(i, j);
            };
            ScanRun parallel;
            runRotationScan(in, parallel.results, parallel.best, callbacks);
            EXPECT_EQ(passes.size(), 25U);
            EXPECT_EQ(passes[1], std::make_pair(2, 1));
            EXPECT_EQ(parallel.results.VVoTable, sequential.results.VVoTable);
            EXPECT_EQ(parallel.results.MatrixTable, sequential.results.MatrixTable);
            EXPECT_EQ(parallel.results.LastPassB1Multiple, sequential.results.LastPassB1Multiple);
            EXPECT_EQ(parallel.results.LastPassB2Multiple, sequential.results.LastPassB2Multiple);
            EXPECT_EQ(parallel.results.AzimuthAngles, sequential.results.AzimuthAngles);
            EXPECT_EQ(parallel.best.BestVVo, sequential.best.BestVVo);
            EXPECT_EQ(parallel.best.BestAngle, sequential.best.BestAngle);
            EXPECT_EQ(parallel.best.BestB1Multiple, sequential.best.BestB1Multiple);
            EXPECT_EQ(parallel.best.BestB2Multiple, sequential.best.BestB2Multiple);
            EXPECT_EQ(parallel.best.BestPx, sequential.best.BestPx);
        }
    }
}

TEST(ParallelScanTest, AbortEndsTheRunAfterTheCurrentBatch) {
    MainFieldTexts f;
    f.chkgeo = true;
    f.txtUplim = "5";  // 25 passes, batches of 8 on two threads
    ScanInputs in = inputsFrom(f);
    in.threads = 2;
    ScanCallbacks callbacks;
    callbacks.abortRequested = [] { return true; };
    ScanRun run;
    EXPECT_EQ(runRotationScan(in, run.results, run.best, callbacks), ScanStatus::Aborted);
    // Passes 1..8 in scan order are (1..5, 1) and (1..3, 2); (4, 2) was never computed.
    EXPECT_NE(run.results.vvo(3, 3, 2), 0.0);
    EXPECT_EQ(run.results.vvo(3, 4, 2), 0.0);
    // The per-angle arrays hold the last pass that ran, (3, 2): b1 x 3.
    const PassGeometry g = makePassGeometry(in.a1, in.a2, in.alpha, in.beta, 30, 20, false,
                                            in.lower, in.settings.angleSpacing, 25, 25);
    EXPECT_EQ(run.results.M11(7), computeStep(g, run.results.AzimuthAngles[7]).m11);
}

}  // namespace
}  // namespace lamivex::engine
