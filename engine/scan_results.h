#pragma once
// The result arrays of a rotation scan, indexed by azimuth step k = 0..LastAngleIndex
// and, for the tables, by b1 multiple i and b2 multiple j = 1..MaxMultiple.

#include <cstddef>
#include <vector>

namespace lamivex::engine {

struct ScanResults {
    int LastAngleIndex = -1;
    int MaxMultiple = 0;
    // Per-angle arrays; each pass re-creates them, so they hold the last pass.
    std::vector<float> AzimuthAngles;  // degrees
    std::vector<double> AngleMinVVo;   // filled from the per-angle table, see angle_best_table.h
    // Every pass, by (k, i, j); the matrix by (k, i, j, c) with c = 1..4 for m11, m12, m21, m22.
    std::vector<double> VVoTable;
    std::vector<double> MatrixTable;
    // The multiples of the pass that last wrote the per-angle arrays. Its matrix per step is
    // read from MatrixTable rather than kept a second time: every page a run touches costs
    // more than the arithmetic of a step.
    int LastPassB1Multiple = 1;
    int LastPassB2Multiple = 1;

    // All arrays zero, sized for steps 0..lastAngleIndex and multiples 1..maxMultiple.
    [[nodiscard]] static ScanResults create(int lastAngleIndex, int maxMultiple);
    // The same in place: the arrays keep their memory, so a caller running one scan after
    // another touches fresh pages only when a run is larger than all before it.
    void reset(int lastAngleIndex, int maxMultiple);

    [[nodiscard]] int stepCount() const { return LastAngleIndex + 1; }
    // m11, m12, m21, m22 of step k in the last pass.
    [[nodiscard]] double M11(int k) const { return lastPassMatrix(k, 1); }
    [[nodiscard]] double M12(int k) const { return lastPassMatrix(k, 2); }
    [[nodiscard]] double M21(int k) const { return lastPassMatrix(k, 3); }
    [[nodiscard]] double M22(int k) const { return lastPassMatrix(k, 4); }
    // Re-creates the per-angle arrays empty, as every pass does before it starts.
    void clearPerAngleArrays();

    [[nodiscard]] std::size_t tableIndex(int k, int i, int j) const {
        return (static_cast<std::size_t>(j - 1) * static_cast<std::size_t>(MaxMultiple) +
                static_cast<std::size_t>(i - 1)) *
                   static_cast<std::size_t>(stepCount()) +
               static_cast<std::size_t>(k);
    }
    [[nodiscard]] double vvo(int k, int i, int j) const { return VVoTable[tableIndex(k, i, j)]; }
    double& vvo(int k, int i, int j) { return VVoTable[tableIndex(k, i, j)]; }
    [[nodiscard]] double matrix(int k, int i, int j, int c) const {
        return MatrixTable[tableIndex(k, i, j) * 4 + static_cast<std::size_t>(c - 1)];
    }
    double& matrix(int k, int i, int j, int c) {
        return MatrixTable[tableIndex(k, i, j) * 4 + static_cast<std::size_t>(c - 1)];
    }

  private:
    [[nodiscard]] double lastPassMatrix(int k, int c) const {
        return matrix(k, LastPassB1Multiple, LastPassB2Multiple, c);
    }
};

}  // namespace lamivex::engine
