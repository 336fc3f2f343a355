#pragma once
// The lattices of a view as vectors, the substrate's point group read from its geometry, and
// the domains of an overlayer: its copies under each rotation and mirror of the substrate,
// each lattice counted once.

#include <optional>
#include <vector>

#include "engine/interpretation.h"
#include "lattice/symmetry.h"
#include "views/plane.h"

namespace lamivex::views {

// An overlayer at one azimuth on a substrate. Angles in degrees of the program's own degree
// factor, as the scan and its matrix use them: b1 at angle from a1, b2 at angle + beta.
struct ViewLattices {
    engine::SubstrateCell substrate;
    double b1 = 0;
    double b2 = 0;
    double beta = 0;
    double angle = 0;
};

[[nodiscard]] Basis2 substrateBasis(const engine::SubstrateCell& substrate);
[[nodiscard]] Basis2 overlayerBasis(const ViewLattices& lattices);
// matrixOf(substrate, overlayer), the matrix of an overlayer basis, is the lattice library's.

using LatticeKind = lattice::BravaisType;
[[nodiscard]] const char* kindName(LatticeKind kind);  // "hexagonal", "square", ...

// The rotations (6, 4 or 2 of them) and, with a mirror line, the mirrors that map the
// substrate lattice onto itself, as the lattice library finds them at its default tolerance.
struct PointGroup {
    LatticeKind kind = LatticeKind::Oblique;
    int rotations = 2;
    std::optional<double> mirrorLine;  // radians from x, through the origin
};
[[nodiscard]] PointGroup pointGroupOf(const Basis2& substrate);

struct Domain {
    double rotationDegrees = 0;  // true degrees, 0, 60, ...
    bool mirrored = false;       // mirrored across the mirror line first, then rotated
    Basis2 overlayer;
    engine::Matrix2 matrix;
};

// How many orientations of the overlayer cell the substrate's rotations (and mirrors) make,
// before those that give the same lattice are merged: 12 for a hexagonal substrate with
// mirrors. A lattice turned by 180° is the same lattice, so at most half of them are distinct
// domains.
[[nodiscard]] std::size_t orientationCount(const Basis2& substrate, bool mirrors);

// Images of the overlayer that agree with an earlier domain to this relative tolerance are
// the same domain. Looser than the arithmetic needs: the scan's angles lie 0.001° off the
// whole and decimal degrees, and a (√3×√3)R30° cell found at 30.001° must not split into
// two mirror domains 0.002° apart that no experiment tells apart.
inline constexpr double kSameDomainTolerance = 1e-4;

// The distinct domains: the overlayer itself first, then its images under the rotations and,
// when mirrors is set and the substrate has a mirror line, the mirrors; an image spanning the
// lattice of an earlier domain (and so giving the same spots) is left out.
[[nodiscard]] std::vector<Domain> domainsOf(const Basis2& substrate, const Basis2& overlayer,
                                            bool mirrors);

}  // namespace lamivex::views
