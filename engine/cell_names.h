#pragma once
// The name a surface scientist writes for an overlayer cell on a substrate: c(P×Q) on square
// and rectangular substrates, Wood's (p×q)Rθ, and (p×√q)rect on hexagonal ones. A name
// belongs to the overlayer lattice, not to the basis typed, and to the structure, not to one
// of its symmetry-equivalent domains: it is sought over every basis of the lattice and every
// image under the substrate's point group, and the smallest rotation wins.

#include <optional>
#include <string>
#include <vector>

#include "lattice/basis2.h"
#include "lattice/symmetry.h"

namespace lamivex::engine {

struct CellName {
    std::string text;     // "(√3×√3)R30°", "c(4×2)", "(2×√3)rect", "(1.040×1.040)R3.2°"
    double rotation = 0;  // degrees, 0 ≤ rotation: the smallest of the equivalent domains
    // Other names of the same structure, each another domain of it under the substrate's
    // symmetry: "(2×1)" beside "(1×2)" on a square substrate.
    std::vector<std::string> otherDomains;
};

// The name of the cell whose rows are matrix in the substrate's basis (b1 = m11·a1 + m12·a2),
// or nullopt when it has none. A length ratio within lengthTolerance of k·√N (N ≤ 10^12) is
// written as such, else with three decimals; the rotation to 0.1°, "R0°" left out. The
// lattice tests use latticeTolerance (relative), the substrate's symmetry symmetryTolerance.
[[nodiscard]] std::optional<CellName> nameCell(
    const lattice::Matrix2& matrix, const lattice::Basis2& substrate, double lengthTolerance,
    double latticeTolerance = 1e-6, double symmetryTolerance = lattice::kDefaultTolerance);

// The centred name c(P×Q) of an integer matrix on a substrate whose basis is rectangular (a
// right angle within symmetryTolerance) and whose cell is the primitive cell of a centred
// rectangular P × Q cell, else nullopt. Depends only on the lattice, not on the basis typed.
[[nodiscard]] std::optional<std::string> centredName(
    const lattice::IntMatrix2& matrix, const lattice::Basis2& substrate,
    double symmetryTolerance = lattice::kDefaultTolerance);

// "k√n", "√n" or "k" for √N (N > 0).
[[nodiscard]] std::string rootText(std::int64_t N);

}  // namespace lamivex::engine
