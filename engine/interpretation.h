#pragma once
// What a best orientation means: the type of epitaxy, the cell's name, the misfit and the
// area of the cell, from its transformation matrix (b1 = m11·a1 + m12·a2,
// b2 = m21·a1 + m22·a2). Lengths in Angstroms, angles in degrees (of the program's own
// degree factor, so that a matrix derived here gives back the matrix of a pass).
//
// The registry rule: a matrix element x counts as a whole number when
//     |x − round(x)| × (2·max(m, n) + 1) ≤ tolerance        (tolerance 0.1 by default)
// with m and n the domain sizes: the deviation accumulated across the domain's width stays
// below a tenth of a substrate spacing. The rule tests the matrix of the overlayer cell and,
// after a geometric search, the matrix of the supercell the search found, each over the
// run's domain of m × n cells. Names and row families come from the substrate's lattice
// (lattice/), so they do not depend on the basis typed or on which of the substrate's
// equivalent orientations a scan met first.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/best_orientation.h"
#include "engine/capture.h"
#include "engine/cell_names.h"
#include "lattice/matrix2.h"

namespace lamivex::engine {

inline constexpr double kDefaultRegistryTolerance = 0.1;
// A nearest coincidence whose vectors miss by more than this (%) is not named.
inline constexpr double kDefaultCoincidenceMisfit = 5.0;

using lattice::IntMatrix2;
using lattice::Matrix2;

struct SubstrateCell {
    double a1 = 0;     // Angstroms
    double a2 = 0;     // Angstroms
    double alpha = 0;  // degrees, from a1 to a2
};

[[nodiscard]] lattice::Basis2 basisOf(const SubstrateCell& cell);

enum class EpitaxyType { None, Commensurate, PointOnLine, Coincident, Incommensurate };

[[nodiscard]] const char* typeName(EpitaxyType type);  // "none", "commensurate", ...

struct Supercell {
    int b1Multiple = 1;
    int b2Multiple = 1;
    IntMatrix2 matrix;  // the supercell (i·b1, j·b2) in substrate vectors
};

// The kinds of epitaxy, one type each so that no field of one is read for another.
struct NoOrientation {};  // no azimuth step fell below the scan's starting 0.9999
struct Commensurate {
    IntMatrix2 matrix;  // the overlayer cell's matrix
};
struct PointOnLine {
    // The substrate's row family (h, k) every overlayer point lies on: h·m11 + k·m12 and
    // h·m21 + k·m22 are whole numbers. column is 1 for (1 0), 2 for (0 1), else 0.
    std::int64_t h = 0;
    std::int64_t k = 0;
    int column = 0;
};
struct Coincident {
    Supercell supercell;
};
struct Incommensurate {};
using EpitaxyKind =
    std::variant<NoOrientation, Commensurate, PointOnLine, Coincident, Incommensurate>;

// Where the orientation the name describes differs from the one the scan reports: the scan's
// angle turned by one of the substrate's rotations into [0°, 360°/rotations).
struct EquivalentOrientation {
    double angle = 0;     // degrees
    double rotation = 0;  // degrees, the substrate rotation that relates them
};

struct InterpretOptions {
    double registryTolerance = kDefaultRegistryTolerance;   // substrate spacings
    double coincidenceMisfit = kDefaultCoincidenceMisfit;   // %
    double symmetryTolerance = lattice::kDefaultTolerance;  // relative
};

struct Interpretation {
    EpitaxyKind kind = Incommensurate{};
    // The cell's name: of the overlayer cell, or of the supercell's substrate cell when
    // coincident.
    std::optional<CellName> name;
    // The (super)cell's vectors against the nearest substrate lattice vectors: that matrix,
    // its name and the length misfit of each vector, % ((|b| − |a|) / |a|; none for a zero
    // nearest vector). The name is left out beyond coincidenceMisfit.
    IntMatrix2 nearestMatrix;
    std::optional<std::string> nearestWood;
    std::array<std::optional<double>, 2> misfitPercent;
    double coincidenceMisfit = kDefaultCoincidenceMisfit;
    double areaRatio = 0;  // the (super)cell's area in substrate cells
    int b1Multiple = 1;    // the multiples of the (super)cell the matrix describes
    int b2Multiple = 1;
    std::optional<EquivalentOrientation> equivalent;

    [[nodiscard]] EpitaxyType type() const;
    [[nodiscard]] std::optional<IntMatrix2> integerMatrix() const;
    [[nodiscard]] std::optional<Supercell> supercell() const;
    [[nodiscard]] const PointOnLine* pointOnLine() const { return std::get_if<PointOnLine>(&kind); }
    [[nodiscard]] std::optional<std::string> wood() const;
    // The nearest coincidence misses by more than the limit.
    [[nodiscard]] bool coincidenceBeyondLimit() const;

    // One line for people: "coincident: 9×9 overlayer cells on (5√3×5√3)R30° substrate
    // cells, misfit 0.06 %, 0.06 %".
    [[nodiscard]] std::string summary() const;
    // "equivalent by the substrate's 60° rotation to 0.00°", when there is one.
    [[nodiscard]] std::optional<std::string> equivalentText() const;
};

inline constexpr const char* kNoOrientationText = "No orientation below 0.9999 was found";

// matrix is the best orientation's, of the supercell (b1Multiple·b1, b2Multiple·b2) after a
// geometric search; m and n the domain sizes. A zero matrix or zero multiples mean that the
// run found no orientation.
[[nodiscard]] Interpretation interpret(const Matrix2& matrix, int b1Multiple, int b2Multiple,
                                       const SubstrateCell& substrate, int m, int n,
                                       const InterpretOptions& options);
[[nodiscard]] inline Interpretation interpret(const Matrix2& matrix, int b1Multiple, int b2Multiple,
                                              const SubstrateCell& substrate, int m, int n,
                                              double tolerance = kDefaultRegistryTolerance) {
    return interpret(
        matrix, b1Multiple, b2Multiple, substrate, m, n,
        InterpretOptions{tolerance, kDefaultCoincidenceMisfit, lattice::kDefaultTolerance});
}

// The substrate of a captured run, and the interpretation of a best orientation found by a
// run of that capture's domain, with the orientation the name describes where it differs.
[[nodiscard]] SubstrateCell substrateCellOf(const CapturedRun& run);
[[nodiscard]] Interpretation interpretBest(const BestOrientation& best, const CapturedRun& run,
                                           const InterpretOptions& options);
[[nodiscard]] inline Interpretation interpretBest(const BestOrientation& best,
                                                  const CapturedRun& run,
                                                  double tolerance = kDefaultRegistryTolerance) {
    return interpretBest(
        best, run,
        InterpretOptions{tolerance, kDefaultCoincidenceMisfit, lattice::kDefaultTolerance});
}
// The scan met no step below its starting 0.9999 (the best record still holds that start).
[[nodiscard]] bool foundNoOrientation(const BestOrientation& best);

// The scan angle turned by the substrate's rotations into [0°, 360°/rotations), when it lies
// outside.
[[nodiscard]] std::optional<EquivalentOrientation> equivalentOrientation(
    double angle, const SubstrateCell& substrate, double symmetryTolerance);

// The name of the cell of matrix on the substrate (cell_names.h), lengths whole within
// lengthTolerance.
[[nodiscard]] std::optional<std::string> cellNameText(const Matrix2& matrix,
                                                      const SubstrateCell& substrate,
                                                      double lengthTolerance);

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

// A hexagonal lattice written with alpha = 60, the cell whose third wave the Hexagonal choice
// adds (lengths and angle equal at the lattice library's tolerance).
[[nodiscard]] bool hexagonalAtSixty(const SubstrateCell& substrate,
                                    double tolerance = lattice::kDefaultTolerance);

// Notes on the substrate symmetry a run was given: a hexagonal run with alpha other than 60
// (the third wave is then of higher order), a hexagonal-looking lattice (a1 = a2, alpha 60 or
// 120) run as non-hexagonal.
[[nodiscard]] std::vector<std::string> symmetryNotes(const SubstrateCell& substrate,
                                                     bool hexagonal);

}  // namespace lamivex::engine
