#include "engine/scan_results.h"

namespace lamivex::engine {

ScanResults ScanResults::create(int lastAngleIndex, int maxMultiple) {
    ScanResults results;
    results.reset(lastAngleIndex, maxMultiple);
    return results;
}

void ScanResults::reset(int lastAngleIndex, int maxMultiple) {
    LastAngleIndex = lastAngleIndex;
    MaxMultiple = maxMultiple;
    LastPassB1Multiple = 1;
    LastPassB2Multiple = 1;
    clearPerAngleArrays();
    const std::size_t cells = static_cast<std::size_t>(stepCount()) *
                              static_cast<std::size_t>(maxMultiple) *
                              static_cast<std::size_t>(maxMultiple);
    VVoTable.assign(cells, 0.0);
    MatrixTable.assign(cells * 4, 0.0);
}

void ScanResults::clearPerAngleArrays() {
    const auto steps = static_cast<std::size_t>(stepCount());
    AzimuthAngles.assign(steps, 0.0F);
    AngleMinVVo.assign(steps, 0.0);
}

}  // namespace lamivex::engine
