#include "engine/cell_names.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <utility>

#include <fmt/format.h>

#include "numbers/constants.h"

namespace lamivex::engine {
namespace {

using lattice::Basis2;
using lattice::IntMatrix2;
using lattice::Matrix2;
using lattice::Vec2;
using numbers::kDegree;

// An integer cell with a larger element gets no centred name: no overlayer is that big, and
// below it the determinant stays exact in 64 bits.
constexpr std::int64_t kLargestNamedElement = 1'000'000;
// A larger radicand is written as a decimal: rootText's factor search grows with √N.
constexpr double kLargestRootRadicand = 1e12;
// Lattices so elongated that more vectors would have to be tried get no name.
constexpr double kMostVectors = 200'000;

std::optional<IntMatrix2> integral(const Matrix2& m) {
    const std::array<double, 4> e{m.m11, m.m12, m.m21, m.m22};
    if (!std::ranges::all_of(e, [](double x) {
            return x == std::round(x) && std::fabs(x) <= kLargestNamedElement;
        })) {
        return std::nullopt;
    }
    return IntMatrix2{std::llround(m.m11), std::llround(m.m12), std::llround(m.m21),
                      std::llround(m.m22)};
}

// The images of the rows under an operation whose coordinate matrix is g: c → g·c, so each
// row r becomes r·gᵀ.
IntMatrix2 imageOf(const IntMatrix2& m, const IntMatrix2& g) {
    return m * lattice::transposed(g);
}
Matrix2 imageOf(const Matrix2& m, const IntMatrix2& g) {
    return m * lattice::transposed(g).real();
}

// An angle in radians as degrees of the program's factor in [0, 360), rounded to 1e-7° so
// that the same rotation found through two bases compares equal.
double turnDegrees(double radians) {
    double d = std::fmod(radians / kDegree, 360.0);
    if (d < 0) {
        d += 360;
    }
    d = std::round(d * 1e7) / 1e7;
    return d >= 360 ? d - 360 : d;
}

std::string ratioText(double p, double tolerance) {
    const double square = p * p;
    if (square <= kLargestRootRadicand) {
        const std::int64_t N = std::llround(square);
        if (N >= 1 && std::fabs(p - std::sqrt(static_cast<double>(N))) <= tolerance) {
            return rootText(N);
        }
    }
    return fmt::format("{:.3f}", p);
}

// The rotation to 0.1°, a whole one without its ".0", none at all for 0.
std::string rotationText(double degrees) {
    const double tenths = std::round(degrees * 10);
    if (tenths == 0 || tenths == 3600) {
        return {};
    }
    return std::fmod(tenths, 10) == 0 ? fmt::format("R{:.0f}°", tenths / 10)
                                      : fmt::format("R{:.1f}°", tenths / 10);
}

// A name found, kept as numbers: an iteration names every match, and of the dozens of names
// found for one only those at the smallest rotation are ever written.
struct Candidate {
    enum class Kind { Written, Wood, Rect };
    Kind kind = Kind::Written;
    std::string written;  // Kind::Written: the name itself
    double first = 0;     // Wood: the length ratios p and q; rect: the radicands of p² and q²
    double second = 0;
    double rotation = 0;
    std::size_t operation = 0;
};

std::string textOf(const Candidate& c, double lengthTolerance) {
    switch (c.kind) {
        case Candidate::Kind::Wood:
            return fmt::format("({}×{}){}", ratioText(c.first, lengthTolerance),
                               ratioText(c.second, lengthTolerance), rotationText(c.rotation));
        case Candidate::Kind::Rect:
            return fmt::format("({}×{})rect", rootText(static_cast<std::int64_t>(c.first)),
                               rootText(static_cast<std::int64_t>(c.second)));
        case Candidate::Kind::Written:
            break;
    }
    return c.written;
}

// The lattice vectors of a handedness-keeping reduced basis no longer than limit, or nullopt
// when there would be too many to try.
std::optional<std::vector<Vec2>> vectorsWithin(const Basis2& reduced, double limit) {
    const double sine = reduced.area() / (reduced.v1.length() * reduced.v2.length());
    const double spanI = limit / (reduced.v1.length() * sine);
    const double spanJ = limit / (reduced.v2.length() * sine);
    if (!std::isfinite(spanI) || !std::isfinite(spanJ) ||
        (2 * spanI + 3) * (2 * spanJ + 3) > kMostVectors) {
        return std::nullopt;
    }
    const auto I = static_cast<int>(std::ceil(spanI));
    const auto J = static_cast<int>(std::ceil(spanJ));
    // Squared lengths: tens of thousands of vectors are tried for the names of one iteration.
    const double limitSquared = limit * limit;
    std::vector<Vec2> out;
    for (int i = -I; i <= I; ++i) {
        for (int j = -J; j <= J; ++j) {
            const Vec2 v = reduced.at(i, j);
            if ((i != 0 || j != 0) && lattice::dot(v, v) <= limitSquared) {
                out.push_back(v);
            }
        }
    }
    return out;
}

Vec2 turned(Vec2 v, double radians) {
    return {v.x * std::cos(radians) - v.y * std::sin(radians),
            v.x * std::sin(radians) + v.y * std::cos(radians)};
}

struct Search {
    const Basis2& substrate;
    double lengthTolerance;
    double latticeTolerance;
    bool hexagonal;
};

// Wood names, and rect names on a hexagonal substrate, of one image of the overlayer lattice.
void namesOfImage(const Search& s, const Basis2& image, std::size_t operation,
                  std::vector<Candidate>& wood, std::vector<Candidate>& rect) {
    const lattice::ReducedBasis reduced = lattice::reduceKeepingHandedness(image);
    const double area = image.area();
    const Vec2 a1 = s.substrate.v1;
    const Vec2 a2 = s.substrate.v2;
    const double sine = std::fabs(lattice::cross(a1, a2)) / (a1.length() * a2.length());
    // A Wood basis (v, w) makes the substrate's angle: area = |v|·|w|·sin α with |w| at least
    // the shortest vector, which bounds |v|. A rect basis makes 90°, a weaker bound.
    const double limit = area / (reduced.basis.v1.length() * sine) * (1 + 1e-9);
    const std::optional<std::vector<Vec2>> vectors = vectorsWithin(reduced.basis, limit);
    if (!vectors) {
        return;
    }
    const double handedness = lattice::cross(a1, a2) > 0 ? 1 : -1;
    for (const Vec2& v : *vectors) {
        const double theta = v.direction() - a1.direction();
        const double p = v.length() / a1.length();
        // The similarity taking a1 to v takes a2 to u; w along u spans the cell's area.
        const Vec2 u = p * turned(a2, theta);
        const Vec2 w = (area / std::fabs(lattice::cross(v, u))) * u;
        if (lattice::latticeCoordinates(reduced.basis, w, s.latticeTolerance)) {
            const double q = w.length() / a2.length();
            const double rotation = turnDegrees(theta);
            wood.push_back({Candidate::Kind::Wood, {}, p, q, rotation, operation});
        }
        if (!s.hexagonal || turnDegrees(theta) != 0) {
            continue;
        }
        const Vec2 side =
            (area / v.length()) * turned((1 / v.length()) * v, handedness * 90 * kDegree);
        if (!lattice::latticeCoordinates(reduced.basis, side, s.latticeTolerance)) {
            continue;
        }
        const double p2 = p * p;
        const double q2 = std::pow(side.length() / a1.length(), 2);
        const double n1 = std::round(p2);
        const double n2 = std::round(q2);
        if (n1 >= 1 && n2 >= 1 && n1 <= kLargestRootRadicand && n2 <= kLargestRootRadicand &&
            std::fabs(std::sqrt(p2) - std::sqrt(n1)) <= s.lengthTolerance &&
            std::fabs(std::sqrt(q2) - std::sqrt(n2)) <= s.lengthTolerance) {
            rect.push_back({Candidate::Kind::Rect, {}, n1, n2, 0, operation});
        }
    }
}

// The candidate with the smallest rotation, the earliest operation among equal ones, and the
// other names found at that rotation.
std::optional<CellName> best(std::vector<Candidate> candidates, double lengthTolerance) {
    if (candidates.empty()) {
        return std::nullopt;
    }
    std::ranges::stable_sort(candidates, [](const Candidate& x, const Candidate& y) {
        if (x.rotation != y.rotation) {
            return x.rotation < y.rotation;
        }
        return x.operation < y.operation;
    });
    CellName name{textOf(candidates.front(), lengthTolerance), candidates.front().rotation, {}};
    for (const Candidate& c : candidates) {
        if (c.rotation != name.rotation) {
            break;  // sorted by rotation
        }
        if (std::string text = textOf(c, lengthTolerance);
            text != name.text &&
            std::ranges::find(name.otherDomains, text) == name.otherDomains.end()) {
            name.otherDomains.push_back(std::move(text));
        }
    }
    return name;
}

std::optional<std::string> centredCore(const IntMatrix2& m) {
    const std::int64_t area = std::llabs(m.determinant());
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

bool rightAngled(const Basis2& substrate, double tolerance) {
    return std::fabs(lattice::dot(substrate.v1, substrate.v2)) <=
           tolerance * substrate.v1.length() * substrate.v2.length();
}

}  // namespace

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

std::optional<std::string> centredName(const IntMatrix2& m, const Basis2& substrate,
                                       double symmetryTolerance) {
    const bool small = std::ranges::all_of(std::array{m.m11, m.m12, m.m21, m.m22}, [](auto e) {
        return e >= -kLargestNamedElement && e <= kLargestNamedElement;
    });
    if (!small || !rightAngled(substrate, symmetryTolerance)) {
        return std::nullopt;
    }
    return centredCore(m);
}

std::optional<CellName> nameCell(const Matrix2& matrix, const Basis2& substrate,
                                 double lengthTolerance, double latticeTolerance,
                                 double symmetryTolerance) {
    if (!std::isfinite(matrix.determinant()) || matrix.determinant() == 0) {
        return std::nullopt;
    }
    const lattice::PointGroup group = lattice::pointGroup(substrate, symmetryTolerance);
    const std::optional<IntMatrix2> whole = integral(matrix);

    if (whole && rightAngled(substrate, symmetryTolerance)) {
        std::vector<Candidate> centred;
        for (std::size_t k = 0; k < group.operations.size(); ++k) {
            if (auto text = centredCore(imageOf(*whole, group.operations[k].matrix))) {
                centred.push_back({Candidate::Kind::Written, *text, 0, 0, 0, k});
            }
        }
        if (auto name = best(centred, lengthTolerance)) {
            return name;
        }
    }

    const Search search{substrate, lengthTolerance, latticeTolerance,
                        group.type == lattice::BravaisType::Hexagonal};
    std::vector<Candidate> wood;
    std::vector<Candidate> rect;
    for (std::size_t k = 0; k < group.operations.size(); ++k) {
        const Matrix2 image = imageOf(matrix, group.operations[k].matrix);
        namesOfImage(search, substrate.transformed(image), k, wood, rect);
    }
    if (auto name = best(wood, lengthTolerance)) {
        return name;
    }
    return best(rect, lengthTolerance);
}

}  // namespace lamivex::engine
