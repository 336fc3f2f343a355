// Time to compute and draw the two views of a 51 × 51 domain, to an 800-pixel picture.
// Run: build/bin/lamivex-bench-views
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "output/view_pictures.h"
#include "render/display_list_painter.h"
#include "render/gui_session.h"

namespace {

using namespace lamivex;

const engine::SubstrateCell kHexagonal{2.8836, 2.8836, 60};

// An oblique cell on a hexagonal substrate: 12 orientations, 6 distinct LEED domains.
views::Basis2 obliqueOverlayer() {
    return views::overlayerBasis({kHexagonal, 7.3, 5.1, 75, 13.7});
}

void paint(const output::DisplayList& picture) {
    QImage image(800, 690, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    render::drawDisplayList(painter, picture, QRectF(0, 0, 800, 690), render::Fit::KeepAspect);
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
}

void BM_RealSpace51x51(benchmark::State& state) {
    const views::Basis2 substrate = views::substrateBasis(kHexagonal);
    for (auto _ : state) {
        const views::RealSpaceScene scene =
            views::realSpaceScene(substrate, obliqueOverlayer(), {});
        const output::DisplayList picture = output::realSpacePicture(scene);
        if (state.range(0) != 0) {
            paint(picture);
        }
        benchmark::DoNotOptimize(picture.items.size());
    }
}
BENCHMARK(BM_RealSpace51x51)->Arg(0)->Arg(1)->ArgNames({"drawn"})->Unit(benchmark::kMillisecond);

void BM_LeedAllDomains(benchmark::State& state) {
    const views::Basis2 substrate = views::substrateBasis(kHexagonal);
    views::LeedOptions options;
    options.multipleScattering = state.range(1) != 0;
    for (auto _ : state) {
        const views::LeedPattern pattern =
            views::leedPattern(substrate, obliqueOverlayer(), options);
        const output::DisplayList picture = output::leedPicture(pattern);
        if (state.range(0) != 0) {
            paint(picture);
        }
        benchmark::DoNotOptimize(picture.items.size());
    }
}
BENCHMARK(BM_LeedAllDomains)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({1, 1})
    ->ArgNames({"drawn", "double"})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    const lamivex::render::GuiSession gui;  // text layout needs an application object
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
