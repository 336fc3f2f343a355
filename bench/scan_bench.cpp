// Steps per second of the rotation scan. Run: build/bin/lamivex-bench-scan
#include <benchmark/benchmark.h>

#include "engine/direct_sum.h"
#include "engine/match_pass.h"
#include "engine/rotation_scan.h"

namespace {

using namespace lamivex::engine;

ScanInputs defaultInputs(bool hexagonal) {
    ScanInputs in;
    in.a1 = in.a2 = in.b1 = in.b2 = 10;
    in.alpha = in.beta = 90;
    if (hexagonal) {
        in.alpha = in.beta = 60;
        in.b1 = in.b2 = 17.32051;
    }
    in.hexagonal = hexagonal;
    in.settings = {25, 25, 0.0F, 60.0F, 0.25F, 1};
    return in;
}

void runPassBench(benchmark::State& state, const ScanInputs& in,
                  KernelPath kernel = KernelPath::Scalar) {
    const int last = static_cast<int>(angleStepQuotient(in.settings));
    ScanResults results = ScanResults::create(last, 1);
    PassGeometry g =
        makePassGeometry(in.a1, in.a2, in.alpha, in.beta, in.b1, in.b2, in.hexagonal, in.lower,
                         in.settings.angleSpacing, in.settings.b1Size, in.settings.b2Size);
    g.kernel = kernel;
    for (auto _ : state) {
        BestOrientation best{kScanStartBestVVo};
        runPass(g, 1, 1, results, best);
        benchmark::DoNotOptimize(best.BestVVo);
    }
    state.counters["steps/s"] = benchmark::Counter(static_cast<double>(last + 1),
                                                   benchmark::Counter::kIsIterationInvariantRate);
}

void BM_PassDefault(benchmark::State& state) {
    runPassBench(state, defaultInputs(false));
}
void BM_PassDefaultHexagonal(benchmark::State& state) {
    runPassBench(state, defaultInputs(true));
}

void BM_Pass2401StepsHexagonal(benchmark::State& state) {
    ScanInputs in = defaultInputs(true);
    in.settings.angleSpacing = 0.025F;
    runPassBench(state, in);
}

// The vectorised path beside the scalar one, so one run gives the ratio.
void BM_FastPassDefault(benchmark::State& state) {
    runPassBench(state, defaultInputs(false), KernelPath::Fast);
}
void BM_FastPassDefaultHexagonal(benchmark::State& state) {
    runPassBench(state, defaultInputs(true), KernelPath::Fast);
}
void BM_FastPass2401StepsHexagonal(benchmark::State& state) {
    ScanInputs in = defaultInputs(true);
    in.settings.angleSpacing = 0.025F;
    runPassBench(state, in, KernelPath::Fast);
}

// Arguments: 0 scalar / 1 fast kernel, and the number of threads.
void BM_GeometricScanMultiple8(benchmark::State& state) {
    ScanInputs in = defaultInputs(false);
    in.settings.maxMultiple = 8;
    in.kernel = state.range(0) == 0 ? KernelPath::Scalar : KernelPath::Fast;
    in.threads = static_cast<int>(state.range(1));
    ScanResults results;
    for (auto _ : state) {
        BestOrientation best;
        runRotationScan(in, results, best);
        benchmark::DoNotOptimize(best.BestVVo);
    }
    state.counters["steps/s"] =
        benchmark::Counter(241.0 * 64, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_DirectLatticeSum(benchmark::State& state) {
    const ScanInputs in = defaultInputs(false);
    const PassGeometry g =
        makePassGeometry(in.a1, in.a2, in.alpha, in.beta, in.b1, in.b2, in.hexagonal, in.lower,
                         in.settings.angleSpacing, in.settings.b1Size, in.settings.b2Size);
    int k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(directSumVVo(g, azimuthAngle(0, 0.25F, k)));
        k = (k + 1) % 241;
    }
    state.counters["steps/s"] =
        benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
}

}  // namespace

BENCHMARK(BM_PassDefault);
BENCHMARK(BM_PassDefaultHexagonal);
BENCHMARK(BM_Pass2401StepsHexagonal);
BENCHMARK(BM_FastPassDefault);
BENCHMARK(BM_FastPassDefaultHexagonal);
BENCHMARK(BM_FastPass2401StepsHexagonal);
BENCHMARK(BM_GeometricScanMultiple8)
    ->ArgNames({"fast", "threads"})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({1, 2})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_DirectLatticeSum)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
