#pragma once
// The strain that makes an overlayer cell fit a substrate cell: the deformation F that takes
// the overlayer's (super)cell vectors B1, B2 onto the substrate's A1, A2 (F·Bk = Ak), split
// into a stretch and a rotation, F = V·R (polar decomposition).

#include <array>

namespace lamivex::model {

using Vec2 = std::array<double, 2>;

struct Strain {
    // V − 1 (the Biot strain of the left stretch), in the frame of the model's cell: x along
    // A1, y in the surface. Rows: {exx, exy}, {eyx, eyy}; dimensionless.
    std::array<Vec2, 2> tensor{};
    Vec2 principalPercent{};  // the eigenvalues of V − 1, %, the larger first
    double areaPercent = 0;   // (det F − 1), %: the change of the overlayer's area
    Vec2 vectorPercent{};     // (|Ak| − |Bk|) / |Bk| of each cell vector, %
    double rotation = 0;      // degrees, of R: how far the overlayer turned to fit
    [[nodiscard]] double largestPercent() const;  // the larger of |principal values|
};

// a1, a2 and b1, b2 in one Cartesian frame of the surface, Angstroms; b1 × b2 and a1 × a2
// both positive.
[[nodiscard]] Strain strainBetween(const Vec2& b1, const Vec2& b2, const Vec2& a1, const Vec2& a2);

}  // namespace lamivex::model
