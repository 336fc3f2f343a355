// Trials per second of an iteration run: an 11 x 11 x 11 overlayer run (b1, b2 from 9.5 to
// 10.5 by 0.1, beta from 85 to 95 by 1) on the default lattice, 241 angles and 51 x 51
// points per scan. Run: build/bin/lamivex-bench-iteration
#include <benchmark/benchmark.h>

#include <thread>

#include "engine/capture.h"
#include "iteration/iteration_plan.h"
#include "iteration/iteration_run.h"

namespace {

using namespace lamivex;

iteration::IterationPlan elevenCubed(bool geometric, engine::KernelPath kernel) {
    engine::MainFieldTexts fields;
    fields.chkgeo = geometric;
    fields.txtUplim = std::string{"2"};  // a literal here trips a false -Wrestrict in g++ 12
    iteration::IterationWindowFields window;
    window.row(iteration::Constant::b1) = {"9.5", "10.5", "0.1", false};
    window.row(iteration::Constant::b2) = {"9.5", "10.5", "0.1", false};
    window.row(iteration::Constant::beta) = {"85", "95", "1", false};
    iteration::IterationPlan plan = iteration::planIteration(engine::captureRun(fields), window);
    plan.base.kernel = kernel;
    return plan;
}

// Arguments: 0 scalar / 1 fast kernel, 0 plain / 1 geometric search up to 2, threads
// (0: every core).
void BM_IterationElevenCubed(benchmark::State& state) {
    const auto kernel = state.range(0) == 0 ? engine::KernelPath::Scalar : engine::KernelPath::Fast;
    const iteration::IterationPlan plan = elevenCubed(state.range(1) != 0, kernel);
    const int threads =
        state.range(2) == 0 ? iteration::defaultThreadCount() : static_cast<int>(state.range(2));
    if (plan.trialCount != 1331 * plan.maxMultiple * plan.maxMultiple) {
        state.SkipWithError("unexpected trial count");
        return;
    }
    for (auto _ : state) {
        engine::BestOrientation best;
        const iteration::CompletedIteration result =
            iteration::runIteration(plan, best, {}, threads);
        benchmark::DoNotOptimize(result.MatchCount);
    }
    state.counters["threads"] = threads;
    state.counters["trials/s"] =
        benchmark::Counter(1331, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["scans/s"] = benchmark::Counter(static_cast<double>(plan.trialCount),
                                                   benchmark::Counter::kIsIterationInvariantRate);
}

// The runs of the pruning table. 0: the 11 x 11 x 11 run above (criterion 0.8). 1: a
// 51 x 51 x 11 hexagonal run, a = 2.884, b1 and b2 4.5..5.5 by 0.02, beta 115..125 by 1,
// criterion 0.5. 2: the 11 x 11 x 11 run on an 11 x 11 domain (m = n = 5).
iteration::IterationPlan pruningCase(int which) {
    engine::MainFieldTexts fields;
    iteration::IterationWindowFields window;
    if (which == 1) {
        fields.a1 = fields.a2 = std::string{"2.884"};
        fields.alpha = std::string{"60"};
        fields.hexagonal = true;
        fields.b1 = fields.b2 = std::string{"5"};
        fields.beta = std::string{"120"};
        window.row(iteration::Constant::b1) = {"4.5", "5.5", "0.02", false};
        window.row(iteration::Constant::b2) = {"4.5", "5.5", "0.02", false};
        window.row(iteration::Constant::beta) = {"115", "125", "1", false};
        window.itercrit = "0.5";
    } else {
        if (which == 2) {
            fields.b1size = fields.b2size = std::string{"5"};
        }
        window.row(iteration::Constant::b1) = {"9.5", "10.5", "0.1", false};
        window.row(iteration::Constant::b2) = {"9.5", "10.5", "0.1", false};
        window.row(iteration::Constant::beta) = {"85", "95", "1", false};
    }
    iteration::IterationPlan plan = iteration::planIteration(engine::captureRun(fields), window);
    plan.base.kernel = engine::KernelPath::Fast;
    return plan;
}

// Arguments: the run (see pruningCase), 1 exhaustive / 0 pruned, threads (0: every core).
void BM_IterationPruning(benchmark::State& state) {
    iteration::IterationPlan plan = pruningCase(static_cast<int>(state.range(0)));
    plan.exhaustive = state.range(1) != 0;
    const int threads =
        state.range(2) == 0 ? iteration::defaultThreadCount() : static_cast<int>(state.range(2));
    int matches = 0;
    for (auto _ : state) {
        engine::BestOrientation best;
        const iteration::CompletedIteration result =
            iteration::runIteration(plan, best, {}, threads);
        matches = result.MatchCount;
        benchmark::DoNotOptimize(result.MatchCount);
    }
    state.counters["threads"] = threads;
    state.counters["matches"] = matches;
    state.counters["trials/s"] = benchmark::Counter(static_cast<double>(plan.trialCount),
                                                    benchmark::Counter::kIsIterationInvariantRate);
}

}  // namespace

BENCHMARK(BM_IterationPruning)
    ->ArgNames({"run", "exhaustive", "threads"})
    ->ArgsProduct({{0, 1, 2}, {1, 0}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK(BM_IterationElevenCubed)
    ->ArgNames({"fast", "geometric", "threads"})
    ->Args({0, 0, 1})
    ->Args({1, 0, 1})
    ->Args({1, 0, 0})
    ->Args({0, 1, 1})
    ->Args({1, 1, 1})
    ->Args({1, 1, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
