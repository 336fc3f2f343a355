#include "lattice/lattice2d.h"

#include <fmt/format.h>

#include "numbers/input_error.h"

namespace lamivex::lattice {

Lattice2D::Lattice2D(double length1, double length2, double angle, double tolerance)
    : m_length1(length1), m_length2(length2), m_angle(angle), m_tolerance(tolerance) {
    if (!(length1 > 0) || !(length2 > 0) || !std::isfinite(length1) || !std::isfinite(length2)) {
        numbers::failInput("lattice", fmt::format("the lengths must be above 0 (got {} and {})",
                                                  length1, length2));
    }
    if (!(angle > 0 && angle < 180)) {
        numbers::failInput(
            "lattice", fmt::format("the angle must lie between 0 and 180 degrees (got {})", angle));
    }
    m_basis = Basis2::fromParameters(length1, length2, angle);
}

Lattice2D::Lattice2D(const Basis2& basis, double tolerance)
    : m_basis(basis),
      m_length1(basis.v1.length()),
      m_length2(basis.v2.length()),
      m_angle(basis.angle()),
      m_tolerance(tolerance) {
    if (!(basis.area() > 0) || !std::isfinite(basis.area())) {
        numbers::failInput("lattice", "the two vectors are parallel or not finite");
    }
}

}  // namespace lamivex::lattice
