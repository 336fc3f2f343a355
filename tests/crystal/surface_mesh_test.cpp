// Surface meshes of bulk crystals read from hand-written CIF files, each checked against
// the textbook mesh and against a brute-force search of short in-plane translations.

#include "crystal/surface_mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "crystal/crystal_file.h"

namespace lamivex::crystal {
namespace {

std::string dataFile(const std::string& name) {
    return std::string(LAMIVEX_TEST_DATA_DIR) + "/" + name;
}

double length(const Vector3& v) {
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

Vector3 cross(const Vector3& u, const Vector3& v) {
    return {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
}

struct BruteForce {
    double a1 = 1e300;
    double a2 = 1e300;
    double area = 1e300;
};

// Every translation n + t (|n_i| <= 3, t a centring) with h x + k y + l z = 0: the shortest
// length, the shortest not along it, and the smallest cell any two of them span.
BruteForce bruteForce(const BulkLattice& bulk, std::array<int, 3> hkl) {
    const std::array<Vector3, 3> cell = cellVectors(bulk);
    std::vector<std::array<int, 3>> shifts{{0, 0, 0}};
    shifts.insert(shifts.end(), bulk.centring.begin(), bulk.centring.end());
    std::vector<Vector3> inPlane;
    for (int i = -3; i <= 3; ++i) {
        for (int j = -3; j <= 3; ++j) {
            for (int k = -3; k <= 3; ++k) {
                for (const auto& t : shifts) {
                    const double f[3] = {i + t[0] / 24.0, j + t[1] / 24.0, k + t[2] / 24.0};
                    if (std::fabs(f[0] * hkl[0] + f[1] * hkl[1] + f[2] * hkl[2]) > 1e-9 ||
                        (f[0] == 0 && f[1] == 0 && f[2] == 0)) {
                        continue;
                    }
                    Vector3 v{};
                    for (std::size_t d = 0; d < 3; ++d) {
                        v[d] = f[0] * cell[0][d] + f[1] * cell[1][d] + f[2] * cell[2][d];
                    }
                    inPlane.push_back(v);
                }
            }
        }
    }
    BruteForce best;
    Vector3 shortest{};
    for (const Vector3& v : inPlane) {
        if (length(v) < best.a1) {
            best.a1 = length(v);
            shortest = v;
        }
    }
    for (const Vector3& v : inPlane) {
        const double area = length(cross(shortest, v));
        if (area > 1e-9) {
            best.a2 = std::min(best.a2, length(v));
            best.area = std::min(best.area, area);
        }
    }
    return best;
}

TEST(SurfaceMesh, CrystalFilesGiveTheTextbookMeshes) {
    const struct {
        const char* file;
        double a1, a2, alpha;
        std::array<int, 3> hkl;
        MeshType type;
    } kCases[] = {
        {"cu.cif", 2.556191, 2.556191, 60, {1, 1, 1}, MeshType::Hexagonal},
        {"cu.cif", 2.556191, 2.556191, 90, {1, 0, 0}, MeshType::Square},
        {"cu.cif", 2.556191, 3.615, 90, {1, 1, 0}, MeshType::Rectangular},
        {"fe.cif", 2.482462, 2.482462, 70.528779, {1, 1, 0}, MeshType::CentredRectangular},
        {"si.cif", 3.840292, 3.840292, 60, {1, 1, 1}, MeshType::Hexagonal},
        {"graphite.cif", 2.464, 2.464, 60, {0, 0, 1}, MeshType::Hexagonal},
        {"nacl.cif", 3.988082, 3.988082, 90, {1, 0, 0}, MeshType::Square},
        {"cu.cif", 2.556191, 2.556191, 60, {2, 2, 2}, MeshType::Hexagonal},  // the same plane
        {"cu_bom.cif", 2.556191, 2.556191, 60, {1, 1, 1}, MeshType::Hexagonal},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.file) + " " + std::to_string(c.hkl[0]) +
                     std::to_string(c.hkl[1]) + std::to_string(c.hkl[2]));
        const BulkLattice bulk = readCrystalFile(dataFile(c.file));
        const SurfaceMesh mesh = surfaceMesh(bulk, c.hkl);
        EXPECT_NEAR(mesh.a1, c.a1, 1e-4);
        EXPECT_NEAR(mesh.a2, c.a2, 1e-4);
        EXPECT_NEAR(mesh.alpha, c.alpha, 1e-3);
        EXPECT_EQ(mesh.type, c.type) << meshTypeName(mesh.type);
        EXPECT_EQ(mesh.hexagonal, c.type == MeshType::Hexagonal);
        // The basis vectors lie in the plane and have the lengths given.
        const Vector3& f = mesh.v1Fractional;
        EXPECT_NEAR(f[0] * c.hkl[0] + f[1] * c.hkl[1] + f[2] * c.hkl[2], 0, 1e-12);
        EXPECT_NEAR(length(mesh.v1), mesh.a1, 1e-9);

        const BruteForce brute = bruteForce(bulk, c.hkl);
        EXPECT_NEAR(mesh.a1, brute.a1, 1e-9);
        EXPECT_NEAR(mesh.a2, brute.a2, 1e-9);
        EXPECT_NEAR(length(cross(mesh.v1, mesh.v2)), brute.area, 1e-9);
    }
}

TEST(SurfaceMesh, CentredMeshesAndSpacingsAreThoseOfTheLattice) {
    // bcc (110): the rhombus 2.482 at 70.53° is the centred rectangle a × a√2.
    const SurfaceMesh fe = surfaceMesh(readCrystalFile(dataFile("fe.cif")), {1, 1, 0});
    ASSERT_TRUE(fe.conventional.has_value());
    EXPECT_NEAR((*fe.conventional)[0], 2.8665, 1e-4);
    EXPECT_NEAR((*fe.conventional)[1], 4.053843, 1e-4);
    // Spacings of the centred lattices, not of the conventional cell's planes.
    const struct {
        const char* file;
        std::array<int, 3> hkl;
        double spacing;
    } kCases[] = {{"cu.cif", {1, 0, 0}, 3.615 / 2},
                  {"cu.cif", {1, 1, 1}, 3.615 / std::sqrt(3.0)},
                  {"fe.cif", {1, 1, 0}, 2.8665 / std::sqrt(2.0)},
                  {"graphite.cif", {0, 0, 1}, 6.711}};
    for (const auto& c : kCases) {
        EXPECT_NEAR(surfaceMesh(readCrystalFile(dataFile(c.file)), c.hkl).spacing, c.spacing, 1e-9)
            << c.file;
    }
}

TEST(SurfaceMesh, BadInputSaysWhatIsMissing) {
    const struct {
        const char* file;
        std::array<int, 3> hkl;
        const char* says;
    } kCases[] = {
        {"not_a_cif.cif", {1, 1, 1}, "is not a CIF file"},
        {"no_cell.cif", {1, 1, 1}, "gives no cell"},
        {"unknown_group.cif", {1, 1, 1}, "'Q 9 z', which is not known"},
        {"no_group.cif", {1, 1, 1}, "gives no space group"},
        {"group_number_zero.cif", {1, 1, 1}, "number 0, which is not a whole number"},
        {"group_number_fraction.cif", {1, 1, 1}, "225.7, which is not a whole number"},
        {"zero_angle.cif", {1, 1, 1}, "zero_angle.cif gives no usable cell"},
        // Not a 1 Å cube in place of what the file leaves out.
        {"no_angles.cif", {1, 1, 1}, "no_angles.cif gives no _cell_angle_alpha"},
        {"unknown_length.cif", {1, 1, 1}, "unknown_length.cif gives _cell_length_b as '?'"},
        {"dot_angle.cif", {1, 1, 1}, "dot_angle.cif gives _cell_angle_beta as '.'"},
        {"missing.cif", {1, 1, 1}, "is not a file that can be read"},
        {"cu.cif", {0, 0, 0}, "The plane 0 0 0 is no plane"}};
    for (const auto& c : kCases) {
        try {
            (void)surfaceMesh(readCrystalFile(dataFile(c.file)), c.hkl);
            ADD_FAILURE() << c.file << " was accepted";
        } catch (const std::invalid_argument& error) {
            EXPECT_NE(std::string(error.what()).find(c.says), std::string::npos)
                << c.file << ": " << error.what();
        }
    }
    BulkLattice flat;
    flat.gamma = 180;
    EXPECT_THROW((void)surfaceMesh(flat, {0, 0, 1}), std::invalid_argument);
    BulkLattice huge;  // squared lengths past the largest double
    huge.a = 1e160;
    EXPECT_THROW((void)surfaceMesh(huge, {1, 0, 0}), std::invalid_argument);
}

}  // namespace
}  // namespace lamivex::crystal
