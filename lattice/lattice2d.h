#pragma once
// One 2D lattice as a value: the basis as typed (lengths in Angstroms, the angle in degrees
// from the first vector to the second) with its Cartesian vectors, and what its geometry
// decides at the tolerance it was made with.

#include "lattice/basis2.h"
#include "lattice/symmetry.h"

namespace lamivex::lattice {

class Lattice2D {
  public:
    // length1 along x, length2 at +angle degrees. Throws numbers::InputError (naming "lattice")
    // when a length is not positive and finite or the angle is not inside (0, 180).
    Lattice2D(double length1, double length2, double angle, double tolerance = kDefaultTolerance);
    explicit Lattice2D(const Basis2& basis, double tolerance = kDefaultTolerance);

    [[nodiscard]] double length1() const { return m_length1; }
    [[nodiscard]] double length2() const { return m_length2; }
    [[nodiscard]] double angle() const { return m_angle; }
    [[nodiscard]] const Basis2& basis() const { return m_basis; }
    [[nodiscard]] double tolerance() const { return m_tolerance; }
    [[nodiscard]] double area() const { return m_basis.area(); }

    [[nodiscard]] ReducedBasis reduced() const { return reduce(m_basis); }
    [[nodiscard]] BravaisType type() const { return bravaisType(m_basis, m_tolerance); }
    [[nodiscard]] PointGroup symmetry() const { return pointGroup(m_basis, m_tolerance); }
    [[nodiscard]] std::vector<RowFamily> rows() const { return rowFamilies(m_basis, m_tolerance); }
    [[nodiscard]] AzimuthWedge wedge() const { return irreducibleWedge(symmetry()); }
    [[nodiscard]] bool sameLatticeAs(const Lattice2D& other) const {
        return sameLattice(m_basis, other.m_basis, m_tolerance);
    }

  private:
    Basis2 m_basis;
    double m_length1 = 0;
    double m_length2 = 0;
    double m_angle = 0;
    double m_tolerance = kDefaultTolerance;
};

}  // namespace lamivex::lattice
