#pragma once
// A lower bound of V/Vo at an azimuth step from its matrix alone, without a wave sine, so
// that an iteration trial can leave out the steps that can neither match nor better its
// best. The four matrix sines depend only on alpha, beta and the azimuth grid, so trials
// that share those share one table of them.

#include <vector>

#include "engine/match_kernel.h"

namespace lamivex::engine {

// sin((alpha - t)°), sin((alpha - beta - t)°), sin(t°) and sin((beta + t)°) at the steps
// k = 0..lastAngleIndex: m11, m21, m12 and m22 are these times b1 / (a1 sin alpha),
// b2 / (a1 sin alpha), b1 / (a2 sin alpha) and b2 / (a2 sin alpha). The tables run on past
// the last step to a whole group of four.
struct MatrixSines {
    std::vector<double> m11;
    std::vector<double> m21;
    std::vector<double> m12;
    std::vector<double> m22;
};

[[nodiscard]] MatrixSines matrixSines(const PassGeometry& g, int lastAngleIndex);

class StepBound {
  public:
    explicit StepBound(const PassGeometry& g);

    // What the kernel's V/Vo at step k is sure to be at or above, for both kernel paths;
    // minus infinity when a wave argument lies so near a whole number that no bound holds
    // in floating point (the step must then be computed).
    [[nodiscard]] double at(const MatrixSines& sines, int k) const;

    // The steps kBegin .. kBegin + count - 1 (count <= kStepBlock) whose bound lies below
    // threshold, in order, into steps; returns how many. The same bound, compared without
    // a division, four steps at a time where the processor has AVX2.
    int survivors(const MatrixSines& sines, int kBegin, int count, double threshold,
                  int* steps) const;

    // The margin the bound keeps below the exact bound, V/Vo.
    [[nodiscard]] double margin() const { return m_p.margin; }

    // What the vectorised comparison needs.
    struct Constants {
        double c11 = 0;
        double c21 = 0;
        double c12 = 0;
        double c22 = 0;
        double invP = 1;  // a factor is 1 / max(1 / P, 2 d): min(P, 1 / (2 d)) without a division
        double invQ = 1;
        double D = 2;
        double eta = 0;
        double delta0 = 0;
        double margin = 0;
        bool hexagonal = false;
    };

  private:
    Constants m_p;
};

// The distance of x kPi / pi to the nearest whole number, as the bound takes it.
inline constexpr double kBoundPiRatio = kPi / 3.14159265358979323846;

}  // namespace lamivex::engine
