#pragma once
// What a 2D lattice's geometry allows: its Bravais type, its point group as integer matrices,
// its row families and the irreducible wedge of azimuths. Every decision takes its tolerance
// as an argument: relative to the lengths compared, and to 1 for cosines of angles.

#include <optional>
#include <string_view>
#include <vector>

#include "lattice/basis2.h"

namespace lamivex::lattice {

// Equal lengths and right or 60° angles to this relative tolerance. The fields hold single
// precision (7 digits), crystal files about as many; a looser value would merge lattices a
// measurement tells apart.
inline constexpr double kDefaultTolerance = 1e-5;

enum class BravaisType { Oblique, Rectangular, CentredRectangular, Square, Hexagonal };

// "oblique", "rectangular", "centred rectangular", "square", "hexagonal".
[[nodiscard]] const char* bravaisName(BravaisType type);
[[nodiscard]] std::optional<BravaisType> bravaisFromName(std::string_view name);

// The five plane lattices by the metric of the reduced basis (a ≤ b, γ in 60…90°):
//   a = b, γ = 60°: hexagonal;  a = b, γ = 90°: square;  γ = 90°: rectangular;
//   a = b or 2·b·cos γ = a: centred rectangular (a rhombus, or a cell whose v2 reaches
//   halfway along v1);  else oblique.
// C. Kittel, Introduction to Solid State Physics, 8th ed. (Wiley 2005), ch. 1, "Fundamental
// types of lattices", pp. 8–9 (the five two-dimensional lattice types).
[[nodiscard]] BravaisType bravaisType(const Basis2& basis, double tolerance = kDefaultTolerance);

// One operation of the point group: its integer matrix G acting on a vector's coordinates
// (c → G·c, c a column of components in the basis the group was asked for), and the
// Cartesian operation it is: a turn by rotation degrees (true degrees, 0 ≤ r < 360), after a
// mirror across the x axis when mirror is set.
struct SymmetryOperation {
    IntMatrix2 matrix = kIdentity;
    double rotation = 0;
    bool mirror = false;
};

struct PointGroup {
    BravaisType type = BravaisType::Oblique;
    // The identity first, then the other rotations by increasing angle, then the mirrors.
    std::vector<SymmetryOperation> operations;
    int rotationCount = 2;  // 2, 4 or 6
    // A mirror line's direction, radians from x, when the group has mirrors.
    std::optional<double> mirrorLine;
};

// The operations that map the lattice onto itself, found in the reduced basis (where every
// one has entries −1, 0 or 1) and written in basis's own coordinates.
[[nodiscard]] PointGroup pointGroup(const Basis2& basis, double tolerance = kDefaultTolerance);

// A family of lattice rows: the primitive reciprocal vector (h, k) in basis's coordinates
// (h·a1* + k·a2*), one of each ± pair; the rows are the lines h·u + k·v = integer.
struct RowFamily {
    std::int64_t h = 0;
    std::int64_t k = 0;
    Vec2 reciprocal;     // 1/Angstrom
    double spacing = 0;  // Angstroms between rows
};

// The densest row families: the reduced reciprocal basis and any other primitive reciprocal
// vector no longer than its longer vector (three on a hexagonal lattice, two otherwise),
// (1 0) and (0 1) first when they are among them.
[[nodiscard]] std::vector<RowFamily> rowFamilies(const Basis2& basis,
                                                 double tolerance = kDefaultTolerance);

// The azimuths an overlayer needs to be turned through on this substrate: the substrate's
// rotations make every orientation equivalent to one in [0°, 360°/rotations).
struct AzimuthWedge {
    double lower = 0;    // degrees
    double upper = 180;  // degrees
};
[[nodiscard]] AzimuthWedge irreducibleWedge(const PointGroup& group);

}  // namespace lamivex::lattice
