#include "crystal/surface_mesh.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <numbers>
#include <stdexcept>

#include <fmt/format.h>

namespace lamivex::crystal {
namespace {

using Int3 = std::array<int64_t, 3>;
constexpr int64_t kDen = 24;  // the centring translations' denominator
// Equal lengths and special angles of a mesh: a crystal file's cell holds about six digits.
constexpr double kMeshTolerance = lattice::kDefaultTolerance;

double degrees(double radians) {
    return radians * 180 / std::numbers::pi;
}

double radians(double degrees) {
    return degrees * std::numbers::pi / 180;
}

double dot(const Vector3& u, const Vector3& v) {
    return u[0] * v[0] + u[1] * v[1] + u[2] * v[2];
}

Vector3 cross(const Vector3& u, const Vector3& v) {
    return {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
}

Vector3 combine(double p, const Vector3& u, double q, const Vector3& v) {
    return {p * u[0] + q * v[0], p * u[1] + q * v[1], p * u[2] + q * v[2]};
}

int64_t det3(const std::array<Int3, 3>& m) {
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
           m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

// A basis of the lattice the rows generate (in 24ths), by integer row reduction: column by
// column, Euclid's algorithm leaves one row with a nonzero entry there.
std::array<Int3, 3> latticeBasis(std::vector<Int3> rows) {
    std::array<Int3, 3> basis{};
    for (std::size_t col = 0; col < 3; ++col) {
        for (;;) {
            std::size_t pivot = rows.size();
            for (std::size_t r = 0; r < rows.size(); ++r) {
                if (rows[r][col] != 0 &&
                    (pivot == rows.size() || std::abs(rows[r][col]) < std::abs(rows[pivot][col]))) {
                    pivot = r;
                }
            }
            bool reduced = true;
            for (std::size_t r = 0; r < rows.size(); ++r) {
                if (r != pivot && rows[r][col] != 0) {
                    const int64_t q = rows[r][col] / rows[pivot][col];
                    for (std::size_t k = 0; k < 3; ++k) {
                        rows[r][k] -= q * rows[pivot][k];
                    }
                    reduced = reduced && rows[r][col] == 0;
                }
            }
            if (reduced) {
                basis[col] = rows[pivot];
                rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(pivot));
                break;
            }
        }
    }
    return basis;
}

// Two integer vectors spanning the solutions n of g · n = 0: column operations bring g to a
// single nonzero entry; the other columns of the unimodular matrix that did it span them.
std::array<Int3, 2> kernelOf(Int3 g) {
    std::array<Int3, 3> u{Int3{1, 0, 0}, Int3{0, 1, 0}, Int3{0, 0, 1}};  // columns
    for (;;) {
        std::size_t pivot = 3;
        int nonzero = 0;
        for (std::size_t i = 0; i < 3; ++i) {
            if (g[i] != 0) {
                ++nonzero;
                if (pivot == 3 || std::abs(g[i]) < std::abs(g[pivot])) {
                    pivot = i;
                }
            }
        }
        if (nonzero <= 1) {
            std::array<Int3, 2> kernel{};
            std::size_t k = 0;
            for (std::size_t i = 0; i < 3 && k < 2; ++i) {
                if (i != pivot) {
                    kernel[k++] = u[i];
                }
            }
            return kernel;
        }
        for (std::size_t i = 0; i < 3; ++i) {
            if (i != pivot && g[i] != 0) {
                const int64_t q = g[i] / g[pivot];
                g[i] -= q * g[pivot];
                for (std::size_t k = 0; k < 3; ++k) {
                    u[i][k] -= q * u[pivot][k];
                }
            }
        }
    }
}

}  // namespace

const char* meshTypeName(MeshType type) {
    return lattice::bravaisName(type);
}

std::string meshName(const BulkLattice& bulk, const SurfaceMesh& mesh) {
    const bool wide =
        std::max({std::abs(mesh.hkl[0]), std::abs(mesh.hkl[1]), std::abs(mesh.hkl[2])}) > 9;
    return fmt::format("{}({}{}{}{}{})", bulk.name.empty() ? "crystal" : bulk.name, mesh.hkl[0],
                       wide ? " " : "", mesh.hkl[1], wide ? " " : "", mesh.hkl[2]);
}

std::string meshFieldText(double value) {
    return fmt::format("{}", value);
}

// Exact at the angles cells mostly have, so that a right angle leaves no 1e-17 behind.
double cosDegrees(double angle) {
    if (angle == 90) {
        return 0;
    }
    if (angle == 60 || angle == 120) {
        return angle == 60 ? 0.5 : -0.5;
    }
    return std::cos(radians(angle));
}

std::array<Vector3, 3> cellVectors(const BulkLattice& bulk) {
    const double ca = cosDegrees(bulk.alpha);
    const double cb = cosDegrees(bulk.beta);
    const double cg = cosDegrees(bulk.gamma);
    const double sg = std::sin(radians(bulk.gamma));
    const double volumeFactor = 1 - ca * ca - cb * cb - cg * cg + 2 * ca * cb * cg;
    // Far outside any crystal the squared lengths of the reduction would overflow.
    const auto sane = [](double edge) { return edge >= 1e-6 && edge <= 1e6; };
    if (!sane(bulk.a) || !sane(bulk.b) || !sane(bulk.c)) {
        throw std::invalid_argument(fmt::format(
            "The cell edges must be from 1e-6 to 1e6 Angstroms (a = {:g}, b = {:g}, c = {:g}).",
            bulk.a, bulk.b, bulk.c));
    }
    if (!(volumeFactor > 0) || !(sg > 0)) {
        throw std::invalid_argument(
            fmt::format("The cell angles {:g}, {:g}, {:g} degrees make no cell.", bulk.alpha,
                        bulk.beta, bulk.gamma));
    }
    return {
        Vector3{bulk.a, 0, 0}, Vector3{bulk.b * cg, bulk.b * sg, 0},
        Vector3{bulk.c * cb, bulk.c * (ca - cb * cg) / sg, bulk.c * std::sqrt(volumeFactor) / sg}};
}

SurfaceMesh surfaceMesh(const BulkLattice& bulk, std::array<int, 3> hkl) {
    if (hkl == std::array<int, 3>{0, 0, 0}) {
        throw std::invalid_argument("The plane 0 0 0 is no plane: give h k l not all 0.");
    }
    const std::array<Vector3, 3> cell = cellVectors(bulk);
    std::vector<Int3> generators{Int3{kDen, 0, 0}, Int3{0, kDen, 0}, Int3{0, 0, kDen}};
    for (const std::array<int, 3>& t : bulk.centring) {
        for (const int x : t) {
            if (x < 0 || x >= kDen) {
                throw std::invalid_argument(
                    fmt::format("The centring translation {}/24 {}/24 {}/24 lies outside the cell.",
                                t[0], t[1], t[2]));
            }
        }
        generators.push_back({t[0], t[1], t[2]});
    }
    const std::array<Int3, 3> basis = latticeBasis(generators);
    // The plane's condition on a lattice vector n·basis is g·n = 0.
    Int3 g{};
    for (std::size_t i = 0; i < 3; ++i) {
        g[i] = basis[i][0] * hkl[0] + basis[i][1] * hkl[1] + basis[i][2] * hkl[2];
    }
    const std::array<Int3, 2> kernel = kernelOf(g);
    std::array<Vector3, 2> fractional{};
    std::array<Vector3, 2> cartesian{};
    for (std::size_t k = 0; k < 2; ++k) {
        for (std::size_t j = 0; j < 3; ++j) {
            int64_t sum = 0;
            for (std::size_t i = 0; i < 3; ++i) {
                sum += kernel[k][i] * basis[i][j];
            }
            fractional[k][j] = static_cast<double>(sum) / kDen;
        }
        cartesian[k] = combine(fractional[k][0], cell[0], 1,
                               combine(fractional[k][1], cell[1], fractional[k][2], cell[2]));
    }

    // The plane's own 2D frame (x along the first vector), reduced there: the transform
    // then carries the Cartesian and fractional vectors along.
    const Vector3 normal = cross(cartesian[0], cartesian[1]);
    const Vector3 e1 =
        combine(1 / std::sqrt(dot(cartesian[0], cartesian[0])), cartesian[0], 0, cartesian[0]);
    const Vector3 across = cross(normal, e1);
    const Vector3 e2 = combine(1 / std::sqrt(dot(across, across)), across, 0, across);
    const lattice::Basis2 flat{{dot(cartesian[0], e1), dot(cartesian[0], e2)},
                               {dot(cartesian[1], e1), dot(cartesian[1], e2)}};
    const lattice::ReducedBasis reduced = lattice::reduce(flat);
    const lattice::IntMatrix2& t = reduced.transform;
    const auto row = [&](std::int64_t p, std::int64_t q, const std::array<Vector3, 2>& from) {
        return combine(static_cast<double>(p), from[0], static_cast<double>(q), from[1]);
    };
    const Vector3 u = row(t.m11, t.m12, cartesian);
    const Vector3 v = row(t.m21, t.m22, cartesian);
    const Vector3 fu = row(t.m11, t.m12, fractional);
    const Vector3 fv = row(t.m21, t.m22, fractional);

    SurfaceMesh mesh;
    mesh.hkl = hkl;
    mesh.v1 = u;
    mesh.v2 = v;
    mesh.v1Fractional = fu;
    mesh.v2Fractional = fv;
    mesh.a1 = std::sqrt(dot(u, u));
    mesh.a2 = std::sqrt(dot(v, v));
    mesh.alpha = degrees(std::acos(std::clamp(dot(u, v) / (mesh.a1 * mesh.a2), -1.0, 1.0)));
    const double area = std::sqrt(dot(cross(u, v), cross(u, v)));
    const double primitiveVolume = std::fabs(dot(cell[0], cross(cell[1], cell[2]))) *
                                   std::fabs(static_cast<double>(det3(basis))) /
                                   static_cast<double>(kDen * kDen * kDen);
    mesh.spacing = primitiveVolume / area;

    mesh.type = lattice::bravaisType(reduced.basis, kMeshTolerance);
    switch (mesh.type) {
        case MeshType::Square:
        case MeshType::Rectangular:
            mesh.alpha = 90;
            break;
        case MeshType::Hexagonal:
            mesh.alpha = 60;
            mesh.a2 = mesh.a1;
            mesh.hexagonal = true;
            break;
        case MeshType::CentredRectangular:
            // A rhombus has the rectangle's sides as its diagonals; a cell whose v2 reaches
            // halfway along v1 has v1 and 2·v2 − v1.
            if (std::fabs(mesh.a1 - mesh.a2) <=
                std::fabs(2 * std::fabs(dot(u, v)) / mesh.a1 - mesh.a1)) {
                const Vector3 shortSide = combine(1, u, -1, v);
                const Vector3 longSide = combine(1, u, 1, v);
                mesh.conventional = std::array<double, 2>{std::sqrt(dot(shortSide, shortSide)),
                                                          std::sqrt(dot(longSide, longSide))};
            } else {
                const Vector3 w = combine(2, v, -1, u);
                mesh.conventional = std::array<double, 2>{mesh.a1, std::sqrt(dot(w, w))};
            }
            break;
        case MeshType::Oblique:
            break;
    }
    return mesh;
}

}  // namespace lamivex::crystal
