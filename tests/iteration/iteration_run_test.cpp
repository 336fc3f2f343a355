#include "iteration/iteration_run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "engine/direct_sum.h"
#include "iteration/completed_iteration.h"
#include "iteration_test_support.h"
#include "numbers/number_text.h"

namespace lamivex::iteration {
namespace {

using testing::allFixed;
using testing::captured;
using testing::range;
using testing::run;
using testing::scalarPlan;

std::vector<std::string> fieldsOf(const std::string& record) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = record.find('\t', start);
        fields.push_back(record.substr(start, tab - start));
        if (tab == std::string::npos) {
            return fields;
        }
        start = tab + 1;
    }
}

int total(const std::vector<int>& counts) {
    return std::accumulate(counts.begin(), counts.end(), 0);
}

// One azimuth step and a one-point domain: V/Vo is exactly 0 on a non-hexagonal substrate.
void onePointOneAngle(engine::MainFieldTexts& f) {
    f.b1size = "0";
    f.b2size = "0";
    f.Upperangle = "0";
    f.AngleSpacing = "1";
}

TEST(MatchRecord, TenFixed2FieldsJoinedByTabs) {
    engine::BestOrientation best;
    best.BestAngle = 12.345F;
    best.BestVVo = -0.004;
    best.BestPx = 1;
    best.BestQy = -0.5;
    best.BestQx = 2.125;
    best.BestPy = 100;
    EXPECT_EQ(matchRecord(best, {3.8, 20, 84.5}, 1234.567),
              "12.35\t-0.00\t3.80\t20.00\t84.50\t1.00\t-0.50\t2.13\t100.00\t1234.57");
}

TEST(IterationRun, CriterionEqualToBestIsNoMatch) {
    const engine::CapturedRun capture = captured(onePointOneAngle);
    IterationWindowFields window = allFixed();
    range(window, Constant::b1, "9", "11", "1");
    window.itercrit = "0";  // every scan's best V/Vo is exactly 0
    EXPECT_EQ(run(scalarPlan(capture, window)).MatchCount, 0);
    window.itercrit = "0.01";
    EXPECT_EQ(run(scalarPlan(capture, window)).MatchCount, 3);
}

TEST(IterationRun, RecordsTheTrialFieldsAndTheOverlayerArea) {
    IterationWindowFields window = allFixed();
    range(window, Constant::b1, "9.5", "9.5", "1");
    range(window, Constant::beta, "60", "60", "1");
    const CompletedIteration result = run(scalarPlan(captured(onePointOneAngle), window));
    ASSERT_EQ(result.MatchCount, 1);
    // area = b2 * b1 * sin(60 deg) = 10 * 9.5 * 0.8660254 = 82.27
    EXPECT_EQ(result.MatchRecords[0],
              "0.00\t0.00\t9.50\t10.00\t60.00\t0.95\t0.00\t0.50\t0.87\t82.27");
    EXPECT_NEAR(result.matches[0].area, 95 * std::sqrt(3.0) / 2, 1e-9);
}

TEST(IterationRun, RigidRunKeepsA1EqualToA2) {
    IterationWindowFields window = allFixed(false);
    window.rigidSubs = true;
    range(window, Constant::a2, "9", "11", "0.5");
    range(window, Constant::alpha, "88", "92", "2");
    window.itercrit = "1.5";  // every trial matches
    const CompletedIteration result = run(planIteration(captured([](engine::MainFieldTexts& f) {
                                                            f.b1size = "3";
                                                            f.b2size = "3";
                                                        }),
                                                        window));
    ASSERT_EQ(result.MatchCount, 15);
    for (const std::string& record : result.MatchRecords) {
        const std::vector<std::string> fields = fieldsOf(record);
        ASSERT_EQ(fields.size(), 10U);
        EXPECT_EQ(fields[2], fields[3]) << record;
    }
    // The area is that of the fixed overlayer: 10 * 10 * sin(90 deg).
    EXPECT_EQ(fieldsOf(result.MatchRecords[7])[9], "100.00");
    EXPECT_EQ(result.kind, RunKind::SubstrateRigid);
}

// A best angle of exactly 12.5 degrees: the grid starts at 12.499 + 0.001.
CompletedIteration runAt12Point5(bool rigid) {
    const engine::CapturedRun capture = captured([](engine::MainFieldTexts& f) {
        onePointOneAngle(f);
        f.Lowerangle = "12.499";
        f.Upperangle = "12.499";
    });
    IterationWindowFields window = allFixed(!rigid);
    window.rigidSubs = rigid;
    return run(scalarPlan(capture, window));
}

TEST(IterationRun, BinningRoundsExceptInRigidRuns) {
    const CompletedIteration overlayer = runAt12Point5(false);
    ASSERT_EQ(overlayer.MatchCount, 1);
    ASSERT_EQ(overlayer.matches[0].angle, 12.5F);
    EXPECT_EQ(overlayer.hits.HistogramLowAngle, 12);
    EXPECT_EQ(overlayer.hits.HistogramHighAngle, 12);
    EXPECT_EQ(overlayer.hits.HitsByAngle, (std::vector<int>{0, 1}));  // bins 12 and 13
    const CompletedIteration rigid = runAt12Point5(true);
    ASSERT_EQ(rigid.MatchCount, 1);
    EXPECT_EQ(rigid.hits.HitsByAngle, (std::vector<int>{1, 0}));
}

TEST(IterationRun, GeometricHitsCountOnlyMultiplesOtherThanOneOne) {
    const engine::CapturedRun capture = captured([](engine::MainFieldTexts& f) {
        onePointOneAngle(f);
        f.chkgeo = true;
        f.txtUplim = "2";
    });
    const CompletedIteration result = run(scalarPlan(capture, allFixed()));
    ASSERT_EQ(result.MatchCount, 4);  // one lattice, four pairs of multiples
    const std::vector<std::pair<std::string, std::string>> lengths = {
        {"10.00", "10.00"}, {"20.00", "10.00"}, {"10.00", "20.00"}, {"20.00", "20.00"}};
    for (std::size_t k = 0; k < 4; ++k) {
        const std::vector<std::string> fields = fieldsOf(result.MatchRecords[k]);
        EXPECT_EQ(std::make_pair(fields[2], fields[3]), lengths[k]) << k;
    }
    EXPECT_EQ(fieldsOf(result.MatchRecords[3])[9], "400.00");  // the multiplied cell's area
    // Angle 0.001 counts in bin 0.
    EXPECT_EQ(result.hits.hits(0), 4);
    EXPECT_EQ(result.hits.geometricHits(0), 3);
    EXPECT_EQ(total(result.hits.GeometricHitsByAngle), 3);
}

TEST(IterationRun, StopsAtTheTwoThousandthMatch) {
    IterationWindowFields window = allFixed();
    range(window, Constant::b1, "1", "3000", "1");
    window.itercrit = "1.5";  // every trial matches
    const engine::CapturedRun capture = captured(onePointOneAngle);
    for (const int threads : {1, 2}) {
        engine::BestOrientation best;
        const CompletedIteration result =
            runIteration(planIteration(capture, window), best, {}, threads);
        EXPECT_EQ(result.stop, StopReason::Limit);
        EXPECT_EQ(result.MatchCount, 2000);
        EXPECT_EQ(result.MatchRecords.size(), 2000U);
        EXPECT_EQ(result.trialsDone, 2000);
        EXPECT_EQ(total(result.hits.HitsByAngle), 2000);
        EXPECT_EQ(fieldsOf(result.MatchRecords.back())[2], "2000.00");
        EXPECT_EQ(completionMessage(result),
                  "Iteration run aborted\tToo many possible hits\tTry reducing search range");
    }
    // The 2000th match on the very last trial still ends the run as at the limit.
    range(window, Constant::b1, "1", "2000", "1");
    const CompletedIteration exact = run(planIteration(capture, window));
    EXPECT_EQ(exact.trialsDone, exact.trialCount);
    EXPECT_EQ(exact.stop, StopReason::Limit);
    range(window, Constant::b1, "1", "1999", "1");
    const CompletedIteration below = run(planIteration(capture, window));
    EXPECT_EQ(below.stop, StopReason::Complete);
    EXPECT_EQ(completionMessage(below), "Iterations complete. Match count = 1999");
}

// A one-point-wide (3 x 3) domain at one angle (0.001 degrees) on a 10 x 10 square substrate:
// with b2 = 5 or 6 the b2 waves cancel, and b1 decides whether any V/Vo falls below 1.0.
struct QuirkRun {
    IterationPlan plan;
    CompletedIteration result;
    engine::BestOrientation best;
};

QuirkRun quirkRun(int threads) {
    const engine::CapturedRun capture = captured([](engine::MainFieldTexts& f) {
        f.b1size = "1";
        f.b2size = "1";
        f.Upperangle = "0";
        f.AngleSpacing = "1";
    });
    IterationWindowFields window = allFixed();
    range(window, Constant::b1, "3", "12", "1");
    range(window, Constant::b2, "5", "6", "1");
    window.itercrit = "1.5";
    QuirkRun q{scalarPlan(capture, window), {}, {}};
    // Left over from an earlier run with another azimuth range.
    q.best.BestAngle = 33;
    q.best.BestPx = 1;
    q.best.BestQy = 2;
    q.best.BestQx = 3;
    q.best.BestPy = 4;
    q.result = runIteration(q.plan, q.best, {}, threads);
    return q;
}

TEST(IterationRun, TrialWithNothingBelowOneCarriesThePreviousBest) {
    const QuirkRun q = quirkRun(1);
    ASSERT_EQ(q.result.MatchCount, 20);  // criterion above 1: every trial matches
    int carried = 0;
    for (std::size_t k = 0; k < 20; ++k) {
        const TrialLattice trial = trialAt(q.plan, static_cast<int64_t>(k));
        // Independent reference: the lattice sum point by point.
        const double direct = engine::directSumVVo(geometryOf(q.plan, trial), 0.001F);
        const std::vector<std::string> fields = fieldsOf(q.result.MatchRecords[k]);
        EXPECT_EQ(fields[2], numbers::formatFixed2(trial.values[0]));
        if (direct < 1.0 - 1e-9) {
            EXPECT_EQ(fields[0], "0.00") << k;
            EXPECT_EQ(fields[1], numbers::formatFixed2(direct)) << k;
            continue;
        }
        ++carried;
        EXPECT_EQ(fields[1], "1.00") << k;
        // Angle and matrix of the trial before, or of the record before the run.
        const std::vector<std::string> before =
            k == 0 ? std::vector<std::string>{"33.00", "",     "",     "",     "",
                                              "1.00",  "2.00", "3.00", "4.00", ""}
                   : fieldsOf(q.result.MatchRecords[k - 1]);
        EXPECT_EQ(fields[0], before[0]) << k;
        for (std::size_t f = 5; f < 9; ++f) {
            EXPECT_EQ(fields[f], before[f]) << k << " field " << f;
        }
    }
    // b2 = 5: b1 = 3..7 find nothing; b2 = 6: b1 = 3..7 carry the best of b1 = 12, b2 = 5.
    EXPECT_EQ(carried, 10);
    EXPECT_EQ(fieldsOf(q.result.MatchRecords[10]),
              (std::vector<std::string>{"0.00", "1.00", "3.00", "6.00", "90.00", "1.20", "0.00",
                                        "-0.00", "0.50", "18.00"}));
    // The five matches at the carried 33 degrees lie outside bins 0..1 and are skipped.
    EXPECT_EQ(q.result.hits.skipped, 5);
    EXPECT_EQ(total(q.result.hits.HitsByAngle), 15);
    // The program-wide record keeps the last scan's values.
    EXPECT_EQ(q.best.BestVVo, q.result.matches.back().vvo);
    EXPECT_EQ(q.best.BestPx, q.result.matches.back().m11);
}

TEST(IterationRun, CarriedBestIsTheSameOnEveryThreadCount) {
    const QuirkRun sequential = quirkRun(1);
    for (const int threads : {2, 3, 8}) {
        const QuirkRun parallel = quirkRun(threads);
        EXPECT_EQ(parallel.result.MatchRecords, sequential.result.MatchRecords) << threads;
        EXPECT_EQ(parallel.result.hits.HitsByAngle, sequential.result.hits.HitsByAngle);
        EXPECT_EQ(parallel.result.hits.skipped, sequential.result.hits.skipped);
        EXPECT_EQ(parallel.best.BestAngle, sequential.best.BestAngle);
        EXPECT_EQ(parallel.best.BestPx, sequential.best.BestPx);
    }
}

// The matches are named in contiguous parts, one a thread: every match gets its own name
// whatever the number of parts, including a last part that is not full.
TEST(IterationRun, MatchesAreNamedTheSameOnEveryThreadCount) {
    IterationWindowFields window = allFixed();
    range(window, Constant::b1, "10", "110", "1");
    window.itercrit = "1.5";  // every trial matches: 101 names, all different
    engine::BestOrientation best;
    const CompletedIteration result =
        runIteration(planIteration(captured(onePointOneAngle), window), best, {}, 1);
    ASSERT_EQ(result.matches.size(), 101U);
    const std::vector<engine::Interpretation> one = interpretMatches(result, 0.1, 1);
    for (const int threads : {2, 3, 7}) {
        const std::vector<engine::Interpretation> many = interpretMatches(result, 0.1, threads);
        ASSERT_EQ(many.size(), one.size());
        for (std::size_t k = 0; k < one.size(); ++k) {
            EXPECT_EQ(many[k].summary(), one[k].summary()) << threads << " threads, match " << k;
        }
    }
    EXPECT_NE(one.front().summary(), one.back().summary());
}

TEST(IterationRun, RestoresTheRunStartFields) {
    const engine::CapturedRun capture = captured([](engine::MainFieldTexts& f) {
        onePointOneAngle(f);
        f.b1 = "3.14159265";
        f.beta = "84.50";
        f.a1 = "2.556";
    });
    IterationWindowFields window = allFixed();
    range(window, Constant::b1, "3", "4", "0.5");
    range(window, Constant::beta, "80", "90", "5");
    const CompletedIteration overlayer = run(planIteration(capture, window));
    EXPECT_EQ(overlayer.restoredFields.b1, "3.141593");
    EXPECT_EQ(overlayer.restoredFields.b2, "10");
    EXPECT_EQ(overlayer.restoredFields.beta, "84.5");
    EXPECT_EQ(overlayer.restoredFields.a1, "2.556");

    IterationWindowFields substrate = allFixed(false);
    range(substrate, Constant::a1, "2", "3", "0.5");
    const CompletedIteration subs = run(planIteration(capture, substrate));
    EXPECT_EQ(subs.restoredFields.a1, "2.556");
    EXPECT_EQ(subs.restoredFields.alpha, "90");
    EXPECT_EQ(subs.trialCount, 3);
}

TEST(IterationRun, NoTrialsReportsZeroMatches) {
    IterationWindowFields window = allFixed();
    range(window, Constant::b1, "11", "9", "1");
    const CompletedIteration result = run(planIteration(captured(), window));
    EXPECT_EQ(result.trialsDone, 0);
    EXPECT_EQ(result.stop, StopReason::Complete);
    EXPECT_EQ(completionMessage(result), "Iterations complete. Match count = 0");
}

}  // namespace
}  // namespace lamivex::iteration
