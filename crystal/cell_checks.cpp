// Whether a cell's values can go into the formulas at all.

#include <cmath>
#include <string_view>

#include <fmt/format.h>

#include "crystal/cell_volume_factor.h"
#include "crystal/geometry.h"

namespace lamivex::crystal {
namespace {

std::optional<std::string> lengthProblem(std::string_view name, double length) {
    if (std::isinf(length)) {
        return fmt::format("{} is too large", name);
    }
    if (!(length > 0)) {
        return fmt::format("{} must be above 0", name);
    }
    return std::nullopt;
}

// Strictly between 0 and 180 degrees. The sine test rejects an angle typed as 180, which
// the tool's pi turns into a value a hair either side of the true pi.
std::optional<std::string> angleProblem(std::string_view name, double radians) {
    if (std::isinf(radians)) {
        return fmt::format("{} is too large", name);
    }
    if (!(radians > 0 && radians < kPi && std::sin(radians) > 0)) {
        return fmt::format("{} must lie between 0 and 180 degrees", name);
    }
    return std::nullopt;
}

std::optional<std::string> firstProblem(
    std::initializer_list<std::optional<std::string>> problems) {
    for (const auto& problem : problems) {
        if (problem) {
            return problem;
        }
    }
    return std::nullopt;
}

constexpr std::string_view kNoVolume = "the angles give no cell (zero volume)";

}  // namespace

std::optional<std::string> cellProblem(CrystalSystem system, const CrystalCell& cell) {
    switch (system) {
        case CrystalSystem::Cubic:
            return lengthProblem("a", cell.a);
        case CrystalSystem::Tetragonal:
        case CrystalSystem::Hexagonal:
            return firstProblem({lengthProblem("a", cell.a), lengthProblem("c", cell.c)});
        case CrystalSystem::Orthorhombic:
            return firstProblem({lengthProblem("a", cell.a), lengthProblem("b", cell.b),
                                 lengthProblem("c", cell.c)});
        case CrystalSystem::Monoclinic:
            return firstProblem({lengthProblem("a", cell.a), lengthProblem("b", cell.b),
                                 lengthProblem("c", cell.c), angleProblem("beta", cell.beta)});
        case CrystalSystem::Trigonal:
            if (auto problem =
                    firstProblem({lengthProblem("a", cell.a), angleProblem("alpha", cell.alpha)})) {
                return problem;
            }
            if (!(trigonalVolumeFactor(cell.alpha) > kFlatCellTolerance)) {
                return std::string(kNoVolume);
            }
            return std::nullopt;
        case CrystalSystem::Triclinic:
            if (auto problem = firstProblem(
                    {lengthProblem("a", cell.a), lengthProblem("b", cell.b),
                     lengthProblem("c", cell.c), angleProblem("alpha", cell.alpha),
                     angleProblem("beta", cell.beta), angleProblem("gamma", cell.gamma)})) {
                return problem;
            }
            if (!(triclinicVolumeFactor(cell) > kFlatCellTolerance)) {
                return std::string(kNoVolume);
            }
            return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace lamivex::crystal
