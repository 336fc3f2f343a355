#include "iteration/iteration_scan.h"

#include <algorithm>
#include <array>
#include <span>

namespace lamivex::iteration {

namespace {

// Steps in order; only a strictly lower V/Vo replaces the best.
void takeBetter(const engine::StepBlock& block, ScanOutcome& best) {
    for (int c = 0; c < block.count; ++c) {
        const auto cs = static_cast<std::size_t>(c);
        if (block.vvo[cs] < best.BestVVo) {
            best.found = true;
            best.BestVVo = block.vvo[cs];
            best.BestAngle = block.theta[cs];
            best.BestPx = block.m11[cs];
            best.BestQy = block.m12[cs];
            best.BestQx = block.m21[cs];
            best.BestPy = block.m22[cs];
        }
    }
}

}  // namespace

ScanOutcome iterationScan(const engine::PassGeometry& g, int lastAngleIndex) {
    ScanOutcome best;
    engine::StepBlock block;
    for (int kBegin = 0; kBegin <= lastAngleIndex; kBegin += engine::kStepBlock) {
        engine::computeSteps(g, kBegin, std::min(engine::kStepBlock, lastAngleIndex - kBegin + 1),
                             block);
        takeBetter(block, best);
    }
    return best;
}

ScanOutcome prunedIterationScan(const engine::PassGeometry& g, int lastAngleIndex, double criterion,
                                const engine::MatrixSines& sines) {
    ScanOutcome best;
    const engine::StepBound bound(g);
    engine::StepBlock block;
    std::array<int, engine::kStepBlock> survivors{};
    for (int kBegin = 0; kBegin <= lastAngleIndex; kBegin += engine::kStepBlock) {
        const int kEnd = std::min(kBegin + engine::kStepBlock, lastAngleIndex + 1);
        // The best only falls within the block, so the threshold at its start is safe for
        // all of it.
        const double threshold = std::min(criterion, best.BestVVo);
        const int survived =
            bound.survivors(sines, kBegin, kEnd - kBegin, threshold, survivors.data());
        if (survived < kEnd - kBegin && threshold < best.BestVVo) {
            best.approximate = true;
        }
        if (survived > 0) {
            engine::computeStepList(
                g, std::span<const int>(survivors.data(), static_cast<std::size_t>(survived)),
                block);
            takeBetter(block, best);
        }
    }
    return best;
}

void applyScan(const ScanOutcome& scan, engine::BestOrientation& best) {
    best.BestVVo = scan.BestVVo;
    if (scan.found) {
        best.BestAngle = scan.BestAngle;
        best.BestPx = scan.BestPx;
        best.BestQy = scan.BestQy;
        best.BestQx = scan.BestQx;
        best.BestPy = scan.BestPy;
    }
}

}  // namespace lamivex::iteration
