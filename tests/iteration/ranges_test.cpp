#include "iteration/iteration_ranges.h"

#include <gtest/gtest.h>

#include <vector>

#include "iteration_test_support.h"
#include "numbers/number_text.h"

namespace lamivex::iteration {
namespace {

using testing::allFixed;
using testing::captured;
using testing::range;
using testing::refusedField;

std::vector<std::string> trialTexts(float low, float high, float inc) {
    std::vector<std::string> texts;
    const Range r{low, high, inc};
    for (int i = 0; i <= stepCount(low, high, inc); ++i) {
        texts.push_back(numbers::formatSingle(trialValue(r, i)));
    }
    return texts;
}

TEST(StepRule, LeftoverOfHalfOrMoreAddsAStepBeyondHigh) {
    // 10 / 3 = 3.33: three steps leave 1, which is at least 0.5, so a fourth step reaches 12.
    EXPECT_EQ(stepCount(0, 10, 3), 4);
    EXPECT_EQ(trialTexts(0, 10, 3), (std::vector<std::string>{"0", "3", "6", "9", "12"}));
    // The threshold is absolute: 0..100 by 30 leaves 10 and goes on to 120.
    EXPECT_EQ(trialTexts(0, 100, 30), (std::vector<std::string>{"0", "30", "60", "90", "120"}));
}

TEST(StepRule, SmallLeftoverIsDropped) {
    // 0.1 / 0.03 = 3.33 leaves 0.01: the last trial stays below High.
    EXPECT_EQ(stepCount(2.0F, 2.1F, 0.03F), 3);
    EXPECT_EQ(trialTexts(2.0F, 2.1F, 0.03F),
              (std::vector<std::string>{"2", "2.03", "2.06", "2.09"}));
    // A leftover below 0.5 is dropped even when it is most of an increment.
    EXPECT_EQ(trialTexts(0, 1, 0.3F), (std::vector<std::string>{"0", ".3", ".6", ".9"}));
}

TEST(StepRule, SingleValueAndReversedRange) {
    EXPECT_EQ(stepCount(4, 4, 0.04F), 0);
    // The quotient 10 in single precision: 9.5..10.5 by 0.1 gives 11 values.
    EXPECT_EQ(stepCount(9.5F, 10.5F, 0.1F), 10);
    // High below Low: no trial value.
    EXPECT_LT(stepCount(10, 9, 1), 0);
}

TEST(StepRule, TrialValuesAreSinglePrecision) {
    const Range r{0.1F, 1, 0.1F};
    // 0.1f + 2 * 0.1f in single precision, not 0.3 in double.
    EXPECT_EQ(trialValue(r, 2), 0.1F + 2.0F * 0.1F);
    EXPECT_EQ(numbers::formatSingle(trialValue(r, 2)), ".3");
}

TEST(FillIterationDefaults, RangesAroundTheMainWindowValues) {
    engine::MainFieldTexts fields;
    fields.b1 = "4";
    fields.alpha = "60";
    IterationWindowFields window;
    window.row(Constant::b2).fixed = true;
    fillIterationDefaults(fields, 0.8, window);
    EXPECT_EQ(window.row(Constant::b1).from, "3.80");
    EXPECT_EQ(window.row(Constant::b1).to, "4.20");
    EXPECT_EQ(window.row(Constant::b1).increment, "0.04");
    EXPECT_EQ(window.row(Constant::b2).from, "9.50");
    EXPECT_EQ(window.row(Constant::b2).to, "10.50");
    EXPECT_EQ(window.row(Constant::b2).increment, "0.10");
    EXPECT_EQ(window.row(Constant::alpha).from, "57.00");
    EXPECT_EQ(window.row(Constant::alpha).to, "63.00");
    EXPECT_EQ(window.row(Constant::alpha).increment, "0.60");
    EXPECT_EQ(window.itercrit, "0.80");
    EXPECT_TRUE(window.row(Constant::b2).fixed);  // the boxes are left as they are
}

TEST(IterationPlan, FixedRowGivesOneTrialAtTheRunStartValue) {
    const engine::CapturedRun run = captured([](engine::MainFieldTexts& f) {
        f.b1 = "3.14159265";  // captured as 3.141593
    });
    IterationWindowFields window = allFixed();
    window.row(Constant::b1) = {"abc", "", "0", true};  // nothing in a Fixed row is read
    range(window, Constant::b2, "9", "11", "1");
    const IterationPlan plan = planIteration(run, window);
    EXPECT_EQ(plan.trialCount, 3);
    EXPECT_EQ(plan.stepCounts[0], 0);
    EXPECT_EQ(plan.ranges[Constant::b1].Low, 3.141593F);
    for (int64_t t = 0; t < plan.trialCount; ++t) {
        EXPECT_EQ(trialAt(plan, t).text(0), "3.141593");
        EXPECT_EQ(trialAt(plan, t).text(2), "90");
    }
    EXPECT_EQ(trialAt(plan, 2).text(1), "11");
}

TEST(IterationPlan, CriterionIsReadAsASingle) {
    IterationWindowFields window = allFixed();
    window.itercrit = "0.8";
    EXPECT_EQ(planIteration(captured(), window).SelectionCriterion, static_cast<double>(0.8F));
}

TEST(IterationPlan, LoopOrderOfAnOverlayerRun) {
    IterationWindowFields window = allFixed();
    range(window, Constant::b1, "1", "2", "1");
    range(window, Constant::b2, "3", "4", "1");
    range(window, Constant::beta, "80", "90", "10");
    const IterationPlan plan = planIteration(captured(), window);
    ASSERT_EQ(plan.trialCount, 8);
    // b1 innermost, then b2, beta outermost.
    const std::vector<std::array<std::string, 3>> expected = {
        {"1", "3", "80"}, {"2", "3", "80"}, {"1", "4", "80"}, {"2", "4", "80"},
        {"1", "3", "90"}, {"2", "3", "90"}, {"1", "4", "90"}, {"2", "4", "90"}};
    for (int64_t t = 0; t < 8; ++t) {
        const TrialLattice trial = trialAt(plan, t);
        EXPECT_EQ((std::array<std::string, 3>{trial.text(0), trial.text(1), trial.text(2)}),
                  expected[static_cast<std::size_t>(t)])
            << t;
    }
}

TEST(IterationPlan, GeometricLoopsMultiplyInDouble) {
    const engine::CapturedRun run = captured([](engine::MainFieldTexts& f) {
        f.chkgeo = true;
        f.txtUplim = "2";
    });
    IterationWindowFields window = allFixed();
    range(window, Constant::b1, "3.8", "3.8", "1");
    const IterationPlan plan = planIteration(run, window);
    ASSERT_EQ(plan.kind, RunKind::OverlayerGeometric);
    ASSERT_EQ(plan.trialCount, 4);
    // Order (m, n') = (1,1), (1,2), (2,1), (2,2): b1 multiple inner, b2 multiple outer.
    // The single 3.8 widened and multiplied in double, shown with 15 digits.
    EXPECT_EQ(trialAt(plan, 0).text(0), "3.79999995231628");
    EXPECT_EQ(trialAt(plan, 1).text(0), "7.59999990463257");
    EXPECT_EQ(trialAt(plan, 1).b1Multiple, 2);
    EXPECT_EQ(trialAt(plan, 2).text(1), "20");
    EXPECT_EQ(trialAt(plan, 2).b2Multiple, 2);
    EXPECT_EQ(trialAt(plan, 3).text(0), "7.59999990463257");
}

TEST(IterationPlan, ReversedRangeHasNoTrials) {
    IterationWindowFields window = allFixed();
    range(window, Constant::b2, "11", "9", "1");
    EXPECT_EQ(planIteration(captured(), window).trialCount, 0);
}

TEST(IterationPlan, RefusesRangesTheLoopsCannotCarry) {
    const engine::CapturedRun run = captured();
    std::string message;
    IterationWindowFields window = allFixed();

    range(window, Constant::b1, "9", "11", "0");
    EXPECT_EQ(refusedField(run, window, &message), "b1-range");
    EXPECT_EQ(message, "The increment of the b1 range must be greater than 0 (it is 0).");

    window = allFixed();
    range(window, Constant::beta, "80", "100", "-1");
    EXPECT_EQ(refusedField(run, window, &message), "beta-range");
    EXPECT_EQ(message, "The increment of the beta range must be greater than 0 (it is -1).");

    window = allFixed();
    range(window, Constant::b2, "1", "2", "0.00001");
    EXPECT_EQ(refusedField(run, window, &message), "b2-range");
    EXPECT_EQ(message.rfind("The b2 range would take 100000 steps; at most 32767", 0), 0u)
        << message;

    window = allFixed();
    range(window, Constant::b2, "1", "", "0.1");
    EXPECT_EQ(refusedField(run, window, &message), "b2-range");
    EXPECT_EQ(message, "The To value of the b2 range is empty.");

    window = allFixed();
    range(window, Constant::b1, "9,5", "10", "0.1");
    EXPECT_EQ(refusedField(run, window, &message), "b1-range");
    EXPECT_EQ(message, "The From value of the b1 range (\"9,5\") is not a number.");

    window = allFixed();
    range(window, Constant::b1, "0", "2", "0.5");
    EXPECT_EQ(refusedField(run, window, &message), "b1-range");
    EXPECT_EQ(message, "The lengths of the b1 range must be greater than 0 (From is 0).");
}

TEST(IterationPlan, StepCountLimitIsInclusive) {
    IterationWindowFields window = allFixed();
    range(window, Constant::b1, "1", "32768", "1");  // 32767 steps
    EXPECT_EQ(refusedField(captured(), window), "");
    range(window, Constant::b1, "1", "32769", "1");
    EXPECT_EQ(refusedField(captured(), window), "b1-range");
}

TEST(IterationPlan, RefusesRunsThatWouldTakeTooLong) {
    IterationWindowFields window = allFixed();
    range(window, Constant::b1, "1", "3000", "1");
    range(window, Constant::b2, "1", "3000", "1");
    range(window, Constant::beta, "80", "81", "1");
    std::string message;
    EXPECT_EQ(refusedField(captured(), window, &message), "b1-range");
    EXPECT_EQ(message.rfind("The run would perform 18000000 scans; at most 10000000", 0), 0u)
        << message;
    // The multiples of a geometric run count too, and are named when they weigh most.
    const engine::CapturedRun geometric = captured([](engine::MainFieldTexts& f) {
        f.chkgeo = true;
        f.txtUplim = "400";
    });
    window = allFixed();
    range(window, Constant::b1, "1", "100", "1");
    EXPECT_EQ(refusedField(geometric, window), "max-multiple");
}

TEST(IterationPlan, RefusesSubstrateTrialsWithoutAnAngle) {
    IterationWindowFields window = allFixed(false);
    range(window, Constant::alpha, "150", "200", "10");  // reaches 180
    std::string message;
    EXPECT_EQ(refusedField(captured(), window, &message), "alpha-range");
    EXPECT_EQ(message,
              "The alpha range reaches 180 degrees (trial 4): a1 and a2 would be parallel.");
    window = allFixed(false);
    range(window, Constant::a2, "-1", "2", "1");
    EXPECT_EQ(refusedField(captured(), window), "a2-range");
}

TEST(IterationPlan, RefusesWhatTheRotationScanRefuses) {
    IterationWindowFields window = allFixed();
    range(window, Constant::b1, "9", "11", "1");
    EXPECT_EQ(
        refusedField(captured([](engine::MainFieldTexts& f) { f.AngleSpacing = "0"; }), window),
        "spacing");
    EXPECT_EQ(refusedField(captured([](engine::MainFieldTexts& f) { f.a1 = "-3"; }), window), "a1");
    EXPECT_EQ(refusedField(captured([](engine::MainFieldTexts& f) { f.b1size = "-1"; }), window),
              "m");
    // The b1 of the main window is not used when b1 is iterated.
    EXPECT_EQ(refusedField(captured([](engine::MainFieldTexts& f) { f.b1 = "0"; }), window), "");
    EXPECT_EQ(refusedField(captured([](engine::MainFieldTexts& f) {
                               f.chkgeo = true;
                               f.txtUplim = "0";
                           }),
                           window),
              "max-multiple");
    window.itercrit = "high";
    EXPECT_EQ(refusedField(captured(), window), "criterion");
}

TEST(IterationPlan, RigidRunIgnoresTheA1Row) {
    IterationWindowFields window = allFixed(false);
    window.rigidSubs = true;
    window.row(Constant::a1) = {"x", "y", "0", false};
    range(window, Constant::a2, "3", "4", "0.5");
    EXPECT_EQ(planIteration(captured(), window).trialCount, 3);
    // Its values are still read for the data file's range line.
    window.row(Constant::a1) = {"2", "5", "-1", false};
    const IterationPlan plan = planIteration(captured(), window);
    EXPECT_EQ(plan.ranges[Constant::a1].Low, 2.0F);
    EXPECT_EQ(plan.ranges[Constant::a1].High, 5.0F);
    ASSERT_EQ(plan.trialCount, 3);
    EXPECT_EQ(trialAt(plan, 1).text(0), "3.5");
    EXPECT_EQ(trialAt(plan, 1).text(1), "3.5");
}

}  // namespace
}  // namespace lamivex::iteration
