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
    std::vector<double> M11;
    std::vector<double> M12;
    std::vector<double> M21;
    std::vector<double> M22;
    std::vector<double> AngleMinVVo;  // filled from the per-angle table, see angle_best_table.h
    // Every pass, by (k, i, j); the matrix by (k, i, j, c) with c = 1..4 for m11, m12, m21, m22.
    std::vector<double> VVoTable;
    std::vector<double> MatrixTable;

    // All arrays zero, sized for steps 0..lastAngleIndex and multiples 1..maxMultiple.
    [[nodiscard]] static ScanResults create(int lastAngleIndex, int maxMultiple);

    [[nodiscard]] int stepCount() const { return LastAngleIndex + 1; }
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
};

}  // namespace lamivex::engine
