#pragma once
// What a best orientation means: the type of epitaxy, the Wood notation, the misfit and the
// area of the cell, from its transformation matrix (b1 = m11·a1 + m12·a2,
// b2 = m21·a1 + m22·a2). Lengths in Angstroms, angles in degrees (of the program's own
// degree factor, so that a matrix derived here gives back the matrix of a pass).
//
// The registry rule: a matrix element x counts as a whole number when
//     |x − round(x)| × (2·max(m, n) + 1) ≤ tolerance        (tolerance 0.1 by default)
// with m and n the domain sizes: the deviation accumulated across the domain's width stays
// below a tenth of a substrate spacing. The rule tests the matrix of the overlayer cell and,
// after a geometric search, the matrix of the supercell the search found, each over the
// run's domain of m × n cells.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/best_orientation.h"
#include "engine/capture.h"

namespace lamivex::engine {

inline constexpr double kDefaultRegistryTolerance = 0.1;

struct Matrix2 {
    double m11 = 0;
    double m12 = 0;
    double m21 = 0;
    double m22 = 0;
};

struct IntMatrix2 {
    std::int64_t m11 = 0;
    std::int64_t m12 = 0;
    std::int64_t m21 = 0;
    std::int64_t m22 = 0;
    bool operator==(const IntMatrix2&) const = default;
};

struct SubstrateCell {
    double a1 = 0;     // Angstroms
    double a2 = 0;     // Angstroms
    double alpha = 0;  // degrees, from a1 to a2
};

enum class EpitaxyType { Commensurate, PointOnLine, Coincident, Incommensurate };

[[nodiscard]] const char* typeName(EpitaxyType type);  // "commensurate", "point-on-line", ...

struct Supercell {
    int b1Multiple = 1;
    int b2Multiple = 1;
    IntMatrix2 matrix;  // the supercell (i·b1, j·b2) in substrate vectors
};

struct Interpretation {
    EpitaxyType type = EpitaxyType::Incommensurate;
    std::optional<IntMatrix2> integerMatrix;  // commensurate: the overlayer cell's matrix
    int pointOnLineColumn = 0;                // point-on-line: 1 (a1 components) or 2 (a2)
    std::optional<Supercell> supercell;       // coincident
    // The cell's name in Wood's notation, "(√3×√3)R30°", or c(2×2) on square and rectangular
    // substrates: of the overlayer cell, or of the supercell's substrate cell when coincident.
    std::optional<std::string> wood;
    // The (super)cell's vectors against the nearest substrate lattice vectors: that matrix,
    // its name and the length misfit of each vector, % ((|b| − |a|) / |a|; none for a zero
    // nearest vector).
    IntMatrix2 nearestMatrix;
    std::optional<std::string> nearestWood;
    std::array<std::optional<double>, 2> misfitPercent;
    double areaRatio = 0;  // the (super)cell's area in substrate cells
    int b1Multiple = 1;    // the multiples of the (super)cell the matrix describes
    int b2Multiple = 1;

    // One line for people: "coincident: 9×9 overlayer cells on (5√3×5√3)R30° substrate
    // cells, misfit 0.06 %, 0.06 %".
    [[nodiscard]] std::string summary() const;
};

// matrix is the best orientation's, of the supercell (b1Multiple·b1, b2Multiple·b2) after a
// geometric search; m and n the domain sizes.
[[nodiscard]] Interpretation interpret(const Matrix2& matrix, int b1Multiple, int b2Multiple,
                                       const SubstrateCell& substrate, int m, int n,
                                       double tolerance = kDefaultRegistryTolerance);

// The substrate of a captured run, and the interpretation of a best orientation found by a
// run of that capture's domain.
[[nodiscard]] SubstrateCell substrateCellOf(const CapturedRun& run);
[[nodiscard]] Interpretation interpretBest(const BestOrientation& best, const CapturedRun& run,
                                           double tolerance = kDefaultRegistryTolerance);

// Wood's notation of the cell of matrix, or nullopt when the cell is not the substrate cell
// stretched and rotated (its vectors turned by different angles). A length ratio within
// lengthTolerance of k·√n, its square at most 10^12, is written as such, else with three
// decimals; the rotation to 0.1°, "R0°" left out.
[[nodiscard]] std::optional<std::string> woodNotation(const Matrix2& matrix,
                                                      const SubstrateCell& substrate,
                                                      double lengthTolerance);

// The centred name c(P×Q) of an integer matrix on a substrate with alpha = 90 whose cell is
// the primitive cell of a centred rectangular P × Q cell, else nullopt.
[[nodiscard]] std::optional<std::string> centredName(const IntMatrix2& matrix,
                                                     const SubstrateCell& substrate);

// "k√n", "√n" or "k" for √N (N > 0).
[[nodiscard]] std::string rootText(std::int64_t N);

// "m11 m12 m21 m22": four numbers apart by blanks; nullopt otherwise.
[[nodiscard]] std::optional<Matrix2> parseMatrixText(std::string_view text);

// The overlayer lattice a matrix describes: b1, b2 (Angstroms), beta (degrees, from b1 to b2)
// and the azimuth from a1 to b1 (degrees), the inverse of the pass's matrix formulas.
struct OverlayerFromMatrix {
    double b1 = 0;
    double b2 = 0;
    double beta = 0;
    double azimuth = 0;
};
[[nodiscard]] OverlayerFromMatrix overlayerFromMatrix(const Matrix2& matrix,
                                                      const SubstrateCell& substrate);

// The same lattice in the other hexagonal convention: the basis (a1, a2 at 120°) becomes
// (a1, a1 + a2 at 60°), and back. The matrix follows the change of basis.
struct ConvertedCell {
    SubstrateCell cell;
    std::optional<Matrix2> matrix;
};
[[nodiscard]] ConvertedCell convertAlpha120To60(const SubstrateCell& cell,
                                                const std::optional<Matrix2>& matrix);
[[nodiscard]] ConvertedCell convertAlpha60To120(const SubstrateCell& cell,
                                                const std::optional<Matrix2>& matrix);

// Notes on the substrate symmetry a run was given: a hexagonal run with alpha other than 60
// (the third wave is then of higher order), a hexagonal-looking lattice (a1 = a2, alpha 60 or
// 120) run as non-hexagonal.
[[nodiscard]] std::vector<std::string> symmetryNotes(const SubstrateCell& substrate,
                                                     bool hexagonal);

}  // namespace lamivex::engine
