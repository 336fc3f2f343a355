#include "engine/interpretation.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

#include <fmt/format.h>

#include "numbers/constants.h"
#include "numbers/number_text.h"

namespace lamivex::engine {
namespace {

using numbers::kDegree;

struct Vec {
    double x = 0;
    double y = 0;
    [[nodiscard]] double length() const { return std::hypot(x, y); }
    [[nodiscard]] double direction() const { return std::atan2(y, x); }  // radians
};

Vec cartesian(const SubstrateCell& s, double u, double v) {
    const double alpha = s.alpha * kDegree;
    return {u * s.a1 + v * s.a2 * std::cos(alpha), v * s.a2 * std::sin(alpha)};
}

// An angle in radians brought into (−pi, pi].
double wrapped(double angle) {
    const double turn = 2 * std::acos(-1.0);
    angle = std::fmod(angle, turn);
    if (angle <= -turn / 2) {
        angle += turn;
    } else if (angle > turn / 2) {
        angle -= turn;
    }
    return angle;
}

Matrix2 asReal(const IntMatrix2& m) {
    return {static_cast<double>(m.m11), static_cast<double>(m.m12), static_cast<double>(m.m21),
            static_cast<double>(m.m22)};
}

IntMatrix2 rounded(const Matrix2& m) {
    return {std::llround(m.m11), std::llround(m.m12), std::llround(m.m21), std::llround(m.m22)};
}

// An integer cell with a larger element gets no name: no overlayer is that big, and below it
// the determinant stays exact in 64 bits.
constexpr std::int64_t kLargestNamedElement = 1'000'000;

bool nameable(const IntMatrix2& m) {
    return std::ranges::all_of(std::array{m.m11, m.m12, m.m21, m.m22}, [](std::int64_t e) {
        return e >= -kLargestNamedElement && e <= kLargestNamedElement;
    });
}

// A larger radicand is written as a decimal: rootText's factor search grows with √N.
constexpr std::int64_t kLargestRootRadicand = 1'000'000'000'000;

std::int64_t determinant(const IntMatrix2& m) {
    return m.m11 * m.m22 - m.m12 * m.m21;
}

std::string matrixText(const IntMatrix2& m) {
    return fmt::format("({} {}; {} {})", m.m11, m.m12, m.m21, m.m22);
}

// The name of an exact (integer) cell: c(P×Q) where it is centred, else Wood's notation.
std::optional<std::string> cellName(const IntMatrix2& m, const SubstrateCell& s) {
    if (!nameable(m) || determinant(m) == 0) {
        return std::nullopt;
    }
    if (auto centred = centredName(m, s)) {
        return centred;
    }
    return woodNotation(asReal(m), s, 1e-9);
}

std::string misfitText(const std::array<std::optional<double>, 2>& misfit) {
    std::string text;
    for (const std::optional<double>& e : misfit) {
        text += text.empty() ? "" : ", ";
        text += e ? fmt::format("{:.2f} %", *e) : std::string("-");
    }
    return text;
}

}  // namespace

const char* typeName(EpitaxyType type) {
    switch (type) {
        case EpitaxyType::Commensurate:
            return "commensurate";
        case EpitaxyType::PointOnLine:
            return "point-on-line";
        case EpitaxyType::Coincident:
            return "coincident";
        case EpitaxyType::Incommensurate:
            break;
    }
    return "incommensurate";
}

std::string rootText(std::int64_t N) {
    std::int64_t k = 1;
    for (std::int64_t f = 2; f <= N / f; ++f) {
        while (N % (f * f) == 0) {
            N /= f * f;
            k *= f;
        }
    }
    if (N == 1) {
        return std::to_string(k);
    }
    return k == 1 ? fmt::format("√{}", N) : fmt::format("{}√{}", k, N);
}

std::optional<std::string> woodNotation(const Matrix2& m, const SubstrateCell& s,
                                        double lengthTolerance) {
    const Vec b1 = cartesian(s, m.m11, m.m12);
    const Vec b2 = cartesian(s, m.m21, m.m22);
    if (b1.length() == 0 || b2.length() == 0) {
        return std::nullopt;
    }
    const double turn1 = wrapped(b1.direction());
    const double turn2 = wrapped(b2.direction() - s.alpha * kDegree);
    if (std::fabs(wrapped(turn1 - turn2)) > 0.05 * kDegree) {
        return std::nullopt;  // the two vectors turn by different angles: no Wood name
    }
    const auto ratio = [&](double p) {
        const double square = p * p;
        const std::int64_t N =
            square <= static_cast<double>(kLargestRootRadicand) ? std::llround(square) : 0;
        if (N >= 1 && std::fabs(p - std::sqrt(static_cast<double>(N))) <= lengthTolerance) {
            return rootText(N);
        }
        return fmt::format("{:.3f}", p);
    };
    // The rotation to 0.1°, a whole one without its ".0", none at all for 0.
    const double tenths = std::round(std::fabs(turn1) / kDegree * 10);
    const std::string turned =
        tenths == 0 ? std::string()
                    : (std::fmod(tenths, 10) == 0 ? fmt::format("R{:.0f}°", tenths / 10)
                                                  : fmt::format("R{:.1f}°", tenths / 10));
    return fmt::format("({}×{}){}", ratio(b1.length() / s.a1), ratio(b2.length() / s.a2), turned);
}

std::optional<std::string> centredName(const IntMatrix2& m, const SubstrateCell& s) {
    if (std::fabs(s.alpha - 90) > 1e-9 || !nameable(m)) {
        return std::nullopt;
    }
    const std::int64_t area = std::llabs(determinant(m));
    const std::int64_t along1 = std::gcd(std::llabs(m.m12), std::llabs(m.m22));
    const std::int64_t along2 = std::gcd(std::llabs(m.m11), std::llabs(m.m21));
    if (area == 0 || along1 == 0 || along2 == 0) {
        return std::nullopt;
    }
    // The shortest overlayer vectors along a1 and a2 are P·a1 and Q·a2; the cell is the
    // primitive cell of the centred P × Q cell when it has half its area.
    const std::int64_t P = area / along1;
    const std::int64_t Q = area / along2;
    if (P > 2 * area / Q || 2 * area != P * Q) {  // P·Q only formed when it cannot overflow
        return std::nullopt;
    }
    return fmt::format("c({}×{})", P, Q);
}

Interpretation interpret(const Matrix2& matrix, int b1Multiple, int b2Multiple,
                         const SubstrateCell& substrate, int m, int n, double tolerance) {
    const double across = 2.0 * std::max(std::max(m, n), 0) + 1;
    const auto whole = [&](double x) { return std::fabs(x - std::round(x)) * across <= tolerance; };
    const Matrix2 cell{matrix.m11 / b1Multiple, matrix.m12 / b1Multiple, matrix.m21 / b2Multiple,
                       matrix.m22 / b2Multiple};
    const bool supercell = b1Multiple != 1 || b2Multiple != 1;

    Interpretation result;
    if (whole(cell.m11) && whole(cell.m12) && whole(cell.m21) && whole(cell.m22)) {
        result.type = EpitaxyType::Commensurate;
        result.integerMatrix = rounded(cell);
        result.wood = cellName(*result.integerMatrix, substrate);
    } else if (whole(cell.m11) && whole(cell.m21)) {
        result.type = EpitaxyType::PointOnLine;
        result.pointOnLineColumn = 1;
    } else if (whole(cell.m12) && whole(cell.m22)) {
        result.type = EpitaxyType::PointOnLine;
        result.pointOnLineColumn = 2;
    } else if (supercell && whole(matrix.m11) && whole(matrix.m12) && whole(matrix.m21) &&
               whole(matrix.m22)) {
        result.type = EpitaxyType::Coincident;
        result.supercell = Supercell{b1Multiple, b2Multiple, rounded(matrix)};
        result.wood = cellName(result.supercell->matrix, substrate);
    }
    if (!result.wood && result.type != EpitaxyType::Coincident) {
        result.wood = woodNotation(cell, substrate, tolerance / across);
    }

    result.nearestMatrix = rounded(matrix);
    result.nearestWood = cellName(result.nearestMatrix, substrate);
    const std::array<std::pair<Vec, Vec>, 2> vectors = {
        std::pair{cartesian(substrate, matrix.m11, matrix.m12),
                  cartesian(substrate, static_cast<double>(result.nearestMatrix.m11),
                            static_cast<double>(result.nearestMatrix.m12))},
        std::pair{cartesian(substrate, matrix.m21, matrix.m22),
                  cartesian(substrate, static_cast<double>(result.nearestMatrix.m21),
                            static_cast<double>(result.nearestMatrix.m22))}};
    for (std::size_t r = 0; r < 2; ++r) {
        const double nearest = vectors[r].second.length();
        if (nearest > 0) {
            result.misfitPercent[r] = (vectors[r].first.length() - nearest) / nearest * 100;
        }
    }
    result.areaRatio = std::fabs(matrix.m11 * matrix.m22 - matrix.m12 * matrix.m21);
    result.b1Multiple = b1Multiple;
    result.b2Multiple = b2Multiple;
    return result;
}

std::string Interpretation::summary() const {
    const std::string overlayer =
        b1Multiple == 1 && b2Multiple == 1
            ? std::string("the overlayer cell")
            : fmt::format("{}×{} overlayer cells", b1Multiple, b2Multiple);
    const std::string nearestName = nearestWood ? *nearestWood : matrixText(nearestMatrix);
    const std::string misfit = misfitText(misfitPercent);
    switch (type) {
        case EpitaxyType::Commensurate:
            return fmt::format("commensurate: {}matrix {}", wood ? *wood + ", " : std::string(),
                               matrixText(*integerMatrix));
        case EpitaxyType::PointOnLine:
            return fmt::format(
                "point-on-line: the a{} components of b1 and b2 are whole "
                "numbers{}",
                pointOnLineColumn, wood ? ", cell " + *wood : std::string());
        case EpitaxyType::Coincident:
            return fmt::format("coincident: {} on {} substrate cells, matrix {}, misfit {}",
                               overlayer, nearestName, matrixText(supercell->matrix), misfit);
        case EpitaxyType::Incommensurate:
            break;
    }
    return fmt::format("incommensurate; nearest coincidence {} on {} substrate cells, misfit {}",
                       overlayer, nearestName, misfit);
}

std::optional<Matrix2> parseMatrixText(std::string_view text) {
    std::array<double, 4> values{};
    std::size_t count = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t start = text.find_first_not_of(" \t", at);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(text.find_first_of(" \t", start), text.size());
        const numbers::Parsed<double> parsed = numbers::toDouble(text.substr(start, end - start));
        if (!parsed.ok() || count == values.size()) {
            return std::nullopt;
        }
        values[count++] = parsed.value;
        at = end;
    }
    if (count != values.size()) {
        return std::nullopt;
    }
    return Matrix2{values[0], values[1], values[2], values[3]};
}

SubstrateCell substrateCellOf(const CapturedRun& run) {
    return {capturedValue(run.substrate.a1), capturedValue(run.substrate.a2),
            capturedValue(run.substrate.alpha)};
}

Interpretation interpretBest(const BestOrientation& best, const CapturedRun& run,
                             double tolerance) {
    return interpret({best.BestPx, best.BestQy, best.BestQx, best.BestPy},
                     static_cast<int>(best.BestB1Multiple), static_cast<int>(best.BestB2Multiple),
                     substrateCellOf(run), run.settings.b1Size, run.settings.b2Size, tolerance);
}

OverlayerFromMatrix overlayerFromMatrix(const Matrix2& matrix, const SubstrateCell& substrate) {
    const Vec b1 = cartesian(substrate, matrix.m11, matrix.m12);
    const Vec b2 = cartesian(substrate, matrix.m21, matrix.m22);
    return {b1.length(), b2.length(), wrapped(b2.direction() - b1.direction()) / kDegree,
            b1.direction() / kDegree};
}

namespace {

ConvertedCell convert(const SubstrateCell& cell, const std::optional<Matrix2>& matrix,
                      double sign) {
    // The new a2 is a2 + sign·a1; b = m11·a1 + m12·a2 keeps m12 and takes m11 − sign·m12.
    // A change of basis of the cell the user typed: true degrees, not the scan's own factor.
    const double alpha = cell.alpha * std::numbers::pi / 180;
    const Vec a2{sign * cell.a1 + cell.a2 * std::cos(alpha), cell.a2 * std::sin(alpha)};
    ConvertedCell out;
    out.cell = {cell.a1, a2.length(), a2.direction() * 180 / std::numbers::pi};
    if (matrix) {
        out.matrix = Matrix2{matrix->m11 - sign * matrix->m12, matrix->m12,
                             matrix->m21 - sign * matrix->m22, matrix->m22};
    }
    return out;
}

}  // namespace

ConvertedCell convertAlpha120To60(const SubstrateCell& cell, const std::optional<Matrix2>& matrix) {
    return convert(cell, matrix, 1);
}

ConvertedCell convertAlpha60To120(const SubstrateCell& cell, const std::optional<Matrix2>& matrix) {
    return convert(cell, matrix, -1);
}

std::vector<std::string> symmetryNotes(const SubstrateCell& substrate, bool hexagonal) {
    std::vector<std::string> notes;
    const bool sixty = std::fabs(substrate.alpha - 60) < 1e-9;
    const bool hundredTwenty = std::fabs(substrate.alpha - 120) < 1e-9;
    if (hexagonal && !sixty) {
        notes.push_back(fmt::format(
            "hexagonal with alpha = {}: the third substrate wave is a first-order wave only "
            "with alpha = 60{}",
            substrate.alpha,
            hundredTwenty ? " (the cell a1, a1 + a2 has it; lamivex-cli convert --alpha120-to-60 "
                            "writes the lattice and the matrix on it)"
                          : ""));
    }
    if (!hexagonal && substrate.a1 == substrate.a2 && (sixty || hundredTwenty)) {
        notes.emplace_back("this lattice is hexagonal; the Hexagonal choice adds its third wave");
    }
    return notes;
}

}  // namespace lamivex::engine
