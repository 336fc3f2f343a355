#include "engine/interpretation.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>
#include <type_traits>

#include <fmt/format.h>

#include "numbers/constants.h"
#include "numbers/number_text.h"

namespace lamivex::engine {
namespace {

using lattice::Vec2;
using numbers::kDegree;

Vec2 cartesian(const SubstrateCell& s, double u, double v) {
    return basisOf(s).at(u, v);
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

IntMatrix2 rounded(const Matrix2& m) {
    return {std::llround(m.m11), std::llround(m.m12), std::llround(m.m21), std::llround(m.m22)};
}

// Elements past this are not rounded into 64 bits; such a cell has no nearest coincidence.
constexpr double kLargestRoundedElement = 9e15;

bool roundable(const Matrix2& m) {
    return std::ranges::all_of(std::array{m.m11, m.m12, m.m21, m.m22}, [](double e) {
        return std::isfinite(e) && std::fabs(e) <= kLargestRoundedElement;
    });
}

std::string matrixText(const IntMatrix2& m) {
    return fmt::format("({} {}; {} {})", m.m11, m.m12, m.m21, m.m22);
}

std::string misfitText(const std::array<std::optional<double>, 2>& misfit) {
    std::string text;
    for (const std::optional<double>& e : misfit) {
        text += text.empty() ? "" : ", ";
        text += e ? fmt::format("{:.2f} %", *e) : std::string("-");
    }
    return text;
}

// "m11 + m12", "m11 − m12", "m12": the row family's sum of a row's elements.
std::string familySum(std::int64_t h, std::int64_t k, int row) {
    const auto term = [&](std::int64_t c, int column) -> std::string {
        const std::string e = fmt::format("m{}{}", row, column);
        if (c == 1) {
            return e;
        }
        return c == -1 ? "−" + e : fmt::format("{}·{}", c, e);
    };
    if (h == 0) {
        return term(k, 2);
    }
    if (k == 0) {
        return term(h, 1);
    }
    const std::string second = term(std::llabs(k), 2);
    return term(h, 1) + (k > 0 ? " + " : " − ") + second;
}

std::string domainsText(const CellName& name) {
    std::string text;
    for (const std::string& other : name.otherDomains) {
        text += fmt::format("; {} is a domain of the same structure", other);
    }
    return text;
}

}  // namespace

lattice::Basis2 basisOf(const SubstrateCell& cell) {
    return lattice::Basis2::fromParameters(cell.a1, cell.a2, cell.alpha);
}

const char* typeName(EpitaxyType type) {
    switch (type) {
        case EpitaxyType::None:
            return "none";
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

EpitaxyType Interpretation::type() const {
    return std::visit(
        [](const auto& k) {
            using K = std::decay_t<decltype(k)>;
            if constexpr (std::is_same_v<K, NoOrientation>) {
                return EpitaxyType::None;
            } else if constexpr (std::is_same_v<K, Commensurate>) {
                return EpitaxyType::Commensurate;
            } else if constexpr (std::is_same_v<K, PointOnLine>) {
                return EpitaxyType::PointOnLine;
            } else if constexpr (std::is_same_v<K, Coincident>) {
                return EpitaxyType::Coincident;
            } else {
                return EpitaxyType::Incommensurate;
            }
        },
        kind);
}

std::optional<IntMatrix2> Interpretation::integerMatrix() const {
    if (const auto* c = std::get_if<Commensurate>(&kind)) {
        return c->matrix;
    }
    return std::nullopt;
}

std::optional<Supercell> Interpretation::supercell() const {
    if (const auto* c = std::get_if<Coincident>(&kind)) {
        return c->supercell;
    }
    return std::nullopt;
}

std::optional<std::string> Interpretation::wood() const {
    if (name) {
        return name->text;
    }
    return std::nullopt;
}

bool Interpretation::coincidenceBeyondLimit() const {
    return std::ranges::any_of(misfitPercent, [&](const std::optional<double>& e) {
        return !e || !(std::fabs(*e) <= coincidenceMisfit);
    });
}

std::optional<std::string> cellNameText(const Matrix2& matrix, const SubstrateCell& substrate,
                                        double lengthTolerance) {
    if (auto n = nameCell(matrix, basisOf(substrate), lengthTolerance)) {
        return n->text;
    }
    return std::nullopt;
}

Interpretation interpret(const Matrix2& matrix, int b1Multiple, int b2Multiple,
                         const SubstrateCell& substrate, int m, int n,
                         const InterpretOptions& options) {
    Interpretation result;
    result.coincidenceMisfit = options.coincidenceMisfit;
    result.b1Multiple = b1Multiple;
    result.b2Multiple = b2Multiple;
    const bool zero = matrix.m11 == 0 && matrix.m12 == 0 && matrix.m21 == 0 && matrix.m22 == 0;
    if (zero || b1Multiple < 1 || b2Multiple < 1 || !roundable(matrix)) {
        result.kind = NoOrientation{};
        return result;
    }
    const double across = 2.0 * std::max(std::max(m, n), 0) + 1;
    const double tolerance = options.registryTolerance;
    const auto whole = [&](double x) { return std::fabs(x - std::round(x)) * across <= tolerance; };
    const Matrix2 cell{matrix.m11 / b1Multiple, matrix.m12 / b1Multiple, matrix.m21 / b2Multiple,
                       matrix.m22 / b2Multiple};
    const bool isSupercell = b1Multiple != 1 || b2Multiple != 1;
    const lattice::Basis2 basis = basisOf(substrate);
    const auto exactName = [&](const IntMatrix2& exact) {
        return nameCell(exact.real(), basis, 1e-9, 1e-6, options.symmetryTolerance);
    };

    if (whole(cell.m11) && whole(cell.m12) && whole(cell.m21) && whole(cell.m22)) {
        const IntMatrix2 exact = rounded(cell);
        if (exact.determinant() != 0) {
            result.kind = Commensurate{exact};
            result.name = exactName(exact);
        }
    }
    if (result.type() == EpitaxyType::Incommensurate) {
        for (const lattice::RowFamily& f : lattice::rowFamilies(basis, options.symmetryTolerance)) {
            const auto h = static_cast<double>(f.h);
            const auto k = static_cast<double>(f.k);
            if (whole(h * cell.m11 + k * cell.m12) && whole(h * cell.m21 + k * cell.m22)) {
                const int column = f.h == 1 && f.k == 0 ? 1 : (f.h == 0 && f.k == 1 ? 2 : 0);
                result.kind = PointOnLine{f.h, f.k, column};
                break;
            }
        }
    }
    if (result.type() == EpitaxyType::Incommensurate && isSupercell && whole(matrix.m11) &&
        whole(matrix.m12) && whole(matrix.m21) && whole(matrix.m22) &&
        rounded(matrix).determinant() != 0) {
        const Supercell s{b1Multiple, b2Multiple, rounded(matrix)};
        result.kind = Coincident{s};
        result.name = exactName(s.matrix);
    }
    if (!result.name && result.type() != EpitaxyType::Coincident) {
        result.name = nameCell(cell, basis, tolerance / across, 1e-6, options.symmetryTolerance);
    }

    result.nearestMatrix = rounded(matrix);
    const std::array<std::pair<Vec2, Vec2>, 2> vectors = {
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
    const bool named =
        result.type() != EpitaxyType::Incommensurate || !result.coincidenceBeyondLimit();
    if (named && result.nearestMatrix.determinant() != 0) {
        if (auto nearestName = exactName(result.nearestMatrix)) {
            result.nearestWood = nearestName->text;
        }
    }
    result.areaRatio = std::fabs(matrix.determinant());
    return result;
}

std::optional<std::string> Interpretation::equivalentText() const {
    if (!equivalent) {
        return std::nullopt;
    }
    return fmt::format("equivalent by the substrate's {}° rotation to {:.2f}°",
                       fmt::format("{:g}", equivalent->rotation), equivalent->angle);
}

std::string Interpretation::summary() const {
    const std::string overlayer =
        b1Multiple == 1 && b2Multiple == 1
            ? std::string("the overlayer cell")
            : fmt::format("{}×{} overlayer cells", b1Multiple, b2Multiple);
    const std::string nearestName = nearestWood ? *nearestWood : matrixText(nearestMatrix);
    const std::string misfit = misfitText(misfitPercent);
    const std::string domains = name ? domainsText(*name) : std::string();
    const std::string turned = equivalent ? "; " + *equivalentText() : std::string();
    switch (type()) {
        case EpitaxyType::None:
            return kNoOrientationText;
        case EpitaxyType::Commensurate:
            return fmt::format("commensurate: {}matrix {}{}{}",
                               name ? name->text + ", " : std::string(),
                               matrixText(*integerMatrix()), domains, turned);
        case EpitaxyType::PointOnLine: {
            const PointOnLine& p = *pointOnLine();
            const std::string cell = name ? ", cell " + name->text : std::string();
            if (p.column != 0) {
                return fmt::format(
                    "point-on-line: the a{} components of b1 and b2 are whole "
                    "numbers{}{}{}",
                    p.column, cell, domains, turned);
            }
            return fmt::format(
                "point-on-line: every overlayer point lies on a substrate row of "
                "the ({} {}) family ({} and {} are whole numbers){}{}{}",
                p.h, p.k, familySum(p.h, p.k, 1), familySum(p.h, p.k, 2), cell, domains, turned);
        }
        case EpitaxyType::Coincident:
            return fmt::format("coincident: {} on {} substrate cells, matrix {}, misfit {}{}",
                               overlayer, nearestName, matrixText(supercell()->matrix), misfit,
                               turned);
        case EpitaxyType::Incommensurate:
            break;
    }
    if (coincidenceBeyondLimit()) {
        return fmt::format("incommensurate; no coincidence within {} %{}",
                           fmt::format("{:g}", coincidenceMisfit), turned);
    }
    return fmt::format("incommensurate; nearest coincidence {} on {} substrate cells, misfit {}{}",
                       overlayer, nearestName, misfit, turned);
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

bool foundNoOrientation(const BestOrientation& best) {
    // A scan that met no step below its start leaves that start value in place; one
    // orientation computed on its own (--at-angle) has a V/Vo of its own, whatever it is.
    return best.BestVVo == kScanStartBestVVo || best.BestB1Multiple < 1 || best.BestB2Multiple < 1;
}

std::optional<EquivalentOrientation> equivalentOrientation(double angle,
                                                           const SubstrateCell& substrate,
                                                           double symmetryTolerance) {
    const lattice::PointGroup group = lattice::pointGroup(basisOf(substrate), symmetryTolerance);
    const double wedge = lattice::irreducibleWedge(group).upper;
    const double turns = std::floor(angle / wedge);
    if (turns == 0 || !std::isfinite(turns)) {
        return std::nullopt;
    }
    return EquivalentOrientation{angle - turns * wedge, std::fmod(std::fabs(turns * wedge), 360.0)};
}

Interpretation interpretBest(const BestOrientation& best, const CapturedRun& run,
                             const InterpretOptions& options) {
    const SubstrateCell substrate = substrateCellOf(run);
    if (foundNoOrientation(best)) {
        Interpretation none;
        none.kind = NoOrientation{};
        none.coincidenceMisfit = options.coincidenceMisfit;
        return none;
    }
    Interpretation i =
        interpret({best.BestPx, best.BestQy, best.BestQx, best.BestPy},
                  static_cast<int>(best.BestB1Multiple), static_cast<int>(best.BestB2Multiple),
                  substrate, run.settings.b1Size, run.settings.b2Size, options);
    i.equivalent = equivalentOrientation(static_cast<double>(best.BestAngle), substrate,
                                         options.symmetryTolerance);
    return i;
}

OverlayerFromMatrix overlayerFromMatrix(const Matrix2& matrix, const SubstrateCell& substrate) {
    const Vec2 b1 = cartesian(substrate, matrix.m11, matrix.m12);
    const Vec2 b2 = cartesian(substrate, matrix.m21, matrix.m22);
    return {b1.length(), b2.length(), wrapped(b2.direction() - b1.direction()) / kDegree,
            b1.direction() / kDegree};
}

namespace {

ConvertedCell convert(const SubstrateCell& cell, const std::optional<Matrix2>& matrix,
                      double sign) {
    // The new a2 is a2 + sign·a1; b = m11·a1 + m12·a2 keeps m12 and takes m11 − sign·m12.
    // A change of basis of the cell the user typed: true degrees, not the scan's own factor.
    const double alpha = cell.alpha * std::numbers::pi / 180;
    const Vec2 a2{sign * cell.a1 + cell.a2 * std::cos(alpha), cell.a2 * std::sin(alpha)};
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

bool hexagonalAtSixty(const SubstrateCell& substrate, double tolerance) {
    if (!(substrate.a1 > 0) || !(substrate.a2 > 0) ||
        !(substrate.alpha > 0 && substrate.alpha < 180)) {
        return false;
    }
    return std::fabs(substrate.alpha - 60) <= 60 * tolerance &&
           lattice::bravaisType(basisOf(substrate), tolerance) == lattice::BravaisType::Hexagonal;
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
    const bool hexagonalCell =
        substrate.a1 > 0 && substrate.a2 > 0 && substrate.alpha > 0 && substrate.alpha < 180 &&
        lattice::bravaisType(basisOf(substrate)) == lattice::BravaisType::Hexagonal;
    if (!hexagonal && hexagonalCell) {
        notes.emplace_back("this lattice is hexagonal; the Hexagonal choice adds its third wave");
    }
    return notes;
}

}  // namespace lamivex::engine
