// The fit of a measured LEED pattern of about 200 spots: (√7×√7)R19.1° on Cu(111) with both
// mirror domains, position noise of 0.3 % of the first order, a fifth of the spots removed.

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "fit/leed_fit.h"
#include "views/domains.h"
#include "views/leed.h"

namespace {

using namespace lamivex;

std::vector<fit::Spot> pattern() {
    const engine::SubstrateCell cu111{2.5562, 2.5562, 60};
    const views::Basis2 substrate = views::substrateBasis(cu111);
    const double b = 2.5562 * std::sqrt(7.0);
    const views::Basis2 overlayer = views::overlayerBasis({cu111, b, b, 60, 19.106605});
    views::LeedOptions options;
    options.energyEv = 160;  // about 250 places on the screen, 200 spots kept
    const views::LeedPattern p = views::leedPattern(substrate, overlayer, options);
    std::mt19937 random(42);
    std::uniform_real_distribution<double> unit(0, 1);
    const double scale = 40;  // pixels per 1/Angstrom
    std::normal_distribution<double> noise(0, 0.003 * scale * 2.838);
    std::vector<fit::Spot> spots;
    std::vector<views::Vec2> seen;
    for (const views::LeedSpot& s : p.spots) {
        const bool repeated = std::any_of(seen.begin(), seen.end(),
                                          [&](views::Vec2 q) { return (q - s.g).length() < 1e-6; });
        if (s.g.length() < 1e-9 || repeated || unit(random) < 0.2) {
            seen.push_back(s.g);
            continue;
        }
        seen.push_back(s.g);
        spots.push_back({500 + scale * s.g.x + noise(random), 500 - scale * s.g.y + noise(random),
                         s.source == views::SpotSource::Substrate ? fit::SpotKind::Substrate
                                                                  : fit::SpotKind::Unknown});
    }
    return spots;
}

void fitLeedPattern(benchmark::State& state) {
    const std::vector<fit::Spot> spots = pattern();
    for (auto _ : state) {
        benchmark::DoNotOptimize(fit::fitLeed(spots, {2.5562, 2.5562, 60}));
    }
    state.counters["spots"] = static_cast<double>(spots.size());
}
BENCHMARK(fitLeedPattern)->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();
