#pragma once
// The best orientation found by a run. Names follow the result fields they feed:
// BestPx = m11, BestQy = m12, BestQx = m21, BestPy = m22.

namespace lamivex::engine {

struct BestOrientation {
    double BestVVo = 0;
    float BestAngle = 0;  // degrees
    double BestPx = 0;
    double BestQy = 0;
    double BestQx = 0;
    double BestPy = 0;
    double BestB1Multiple = 0;
    double BestB2Multiple = 0;
};

// A run starts from this value: only a lower V/Vo can become the best.
inline constexpr double kScanStartBestVVo = 0.9999;

}  // namespace lamivex::engine
