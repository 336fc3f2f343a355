#include "iteration/iteration_scan.h"

#include <algorithm>

namespace lamivex::iteration {

ScanOutcome iterationScan(const engine::PassGeometry& g, int lastAngleIndex) {
    ScanOutcome best;
    engine::StepBlock block;
    for (int kBegin = 0; kBegin <= lastAngleIndex; kBegin += engine::kStepBlock) {
        engine::computeSteps(g, kBegin, std::min(engine::kStepBlock, lastAngleIndex - kBegin + 1),
                             block);
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
