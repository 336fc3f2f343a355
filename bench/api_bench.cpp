// The typed API's calls in C++, the yardstick for the same calls made from Python:
//   build/bin/lamivex-bench-api
// and, beside it, python3 -m timeit with lamivex.scan(spacing=0.01) and
// lamivex.crystal.plane_spacing("Cubic", a=5.431, plane=(1, 1, 1)).

#include <benchmark/benchmark.h>

#include "api/crystal.h"
#include "api/scan.h"

namespace {

// The main window's default lattices over 0…60° at 0.01°: 6001 steps.
void ScanOf6001Steps(benchmark::State& state) {
    lamivex::api::ScanRequest request;
    request.lattice.spacing = 0.01;
    request.fast = state.range(0) != 0;
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop's form
        const lamivex::api::ScanResult result = lamivex::api::scan(request);
        benchmark::DoNotOptimize(result.best.BestVVo);
    }
}
BENCHMARK(ScanOf6001Steps)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void PlaneSpacing(benchmark::State& state) {
    lamivex::api::CrystalRequest request;
    request.system = "Cubic";
    request.cell[0] = "5.431";
    request.plane = "1 1 1";
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop's form
        benchmark::DoNotOptimize(lamivex::api::planeSpacing(request).value);
    }
}
BENCHMARK(PlaneSpacing)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
