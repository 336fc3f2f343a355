#include "engine/match_pass.h"

#include <algorithm>

namespace lamivex::engine {

double progressFraction(int k, int lastAngleIndex) {
    if (lastAngleIndex <= 0) {
        return 1.0;
    }
    return static_cast<double>(k) / lastAngleIndex;
}

void runPass(const PassGeometry& g, int i, int j, ScanResults& results, BestOrientation& best,
             const ProgressFn& progress) {
    results.clearPerAngleArrays();
    computePass(g, i, j, results, best, true, progress);
}

void computePass(const PassGeometry& g, int i, int j, ScanResults& results, BestOrientation& best,
                 bool writePerAngleArrays, const ProgressFn& progress) {
    const int last = results.LastAngleIndex;
    if (writePerAngleArrays) {
        results.LastPassB1Multiple = i;
        results.LastPassB2Multiple = j;
    }
    StepBlock block;
    for (int kBegin = 0; kBegin <= last; kBegin += kStepBlock) {
        computeSteps(g, kBegin, std::min(kStepBlock, last - kBegin + 1), block);
        for (int c = 0; c < block.count; ++c) {
            const int k = kBegin + c;
            const auto ks = static_cast<std::size_t>(k);
            const auto cs = static_cast<std::size_t>(c);
            if (writePerAngleArrays) {
                results.AzimuthAngles[ks] = block.theta[cs];
            }
            results.vvo(k, i, j) = block.vvo[cs];
            results.matrix(k, i, j, 1) = block.m11[cs];
            results.matrix(k, i, j, 2) = block.m12[cs];
            results.matrix(k, i, j, 3) = block.m21[cs];
            results.matrix(k, i, j, 4) = block.m22[cs];
            if (block.vvo[cs] < best.BestVVo) {
                best.BestVVo = block.vvo[cs];
                best.BestPx = block.m11[cs];
                best.BestPy = block.m22[cs];
                best.BestQx = block.m21[cs];
                best.BestQy = block.m12[cs];
                best.BestAngle = block.theta[cs];
                best.BestB1Multiple = i;
                best.BestB2Multiple = j;
            }
        }
        if (progress) {
            progress(kBegin + block.count - 1, last);
        }
    }
}

}  // namespace lamivex::engine
