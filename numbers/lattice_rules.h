#pragma once
// The rules every calculation applies to a lattice before it computes with it: the lengths
// and angles a cell may have, how nearly parallel a matrix's rows may be, the azimuth angles
// a run reads, and how many substrate wave periods a domain may span. The scan, the
// iteration, the views, convert and the structure database refuse by these same rules. (The
// window's fields only check that a text is a number; these apply when a run starts.)
// Lengths in Angstroms, angles in degrees.

#include <string>
#include <string_view>

#include "numbers/entry_rule.h"

namespace lamivex::numbers {

// Lattice lengths: ten thousand times either side of the 1 to 10 Angstrom of surface cells.
// The range keeps the lengths, their ratios and their products with domain sizes and
// multiples far inside double precision; the wave bound below is what limits the ratios.
inline constexpr double kMinLatticeLength = 1e-3;
inline constexpr double kMaxLatticeLength = 1e5;

// A cell is degenerate when |sin| of the angle between its vectors is below this: the angle
// lies within 0.057 degrees of 0 or 180. A single-precision angle near 180 degrees is known to
// about 8e-6 degrees, so the sine (and the matrix, which divides by the substrate's) keeps at
// least three digits; closer to parallel the area a1·a2·sin(alpha) is rounding noise.
inline constexpr double kMinCellSine = 1e-3;

// Azimuth angles (the scan's bounds, a view's angle): ten turns either way. A single holds
// them to better than 0.0005 degrees, finer than the 0.001 degree offset of every step.
inline constexpr double kMaxAzimuth = 3600;

// The number of periods of a substrate wave across the domain, (2m+1)·|m_ij| with the matrix
// of the largest multiples, at most this. A wave's phase pi·(2m+1)·m_ij is then known to about
// 1e-7 radian in double precision; at 1e11 periods and more the rounding of sin(P·pi·x) /
// sin(pi·x) gives V/Vo far outside its bounds (below 0, or -0.5 on a hexagonal substrate).
inline constexpr double kMaxWavePeriods = 1e8;

// A lattice length named name ("a1", "b2", ...): a number from kMinLatticeLength to
// kMaxLatticeLength.
[[nodiscard]] FieldVerdict checkLatticeLength(std::string_view name, double value);

// The angle named name between a cell's vectors (vectors: "a1 and a2"): |sin| at least
// kMinCellSine. The entry rules have already kept it below 360 in magnitude.
[[nodiscard]] FieldVerdict checkCellAngle(std::string_view name, double degrees,
                                          std::string_view vectors);

// An azimuth angle named name ("The lower bound"): within -kMaxAzimuth..kMaxAzimuth.
[[nodiscard]] FieldVerdict checkAzimuth(std::string_view name, double degrees);

// A transformation matrix (b1 = m11·a1 + m12·a2, b2 = m21·a1 + m22·a2): finite, and its rows
// not parallel within kMinCellSine, measured on the rows scaled to length 1 so that the test
// does not depend on the matrix's magnitude (1e300 1e300 1e300 1e300 is as singular as
// 1 1 1 1).
[[nodiscard]] FieldVerdict checkMatrixRows(double m11, double m12, double m21, double m22);

// The wave bound for a domain of 2m+1 by 2n+1 points: the overlayer's lengths b1, b2 (with
// their largest multiple), the substrate's a1, a2 and the sine of alpha. hexagonal: the third
// wave along a1 + a2 counts too, whose argument is the sum of two matrix elements.
struct WaveSpan {
    double b1 = 0;  // Angstroms, times the largest b1 multiple
    double b2 = 0;
    double a1 = 0;
    double a2 = 0;
    double sinAlpha = 1;
    int m = 0;
    int n = 0;
    bool hexagonal = false;
};
// The largest number of wave periods the domain can span at any azimuth.
[[nodiscard]] double wavePeriods(const WaveSpan& span);
[[nodiscard]] FieldVerdict checkWaveSpan(const WaveSpan& span);

}  // namespace lamivex::numbers
