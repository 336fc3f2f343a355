// The run on several threads against the loops in sequence.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <random>
#include <stdexcept>
#include <thread>

#include "engine/match_pass.h"
#include "iteration/trial_pipeline.h"
#include "iteration_test_support.h"
#include "numbers/number_text.h"

namespace lamivex::iteration {
namespace {

using testing::allFixed;
using testing::captured;
using testing::range;

// The overlayer loops written out as the sequential design has them, scanning with the
// engine's rotation pass (BestVVo set to 1.0 before each, the rest of the record carried).
struct Reference {
    std::vector<std::string> records;
    std::vector<int> hits;
    std::vector<int> geometric;
};

Reference sequentialReference(const IterationPlan& plan) {
    Reference ref;
    const int low = plan.HistogramLowAngle;
    ref.hits.assign(static_cast<std::size_t>(plan.HistogramHighAngle - low + 2), 0);
    ref.geometric = ref.hits;
    const int multiples = plan.kind == RunKind::OverlayerGeometric ? plan.maxMultiple : 1;
    const bool geometric = plan.kind == RunKind::OverlayerGeometric;
    const engine::ScanInputs& in = plan.base;
    engine::ScanResults results = engine::ScanResults::create(plan.lastAngleIndex, 1);
    engine::BestOrientation best;
    const auto text = [&](std::size_t slot, int step, int multiple) {
        const float trial =
            plan.ranges[iteratedConstants(plan.kind)[slot]].Low +
            static_cast<float>(step) * plan.ranges[iteratedConstants(plan.kind)[slot]].Inc;
        return geometric ? numbers::formatDouble(static_cast<double>(trial) * multiple)
                         : numbers::formatSingle(trial);
    };
    for (int beta = 0; beta <= plan.stepCounts[2]; ++beta) {
        const std::string betaText = text(2, beta, 1);
        for (int m = 1; m <= multiples; ++m) {
            for (int b2 = 0; b2 <= plan.stepCounts[1]; ++b2) {
                const std::string b2Text = text(1, b2, m);
                for (int n = 1; n <= multiples; ++n) {
                    for (int b1 = 0; b1 <= plan.stepCounts[0]; ++b1) {
                        if (ref.records.size() == 2000) {
                            return ref;
                        }
                        const std::string b1Text = text(0, b1, n);
                        const double b1v = numbers::toDouble(b1Text).value;
                        const double b2v = numbers::toDouble(b2Text).value;
                        const double betav = numbers::toDouble(betaText).value;
                        engine::PassGeometry g = engine::makePassGeometry(
                            in.a1, in.a2, in.alpha, betav, b1v, b2v, in.hexagonal, in.lower,
                            in.settings.angleSpacing, in.settings.b1Size, in.settings.b2Size);
                        g.kernel = in.kernel;
                        best.BestVVo = 1.0;
                        engine::runPass(g, 1, 1, results, best);
                        if (!(best.BestVVo < plan.SelectionCriterion)) {
                            continue;
                        }
                        const double area = b2v * b1v * std::sin(betav * engine::kDegree);
                        ref.records.push_back(matchRecord(best, {b1v, b2v, betav}, area));
                        const auto bin = static_cast<std::size_t>(
                            std::floor(static_cast<double>(best.BestAngle) + 0.5) - low);
                        ++ref.hits[bin];
                        if (m * n != 1) {
                            ++ref.geometric[bin];
                        }
                    }
                }
            }
        }
    }
    return ref;
}

// 21 x 9 x 3 = 567 trials of 11 x 11 points over 61 angles, about half of them matches.
IterationPlan manyMatches(int maxMultiple = 1, const std::string& criterion = "0.9") {
    const engine::CapturedRun capture = captured([&](engine::MainFieldTexts& f) {
        f.b1size = "5";
        f.b2size = "5";
        f.AngleSpacing = "1";
        f.chkgeo = maxMultiple > 1;
        f.txtUplim = std::to_string(maxMultiple);
    });
    IterationWindowFields window = allFixed();
    range(window, Constant::b1, "9", "11", "0.1");
    range(window, Constant::b2, "9", "11", "0.25");
    range(window, Constant::beta, "85", "95", "5");
    window.itercrit = criterion;
    return planIteration(capture, window);
}

// About 0.1 ms a scan: 1201 angles over a 51 x 51 domain, 1260 scans.
IterationPlan slowPlan() {
    const engine::CapturedRun capture = captured([](engine::MainFieldTexts& f) {
        f.AngleSpacing = "0.05";
        f.chkgeo = true;
        f.txtUplim = "2";
    });
    IterationWindowFields window = allFixed();
    range(window, Constant::b1, "9", "11", "0.1");
    range(window, Constant::b2, "9.5", "10.5", "0.25");
    range(window, Constant::beta, "85", "95", "5");
    // Every step computed, so that the run outlasts its first polls.
    IterationPlan plan = planIteration(capture, window);
    plan.exhaustive = true;
    return plan;
}

void expectSameRun(const CompletedIteration& a, const CompletedIteration& b) {
    EXPECT_EQ(a.MatchCount, b.MatchCount);
    EXPECT_EQ(a.MatchRecords, b.MatchRecords);
    EXPECT_EQ(a.hits.HitsByAngle, b.hits.HitsByAngle);
    EXPECT_EQ(a.hits.GeometricHitsByAngle, b.hits.GeometricHitsByAngle);
    EXPECT_EQ(a.trialsDone, b.trialsDone);
    EXPECT_EQ(a.stop, b.stop);
    ASSERT_EQ(a.matches.size(), b.matches.size());
    for (std::size_t k = 0; k < a.matches.size(); ++k) {
        EXPECT_EQ(a.matches[k].trial, b.matches[k].trial);
        EXPECT_EQ(a.matches[k].vvo, b.matches[k].vvo);
        EXPECT_EQ(a.matches[k].angle, b.matches[k].angle);
    }
}

TEST(ParallelRun, SameMatchesAsTheSequentialLoops) {
    for (const int maxMultiple : {1, 2}) {
        const IterationPlan plan = manyMatches(maxMultiple);
        ASSERT_EQ(plan.trialCount, 567 * maxMultiple * maxMultiple);
        const Reference ref = sequentialReference(plan);
        engine::BestOrientation best;
        const CompletedIteration one = runIteration(plan, best, {}, 1);
        EXPECT_GT(one.MatchCount, 150);
        EXPECT_LT(one.MatchCount, static_cast<int>(plan.trialCount));
        EXPECT_EQ(one.MatchRecords, ref.records);
        EXPECT_EQ(one.hits.HitsByAngle, ref.hits);
        EXPECT_EQ(one.hits.GeometricHitsByAngle, ref.geometric);
        for (const int threads : {2, 3, 7}) {
            engine::BestOrientation parallelBest;
            const CompletedIteration parallel = runIteration(plan, parallelBest, {}, threads);
            expectSameRun(parallel, one);
            EXPECT_EQ(parallelBest.BestVVo, best.BestVVo);
            EXPECT_EQ(parallelBest.BestAngle, best.BestAngle);
        }
    }
}

TEST(ParallelRun, CarriedBestAndLimitMatchTheSequentialLoops) {
    // Criterion above 1: trials finding nothing below 1.0 match with the carried best, and
    // with a geometric search of multiple 4 the run reaches the 2000 limit.
    const IterationPlan plan = manyMatches(4, "1.001");
    const Reference ref = sequentialReference(plan);
    ASSERT_EQ(ref.records.size(), 2000u);
    for (const int threads : {1, 4}) {
        engine::BestOrientation best;
        const CompletedIteration result = runIteration(plan, best, {}, threads);
        EXPECT_EQ(result.MatchRecords, ref.records);
        EXPECT_EQ(result.hits.HitsByAngle, ref.hits);
        EXPECT_EQ(result.stop, StopReason::Limit);
    }
}

TEST(ParallelRun, AbortKeepsAPrefixOfTheSequentialRun) {
    const IterationPlan plan = slowPlan();
    engine::BestOrientation fullBest;
    const CompletedIteration full = runIteration(plan, fullBest, {}, 1);
    for (const int threads : {1, 2}) {
        std::atomic<int64_t> seen{0};
        IterationCallbacks callbacks;
        callbacks.progress = [&](const IterationProgress& p) { seen = p.trialsDone; };
        callbacks.abortRequested = [&] { return seen >= 100; };
        engine::BestOrientation best;
        const CompletedIteration aborted = runIteration(plan, best, callbacks, threads);
        if (aborted.trialsDone == plan.trialCount) {
            GTEST_SKIP() << "the run finished before its first poll";
        }
        EXPECT_EQ(aborted.stop, StopReason::Aborted);
        EXPECT_EQ(completionMessage(aborted), "Iteration run aborted");
        EXPECT_GE(aborted.trialsDone, 100);
        // Exactly the matches of the complete run found before the abort point.
        std::vector<std::string> prefix;
        std::vector<int> hits(full.hits.HitsByAngle.size(), 0);
        for (std::size_t k = 0; k < full.matches.size(); ++k) {
            if (full.matches[k].trial < aborted.trialsDone) {
                prefix.push_back(full.MatchRecords[k]);
                ++hits[static_cast<std::size_t>(std::floor(full.matches[k].angle + 0.5) -
                                                full.hits.HistogramLowAngle)];
            }
        }
        EXPECT_EQ(aborted.MatchRecords, prefix);
        EXPECT_EQ(aborted.hits.HitsByAngle, hits);
    }
}

TEST(ParallelRun, CallbacksComeFromTheCallingThreadOften) {
    const IterationPlan plan = slowPlan();
    const std::thread::id caller = std::this_thread::get_id();
    using Clock = std::chrono::steady_clock;
    Clock::time_point last = Clock::now();
    Clock::duration longestGap{};
    int calls = 0;
    int64_t previous = 0;
    bool monotone = true;
    bool sameThread = true;
    IterationCallbacks callbacks;
    callbacks.progress = [&](const IterationProgress& p) {
        const Clock::time_point now = Clock::now();
        longestGap = std::max(longestGap, now - last);
        last = now;
        ++calls;
        monotone = monotone && p.trialsDone >= previous && p.trialsDone <= p.trialCount;
        previous = p.trialsDone;
        sameThread = sameThread && std::this_thread::get_id() == caller;
    };
    callbacks.abortRequested = [&] {
        sameThread = sameThread && std::this_thread::get_id() == caller;
        return false;
    };
    engine::BestOrientation best;
    const Clock::time_point start = Clock::now();
    const CompletedIteration result = runIteration(plan, best, callbacks, 2);
    const auto elapsed = Clock::now() - start;
    EXPECT_TRUE(sameThread);
    EXPECT_TRUE(monotone);
    EXPECT_EQ(previous, result.trialsDone);  // the last call reports the end
    EXPECT_EQ(result.trialsDone, result.trialCount);
    EXPECT_GE(calls, 1);
    if (elapsed > std::chrono::milliseconds(200)) {
        EXPECT_GE(calls, 3);
        // 50 ms promised; the margin is for a machine busy with other work.
        EXPECT_LT(longestGap, std::chrono::milliseconds(150));
    }
}

TEST(TrialPipeline, CommitsInTrialOrderWhateverTheFinishingOrder) {
    constexpr int64_t kTrials = 2000;
    std::vector<int64_t> committed;
    PipelineHooks hooks;
    hooks.compute = [](int64_t t, ScanOutcome& out) {
        thread_local std::mt19937 random(static_cast<unsigned>(t));
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 50));
        out.BestVVo = static_cast<double>(t);
    };
    hooks.commit = [&](int64_t t, const ScanOutcome& out) {
        EXPECT_EQ(out.BestVVo, static_cast<double>(t));
        committed.push_back(t);
        return true;
    };
    EXPECT_EQ(runOrderedTrials(kTrials, 4, hooks), kTrials);
    ASSERT_EQ(committed.size(), static_cast<std::size_t>(kTrials));
    for (int64_t t = 0; t < kTrials; ++t) {
        ASSERT_EQ(committed[static_cast<std::size_t>(t)], t);
    }
}

TEST(TrialPipeline, CommitCanEndTheRun) {
    PipelineHooks hooks;
    hooks.compute = [](int64_t, ScanOutcome&) {};
    hooks.commit = [](int64_t t, const ScanOutcome&) { return t < 41; };
    EXPECT_EQ(runOrderedTrials(100000, 3, hooks), 42);
}

TEST(TrialPipeline, AbortAlwaysFinishesTheTrialInProgress) {
    PipelineHooks hooks;
    hooks.compute = [](int64_t, ScanOutcome&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
    };
    int commits = 0;
    hooks.commit = [&](int64_t, const ScanOutcome&) {
        ++commits;
        return true;
    };
    hooks.poll = [] { return true; };
    // The first poll comes before trial 0 is done: the run still ends after it, not before.
    EXPECT_EQ(runOrderedTrials(50, 1, hooks), 1);
    EXPECT_EQ(commits, 1);
}

TEST(TrialPipeline, WorkerFailureReachesTheCaller) {
    PipelineHooks hooks;
    hooks.compute = [](int64_t t, ScanOutcome&) {
        if (t == 37) {
            throw std::runtime_error("trial 37 failed");
        }
    };
    int64_t last = -1;
    hooks.commit = [&](int64_t t, const ScanOutcome&) {
        last = t;
        return true;
    };
    EXPECT_THROW((void)runOrderedTrials(5000, 3, hooks), std::runtime_error);
    EXPECT_LT(last, 37);
}

}  // namespace
}  // namespace lamivex::iteration
