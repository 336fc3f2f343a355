#pragma once
// Plane spacing, interplanar angle, angle between directions and cell volume of a
// three-dimensional cell. Lengths in Angstroms, the cell's angles in radians, results in
// Angstroms, degrees and cubic Angstroms. Each result is a value or the reason it has none.

#include <optional>
#include <string>

#include "crystal/crystal_cell.h"
#include "crystal/crystal_result.h"
#include "crystal/crystal_system.h"
#include "crystal/index_parse.h"

namespace lamivex::crystal {

// The volume factor under the square root (1 − cos²α − cos²β − cos²γ + 2cosα·cosβ·cosγ, or
// 1 − 3cos²α + 2cos³α for a trigonal cell) at or below this counts as a flat cell with no
// volume. It absorbs the error of the tool's pi: a trigonal alpha of 120 degrees, which
// is flat, gives about 5e-13 instead of 0.
inline constexpr double kFlatCellTolerance = 1e-10;

// Why the values the system's formulas read do not form a cell, or nullopt when they do:
// a length not above 0, an angle not strictly between 0 and 180 degrees, angles that give
// no volume, or a value beyond the range of a double. Each system checks only what it
// reads (a cubic cell a alone; a trigonal cell a and alpha; a monoclinic cell a, b, c, beta).
[[nodiscard]] std::optional<std::string> cellProblem(CrystalSystem system, const CrystalCell& cell);

// Spacing d of the plane (h k l), Angstroms, from Q = 1/d² by the system's formula.
[[nodiscard]] CrystalResult planeSpacing(CrystalSystem system, const CrystalCell& cell,
                                         const MillerPlane& plane);

// Angle between two planes, degrees. Parallel planes give exactly 0 (same sense) or 180.
[[nodiscard]] CrystalResult interplanarAngle(CrystalSystem system, const CrystalCell& cell,
                                             const MillerPlane& plane1, const MillerPlane& plane2);

// Angle between two directions, degrees, with the general metric of all six cell values
// whatever the system. Parallel directions give exactly 0 or 180.
[[nodiscard]] CrystalResult directionAngle(const CrystalCell& cell, const Direction& dir1,
                                           const Direction& dir2);

// Cell volume, cubic Angstroms (a hexagonal cell uses 0.866 for sqrt(3)/2).
[[nodiscard]] CrystalResult cellVolume(CrystalSystem system, const CrystalCell& cell);

// arccos in degrees as the tool forms it: atan(−x/√(1−x²)) + 1.5708, times 180/kPi, so a
// right angle comes out a little above 90. x at or beyond ±1 gives exactly 0 or 180.
[[nodiscard]] double arccosDegrees(double x);

}  // namespace lamivex::crystal
