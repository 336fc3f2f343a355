// Leaving out the steps whose bound shows they cannot match gives the run that computes
// every step, to the bit: matches, records, hit counts, the stop, the data file and the
// best-orientation record the run leaves behind.

#include <cstring>
#include <random>
#include <sstream>
#include <string>

#include <fmt/format.h>
#include <gtest/gtest.h>

#include "engine/step_bound.h"
#include "iteration/completed_iteration.h"
#include "iteration_test_support.h"
#include "output/iteration_data_file.h"

namespace lamivex::iteration {
namespace {

using testing::allFixed;
using testing::captured;
using testing::range;

struct RunOutcome {
    CompletedIteration result;
    engine::BestOrientation best;
    std::string dat;
};

RunOutcome runWith(IterationPlan plan, const IterationWindowFields& window, bool exhaustive,
                   int threads) {
    plan.exhaustive = exhaustive;
    RunOutcome out;
    out.result = runIteration(plan, out.best, {}, threads);
    std::ostringstream dat;
    output::writeIterationData(dat, dataFileInputs(out.result, out.result.restoredFields, window,
                                                   out.result.ranges, {2026, 12, 9}));
    out.dat = dat.str();
    return out;
}

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void expectSame(const RunOutcome& exhaustive, const RunOutcome& pruned) {
    const CompletedIteration& e = exhaustive.result;
    const CompletedIteration& p = pruned.result;
    ASSERT_EQ(e.MatchCount, p.MatchCount);
    EXPECT_EQ(e.stop, p.stop);
    EXPECT_EQ(e.trialsDone, p.trialsDone);
    EXPECT_EQ(e.MatchRecords, p.MatchRecords);
    ASSERT_EQ(e.matches.size(), p.matches.size());
    for (std::size_t i = 0; i < e.matches.size(); ++i) {
        const Match& a = e.matches[i];
        const Match& b = p.matches[i];
        EXPECT_EQ(a.trial, b.trial) << i;
        EXPECT_EQ(a.angle, b.angle) << i;
        for (const auto& [x, y] : {std::pair{a.vvo, b.vvo},
                                   {a.m11, b.m11},
                                   {a.m12, b.m12},
                                   {a.m21, b.m21},
                                   {a.m22, b.m22},
                                   {a.area, b.area}}) {
            EXPECT_TRUE(sameBits(x, y)) << "match " << i << ": " << x << " " << y;
        }
    }
    EXPECT_EQ(e.hits.HitsByAngle, p.hits.HitsByAngle);
    EXPECT_EQ(e.hits.GeometricHitsByAngle, p.hits.GeometricHitsByAngle);
    EXPECT_EQ(e.hits.skipped, p.hits.skipped);
    EXPECT_EQ(exhaustive.dat, pruned.dat);
    const engine::BestOrientation& x = exhaustive.best;
    const engine::BestOrientation& y = pruned.best;
    EXPECT_EQ(x.BestAngle, y.BestAngle);
    for (const auto& [u, v] : {std::pair{x.BestVVo, y.BestVVo},
                               {x.BestPx, y.BestPx},
                               {x.BestQy, y.BestQy},
                               {x.BestQx, y.BestQx},
                               {x.BestPy, y.BestPy}}) {
        EXPECT_TRUE(sameBits(u, v)) << u << " " << v;
    }
}

void expectPruningChangesNothing(const engine::CapturedRun& capture,
                                 const IterationWindowFields& window,
                                 engine::KernelPath kernel = engine::KernelPath::Fast) {
    IterationPlan plan = planIteration(capture, window);
    plan.base.kernel = kernel;
    const RunOutcome exhaustive = runWith(plan, window, true, 1);
    expectSame(exhaustive, runWith(plan, window, false, 1));
    expectSame(exhaustive, runWith(plan, window, false, 2));
}

void gold(engine::MainFieldTexts& f) {  // Au(111)-like, hexagonal
    f.a1 = f.a2 = "2.8836";
    f.alpha = "60";
    f.hexagonal = true;
    f.b1 = f.b2 = "5";
    f.beta = "60";
    f.AngleSpacing = "0.5";
}

TEST(Pruning, NamedRunsGiveTheExhaustiveResults) {
    const struct {
        const char* what;
        std::function<void(engine::MainFieldTexts&)> fields;
        std::function<void(IterationWindowFields&)> window;
        engine::KernelPath kernel = engine::KernelPath::Fast;
    } kCases[] = {
        {"root three, b1 and b2, 0.5", gold,
         [](IterationWindowFields& w) {
             range(w, Constant::b1, "4.9", "5.1", "0.02");
             range(w, Constant::b2, "4.9", "5.1", "0.02");
             w.itercrit = "0.5";
         }},
        {"root three, geometric",
         [](engine::MainFieldTexts& f) {
             gold(f);
             f.chkgeo = true;
             f.txtUplim = "2";
         },
         [](IterationWindowFields& w) {
             range(w, Constant::b1, "4.9", "5.1", "0.04");
             range(w, Constant::b2, "4.9", "5.1", "0.04");
             w.itercrit = "0.5";
         }},
        {"square, b1 b2 beta, 0.8, scalar",
         [](engine::MainFieldTexts& f) {
             f.a1 = f.a2 = "3.61";
             f.b1size = f.b2size = "8";
         },
         [](IterationWindowFields& w) {
             range(w, Constant::b1, "7", "7.4", "0.1");
             range(w, Constant::b2, "7", "7.4", "0.1");
             range(w, Constant::beta, "88", "92", "1");
         },
         engine::KernelPath::Scalar},
        {"flexible substrate", [](engine::MainFieldTexts& f) { f.b1size = f.b2size = "6"; },
         [](IterationWindowFields& w) {
             w.iterover = false;
             range(w, Constant::a1, "4.8", "5.2", "0.05");
             range(w, Constant::a2, "4.8", "5.2", "0.05");
             range(w, Constant::alpha, "85", "95", "5");
             w.itercrit = "0.9";
         }},
        {"rigid substrate", gold,
         [](IterationWindowFields& w) {
             w.iterover = false;
             w.rigidSubs = true;
             range(w, Constant::a2, "2.8", "3", "0.01");
             w.itercrit = "0.6";
         }},
        {"criterion above 1 carries angles", gold,
         [](IterationWindowFields& w) {
             range(w, Constant::b1, "4.9", "5.1", "0.1");
             w.itercrit = "1.2";
         }},
        {"the 2000-match stop",
         [](engine::MainFieldTexts& f) {
             f.b1size = f.b2size = "2";
             f.AngleSpacing = "5";
         },
         [](IterationWindowFields& w) {
             range(w, Constant::b1, "5", "15", "0.1");
             range(w, Constant::b2, "5", "15", "0.1");
             w.itercrit = "0.95";
         }},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        IterationWindowFields window = allFixed();
        c.window(window);
        expectPruningChangesNothing(captured(c.fields), window, c.kernel);
    }
}

TEST(Pruning, TwoHundredRandomSmallRunsGiveTheExhaustiveResults) {
    std::mt19937 random(20261209);
    const auto uniform = [&random](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    const auto whole = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const auto text = [](double v) { return fmt::format("{:.3f}", v); };
    for (int n = 0; n < 200; ++n) {
        SCOPED_TRACE(n);
        const bool hexagonal = whole(0, 2) == 0;
        const int kind = whole(0, 2);  // overlayer, flexible substrate, rigid substrate
        const double a = uniform(2, 5);
        const double b = uniform(2, 12);
        const engine::CapturedRun capture = captured([&](engine::MainFieldTexts& f) {
            f.a1 = text(a);
            f.a2 = hexagonal || kind == 2 ? f.a1 : text(uniform(2, 5));
            f.alpha = hexagonal ? "60" : text(uniform(60, 120));
            f.hexagonal = hexagonal;
            f.b1 = text(b);
            f.b2 = text(uniform(2, 12));
            f.beta = text(uniform(60, 120));
            f.b1size = std::to_string(whole(1, 8));
            f.b2size = std::to_string(whole(1, 8));
            f.Upperangle = std::to_string(whole(10, 90));
            f.AngleSpacing = text(uniform(0.3, 2));
            f.chkgeo = whole(0, 3) == 0;
            f.txtUplim = "2";
        });
        IterationWindowFields window = allFixed(kind == 0);
        window.rigidSubs = kind == 2;
        window.itercrit = text(uniform(0.2, 1.0));
        const double step = uniform(0.01, 0.2);
        if (kind == 0) {
            range(window, Constant::b1, text(b - 2 * step), text(b + 2 * step), text(step));
            range(window, Constant::beta, "70", "110", text(uniform(5, 20)));
        } else {
            range(window, Constant::a2, text(a - 2 * step), text(a + 2 * step), text(step));
            if (kind == 1) {
                range(window, Constant::alpha, "80", "100", text(uniform(5, 20)));
            }
        }
        const engine::KernelPath kernel =
            whole(0, 1) == 0 ? engine::KernelPath::Fast : engine::KernelPath::Scalar;
        IterationPlan plan = planIteration(capture, window);
        plan.base.kernel = kernel;
        expectSame(runWith(plan, window, true, 1), runWith(plan, window, false, 1));
        if (::testing::Test::HasFailure()) {
            break;  // one run's differences say enough
        }
    }
}

TEST(Pruning, TheBoundNeverExceedsTheComputedValue) {
    // Random geometries and every step of their grids, both kernels: wherever the bound
    // would let a step be left out, the step's computed V/Vo lies at or above it.
    std::mt19937 random(7);
    const auto uniform = [&random](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    int checked = 0;
    for (int n = 0; n < 300; ++n) {
        const bool hexagonal = n % 2 == 0;
        const double a = uniform(2, 5);
        const engine::PassGeometry base = engine::makePassGeometry(
            a, hexagonal ? a : uniform(2, 5), hexagonal ? 60 : uniform(50, 130), uniform(40, 140),
            uniform(1, 30), uniform(1, 30), hexagonal, uniform(-90, 90),
            static_cast<float>(uniform(0.01, 1)), static_cast<int>(uniform(0, 60)),
            static_cast<int>(uniform(0, 60)));
        const int last = 255;
        const engine::MatrixSines sines = engine::matrixSines(base, last);
        const engine::StepBound bound(base);
        for (const engine::KernelPath kernel :
             {engine::KernelPath::Fast, engine::KernelPath::Scalar}) {
            engine::PassGeometry g = base;
            g.kernel = kernel;
            engine::StepBlock block;
            for (int kBegin = 0; kBegin <= last; kBegin += engine::kStepBlock) {
                engine::computeSteps(g, kBegin, engine::kStepBlock, block);
                for (int c = 0; c < block.count; ++c) {
                    const double lower = bound.at(sines, kBegin + c);
                    ASSERT_LE(lower, block.vvo[static_cast<std::size_t>(c)])
                        << "geometry " << n << " step " << kBegin + c;
                    checked += lower > 0 ? 1 : 0;
                }
            }
        }
    }
    EXPECT_GT(checked, 100000);  // most steps have a useful bound
}

}  // namespace
}  // namespace lamivex::iteration
