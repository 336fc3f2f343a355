#include "engine/scan_results.h"

namespace lamivex::engine {

ScanResults ScanResults::create(int lastAngleIndex, int maxMultiple) {
    ScanResults results;
    results.LastAngleIndex = lastAngleIndex;
    results.MaxMultiple = maxMultiple;
    results.clearPerAngleArrays();
    const std::size_t cells = static_cast<std::size_t>(results.stepCount()) *
                              static_cast<std::size_t>(maxMultiple) *
                              static_cast<std::size_t>(maxMultiple);
    results.VVoTable.assign(cells, 0.0);
    results.MatrixTable.assign(cells * 4, 0.0);
    return results;
}

void ScanResults::clearPerAngleArrays() {
    const auto steps = static_cast<std::size_t>(stepCount());
    AzimuthAngles.assign(steps, 0.0F);
    M11.assign(steps, 0.0);
    M12.assign(steps, 0.0);
    M21.assign(steps, 0.0);
    M22.assign(steps, 0.0);
    AngleMinVVo.assign(steps, 0.0);
}

}  // namespace lamivex::engine
