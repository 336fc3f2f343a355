// Structure models against counts and geometry worked out by hand (recipes in the comments),
// not with the builder's own arithmetic.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/interpretation.h"
#include "gemmi_reader.h"
#include "model/coincidence.h"
#include "model/crystal_atoms.h"
#include "model/model_writers.h"
#include "model/overlayer_layer.h"
#include "model/plane_layers.h"
#include "model/structure_model.h"

namespace lamivex::model {
namespace {

const std::string kData = LAMIVEX_TEST_DATA_DIR;
const double kSqrt3 = std::sqrt(3.0);

OverlayerLayer overlayerOf(const std::string& file) {
    if (file.ends_with(".xyz")) {
        return readOverlayerXyzFile(kData + "/" + file);
    }
    return overlayerFromPlane(planeLayers(readCrystalAtoms(kData + "/" + file), {0, 0, 1}));
}

PlaneLayers substrateOf(const std::string& file) {
    return planeLayers(readCrystalAtoms(kData + "/" + file), {1, 1, 1});
}

// The shortest distance between two atoms of the model, over the periodic images the test
// computes itself: every pair, the 27 neighbouring cells.
double shortestDistance(const StructureModel& model, bool substrateOnly) {
    double shortest = 1e300;
    for (std::size_t p = 0; p < model.atoms.size(); ++p) {
        for (std::size_t q = p; q < model.atoms.size(); ++q) {
            if (substrateOnly && !(model.atoms[p].substrate && model.atoms[q].substrate)) {
                continue;
            }
            for (int i = -1; i <= 1; ++i) {
                for (int j = -1; j <= 1; ++j) {
                    for (int k = -1; k <= 1; ++k) {
                        if (p == q && i == 0 && j == 0 && k == 0) {
                            continue;
                        }
                        double squared = 0;
                        for (int x = 0; x < 3; ++x) {
                            const double d = model.atoms[q].position[x] -
                                             model.atoms[p].position[x] + i * model.cell[0][x] +
                                             j * model.cell[1][x] + k * model.cell[2][x];
                            squared += d * d;
                        }
                        shortest = std::min(shortest, std::sqrt(squared));
                    }
                }
            }
        }
    }
    return shortest;
}

struct ModelCase {
    const char* name;
    std::string substrate;  // a CIF file, plane (1 1 1)
    std::string overlayer;  // a CIF file, plane (0 0 1), or an XYZ layer
    Coincidence coincidence;
    int layers;
    double cellLength;          // |a| = |b|, Angstroms; gamma is 60° in every case
    int substrateAtoms;         // layers × area ratio × atoms per layer (one on fcc(111))
    int overlayerAtoms;         // supercell area / overlayer cell area × atoms per cell
    double strainPercent;       // (|A| − |B|) / |B|, the same along both vectors
    double areaPercent;         // (1 + strain)² − 1
    double substrateNeighbour;  // a/√2 of the fcc substrate
    double shortestBond;        // the model's shortest bond, unstrained
    double height;              // the sum of the van der Waals radii of the facing atoms
};

// fcc(111) nearest neighbours a/√2: Cu 3.615/√2 = 2.556191, Pt 3.924/√2 = 2.774687,
// Ag 4.086/√2 = 2.889238; the layers a/√3 apart. van der Waals radii: Cu 1.40, C 1.70,
// Pt 1.75, Xe 2.16, Ag 1.72 Angstroms.
const ModelCase kCases[] = {
    // Graphene 1×1 on Cu(111): |A| = 2.556191, |B| = 2.464, strain 2.556191 / 2.464 − 1.
    {"graphene 1x1 on Cu(111)",
     "cu_atoms.cif",
     "graphene.cif",
     {{1, 0, 0, 1}, 1, 1, 0},
     3,
     2.556191,
     3 * 1,
     1 * 2,
     3.741518,
     7.623026,
     2.556191,
     2.464 / kSqrt3,
     3.10},
    // 9×9 graphene on (5√3×5√3)R30°: A1 = 5(a1 + a2) at 30°, A2 = 5(−a1 + 2a2) at 90°, so
    // det = 5·10 + 5·5 = 75 substrate cells; |A| = 5√3 · 2.556191 = 22.137264 against
    // |B| = 9 · 2.464 = 22.176: strain −0.174677 %, area (0.9982532)² − 1.
    {"graphene 9x9 on Cu(111) (5√3×5√3)R30°",
     "cu_atoms.cif",
     "graphene.cif",
     {{5, 5, -5, 10}, 9, 9, 30},
     3,
     22.137264,
     3 * 75,
     81 * 2,
     -0.174677,
     -0.349049,
     2.556191,
     2.464 / kSqrt3,
     3.10},
    // Xe-like (√3×√3)R30° on Pt(111): the matrix (1 1; −1 2), det 3; |A| = √3 · 2.774687 =
    // 4.805899 against the layer's 4.75.
    {"Xe (√3×√3)R30° on Pt(111)",
     "pt_atoms.cif",
     "xe_layer.xyz",
     {{1, 1, -1, 2}, 1, 1, 30},
     3,
     4.805899,
     3 * 3,
     1,
     1.176818,
     2.367485,
     2.774687,
     2.774687,
     3.91},
    // Benzene in a hexagonal 8.70 Angstrom cell on Ag(111) (3×3): |A| = 3 · 2.889238 =
    // 8.667715; the shortest bond is C–H, 2.48 − 1.39 = 1.09.
    {"benzene 3x3 on Ag(111)",
     "ag_atoms.cif",
     "benzene_layer.xyz",
     {{3, 0, 0, 3}, 1, 1, 0},
     4,
     8.667715,
     4 * 9,
     12,
     -0.371093,
     -0.740809,
     2.889238,
     1.09,
     3.42},
};

// Test names that say which model.
void PrintTo(const ModelCase& c, std::ostream* out) {
    *out << c.name;
}

class ModelCases : public ::testing::TestWithParam<ModelCase> {};

TEST_P(ModelCases, CellCountsStrainAndDistancesAreThoseWorkedOutByHand) {
    const ModelCase& c = GetParam();
    BuildSettings settings;
    settings.layers = c.layers;
    settings.vacuum = 12;
    settings.fixLayers = 1;
    const StructureModel model =
        buildModel(substrateOf(c.substrate), overlayerOf(c.overlayer), c.coincidence, settings);

    const auto& [a, b, cv] = model.cell;
    EXPECT_NEAR(std::hypot(a[0], a[1], a[2]), c.cellLength, 1e-5);
    EXPECT_NEAR(std::hypot(b[0], b[1], b[2]), c.cellLength, 1e-5);
    EXPECT_NEAR(std::acos((a[0] * b[0] + a[1] * b[1]) / (c.cellLength * c.cellLength)) * 180 /
                    std::numbers::pi,
                60, 1e-5);
    EXPECT_EQ(a[1], 0);  // a along x, c along the normal
    EXPECT_EQ(a[2], 0);
    EXPECT_EQ(b[2], 0);
    EXPECT_EQ(cv[0], 0);
    EXPECT_EQ(cv[1], 0);

    int substrate = 0;
    int fixed = 0;
    double substrateTop = -1e300;
    double overlayerBottom = 1e300;
    double highest = -1e300;
    std::vector<double> heights;
    for (const ModelAtom& atom : model.atoms) {
        substrate += atom.substrate ? 1 : 0;
        fixed += atom.fixed ? 1 : 0;
        highest = std::max(highest, atom.position[2]);
        if (atom.substrate) {
            substrateTop = std::max(substrateTop, atom.position[2]);
            if (std::ranges::none_of(
                    heights, [&](double h) { return std::fabs(h - atom.position[2]) < 1e-6; })) {
                heights.push_back(atom.position[2]);
            }
        } else {
            overlayerBottom = std::min(overlayerBottom, atom.position[2]);
        }
    }
    EXPECT_EQ(substrate, c.substrateAtoms);
    EXPECT_EQ(static_cast<int>(model.atoms.size()) - substrate, c.overlayerAtoms);
    EXPECT_EQ(fixed, c.substrateAtoms / c.layers);  // the bottom layer
    ASSERT_EQ(static_cast<int>(heights.size()), c.layers);
    std::ranges::sort(heights);
    for (std::size_t k = 1; k < heights.size(); ++k) {
        EXPECT_NEAR(heights[k] - heights[k - 1], c.substrateNeighbour * std::sqrt(2.0) / kSqrt3,
                    1e-6);  // a/√3
    }
    EXPECT_NEAR(heights.front(), 0, 1e-9);
    EXPECT_NEAR(overlayerBottom - substrateTop, c.height, 1e-6);
    EXPECT_NEAR(cv[2], highest + settings.vacuum, 1e-9);

    for (const double principal : model.strain.principalPercent) {
        EXPECT_NEAR(principal, c.strainPercent, 1e-4);
    }
    EXPECT_NEAR(model.strain.vectorPercent[0], c.strainPercent, 1e-4);
    EXPECT_NEAR(model.strain.vectorPercent[1], c.strainPercent, 1e-4);
    EXPECT_NEAR(model.strain.areaPercent, c.areaPercent, 1e-4);

    // ABC stacking keeps every substrate atom a/√2 from its nearest; atoms stacked on top of
    // each other would be a/√3 apart.
    EXPECT_NEAR(shortestDistance(model, true), c.substrateNeighbour, 1e-6);
    EXPECT_GE(shortestDistance(model, false), 0.8 * c.shortestBond);
    EXPECT_TRUE(model.closePairs.empty());
    EXPECT_EQ(model.merged, 0);

    // The CIF read back by gemmi: the same cell and the same atoms in the same order.
    std::ostringstream cif;
    writeCif(cif, model, Provenance{"test", {"case: read back"}});
    const testing::GemmiStructure read = testing::readCifWithGemmi(cif.str());
    EXPECT_NEAR(read.cell[0], c.cellLength, 1e-6);
    EXPECT_NEAR(read.cell[5], 60, 1e-6);
    EXPECT_EQ(read.spaceGroup, "P 1");
    ASSERT_EQ(read.atoms.size(), model.atoms.size());
    for (std::size_t k = 0; k < read.atoms.size(); ++k) {
        const ModelAtom& atom = model.atoms[k];
        const auto& f = read.atoms[k].fraction;
        EXPECT_EQ(read.atoms[k].element, atom.element);
        for (int x = 0; x < 3; ++x) {
            EXPECT_NEAR(f[0] * a[x] + f[1] * b[x] + f[2] * cv[x], atom.position[x], 1e-7);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Models, ModelCases, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ModelCase>& info) {
                             return std::to_string(info.index);
                         });

TEST(Coincidence, OfTheInterpretedNineByNineGivesItsMatrixAndAStrainUndoingTheMisfit) {
    // The 9×9 supercell's matrix at 30°: 5 5 −5 10 times |B| / |A| = 9 · 2.464 / (5√3 · a/√2).
    const double nearest = 3.615 / std::sqrt(2.0);  // as the substrate's CIF gives it
    const engine::SubstrateCell cu{nearest, nearest, 60};
    const double s = 9 * 2.464 / (5 * kSqrt3 * nearest);
    const engine::Interpretation interpretation =
        engine::interpret({5 * s, 5 * s, -5 * s, 10 * s}, 9, 9, cu, 1, 1);
    const Coincidence coincidence = coincidenceOf(interpretation, 30);
    EXPECT_EQ(coincidence.substrateMatrix, (std::array<std::int64_t, 4>{5, 5, -5, 10}));
    EXPECT_EQ(coincidence.b1Multiple, 9);
    EXPECT_EQ(coincidence.b2Multiple, 9);
    const StructureModel model =
        buildModel(substrateOf("cu_atoms.cif"), overlayerOf("graphene.cif"), coincidence, {});
    for (std::size_t k = 0; k < 2; ++k) {
        ASSERT_TRUE(interpretation.misfitPercent[k]);
        // The misfit is (|B| − |A|) / |A|, the strain (|A| − |B|) / |B|.
        EXPECT_NEAR((1 + model.strain.vectorPercent[k] / 100) *
                        (1 + *interpretation.misfitPercent[k] / 100),
                    1, 1e-9);
    }
}

TEST(Terminations, NaClOneOneOneAlternatesItsTwoLayersFromTheChosenTop) {
    // NaCl(111): Na and Cl planes alternate a/(2√3) = 5.64 / 3.4641 = 1.628128 apart, one atom
    // each per 1×1 cell (a/√2 = 3.988082).
    BuildSettings settings;
    settings.layers = 4;
    settings.termination = 2;
    settings.height = 3;
    settings.maxStrainPercent = 100;  // the Xe layer is only a lid here
    const PlaneLayers nacl = planeLayers(readCrystalAtoms(kData + "/nacl_atoms.cif"), {1, 1, 1});
    const StructureModel model =
        buildModel(nacl, overlayerOf("xe_layer.xyz"), {{1, 1, -1, 2}, 1, 1, 30}, settings);
    // Which of the two tops the period's first layer is depends on the normal's sense.
    ASSERT_EQ(model.terminations.size(), 2U);
    EXPECT_TRUE(
        std::ranges::is_permutation(model.terminations, std::vector<std::string>{"Na", "Cl"}));
    std::vector<std::pair<double, std::string>> substrate;
    for (const ModelAtom& atom : model.atoms) {
        if (atom.substrate) {
            substrate.emplace_back(atom.position[2], atom.element);
        }
    }
    std::ranges::sort(substrate);
    ASSERT_EQ(substrate.size(), 4U * 3U);  // four layers of the √3 cell's three atoms
    const char* fromTheTop[] = {model.terminations[1].c_str(), model.terminations[0].c_str()};
    for (std::size_t k = 0; k < substrate.size(); ++k) {
        const std::size_t layer = (substrate.size() - 1 - k) / 3;  // 0 at the top
        EXPECT_EQ(substrate[k].second, fromTheTop[layer % 2]) << k;
        EXPECT_NEAR(substrate[k].first, (3 - static_cast<double>(layer)) * 5.64 / (2 * kSqrt3),
                    1e-6);
    }
    EXPECT_NEAR(shortestDistance(model, true), 5.64 / 2, 1e-6);  // Na–Cl
}

struct Refusal {
    const char* name;
    std::function<void()> build;
    const char* message;
};

const Refusal kRefusals[] = {
    {"an incommensurate orientation",
     [] {
         // √2 and π/2 are no whole numbers over any domain.
         const engine::Interpretation none = engine::interpret(
             {std::sqrt(2.0), 0.1, 0.3, std::numbers::pi / 2}, 1, 1, {2.5, 2.5, 60}, 5, 5);
         (void)coincidenceOf(none, 0);
     },
     "no periodic cell: choose a supercell or a tolerance"},
    {"a crystal file without atoms", [] { (void)readCrystalAtoms(kData + "/cu.cif"); },
     "cu.cif lists no atoms (_atom_site_fract_x, _y, _z): a plane without atoms gives no slab"},
    {"a strain beyond the maximum",
     [] {
         BuildSettings settings;
         settings.maxStrainPercent = 1;  // the Xe layer needs 1.18 %
         (void)buildModel(substrateOf("pt_atoms.cif"), overlayerOf("xe_layer.xyz"),
                          {{1, 1, -1, 2}, 1, 1, 30}, settings);
     },
     "the overlayer would be strained by 1.18 % (principal strains 1.18 % and 1.18 %), beyond "
     "the maximum strain of 1 %"},
    {"more atoms than the maximum",
     [] {
         BuildSettings settings;
         settings.layers = 3;
         settings.maxAtoms = 300;  // 225 + 162
         (void)buildModel(substrateOf("cu_atoms.cif"), overlayerOf("graphene.cif"),
                          {{5, 5, -5, 10}, 9, 9, 30}, settings);
     },
     "the model would hold 387 atoms, beyond the maximum of 300"},
    {"a termination the plane does not have",
     [] {
         BuildSettings settings;
         settings.termination = 2;
         (void)buildModel(substrateOf("cu_atoms.cif"), overlayerOf("graphene.cif"),
                          {{1, 0, 0, 1}, 1, 1, 0}, settings);
     },
     "the plane has 1 termination: choose 1, not 2"},
    {"a left-handed supercell",
     [] {
         (void)buildModel(substrateOf("cu_atoms.cif"), overlayerOf("graphene.cif"),
                          {{0, 1, 1, 0}, 1, 1, 0}, {});
     },
     "the substrate matrix (0 1; 1 0) has the determinant -1: it would turn the overlayer over"},
    {"a typed matrix that is not whole",
     [] {
         (void)coincidenceOfMatrix({1.5, 0, 0, 1}, 1, 1, {2.5, 2.5, 60});
     },
     "the supercell's matrix must be whole numbers, got 1.5 0 0 1"},
    {"an XYZ layer whose cell is not in the plane",
     [] {
         std::istringstream in("1\nLattice=\"3 0 1 0 3 0 0 0 10\"\nXe 0 0 0\n");
         (void)readOverlayerXyz(in, "tilted.xyz");
     },
     "tilted.xyz, line 2: the cell's a and b must lie in the xy plane (az = bz = 0)"},
    {"an XYZ layer without a cell",
     [] {
         std::istringstream in("1\nplain comment\nXe 0 0 0\n");
         (void)readOverlayerXyz(in, "plain.xyz");
     },
     "plain.xyz, line 2: expected Lattice=\"ax ay az bx by bz cx cy cz\", the layer's cell"},
    {"an XYZ layer with too few atoms",
     [] {
         std::istringstream in("2\nLattice=\"3 0 0 0 3 0 0 0 10\"\nXe 0 0 0\n");
         (void)readOverlayerXyz(in, "short.xyz");
     },
     "short.xyz, line 4: the file ends after 1 of 2 atoms"},
};

void PrintTo(const Refusal& r, std::ostream* out) {
    *out << r.name;
}

class Refusals : public ::testing::TestWithParam<Refusal> {};

TEST_P(Refusals, SayWhy) {
    try {
        GetParam().build();
        FAIL() << "accepted " << GetParam().name;
    } catch (const std::invalid_argument& error) {
        EXPECT_STREQ(error.what(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(BadInputs, Refusals, ::testing::ValuesIn(kRefusals),
                         [](const ::testing::TestParamInfo<Refusal>& info) {
                             return std::to_string(info.index);
                         });

TEST(Writers, PoscarFixesTheBottomLayersAndXyzNamesTheCell) {
    BuildSettings settings;
    settings.layers = 3;
    settings.fixLayers = 2;
    const StructureModel model =
        buildModel(substrateOf("pt_atoms.cif"), overlayerOf("xe_layer.xyz"),
                   {{1, 1, -1, 2}, 1, 1, 30}, settings);
    std::ostringstream poscar;
    writePoscar(poscar, model, Provenance{"5.0", {"substrate-cif: pt_atoms.cif"}});
    std::istringstream lines(poscar.str());
    std::string line;
    std::vector<std::string> all;
    while (std::getline(lines, line)) {
        all.push_back(line);
    }
    ASSERT_EQ(all.size(), 9U + 10U);  // comment, scale, 3 vectors, 2 count lines, 2 words
    EXPECT_NE(all[0].find("substrate-cif: pt_atoms.cif"), std::string::npos);
    EXPECT_NE(all[0].find("Lamivex 5.0"), std::string::npos);
    EXPECT_EQ(all[5], " Pt Xe");
    EXPECT_EQ(all[6], " 9 1");
    EXPECT_EQ(all[7], "Selective dynamics");
    // The two bottom layers of three Pt atoms each are fixed.
    EXPECT_EQ(std::ranges::count_if(all, [](const std::string& l) { return l.ends_with("F F F"); }),
              6);

    std::ostringstream xyz;
    writeExtendedXyz(xyz, model, Provenance{"5.0", {}});
    EXPECT_TRUE(xyz.str().starts_with("10\nLattice=\"4.80589"));
    EXPECT_NE(xyz.str().find("substrate_matrix=\"1 1 -1 2\""), std::string::npos);
}

}  // namespace
}  // namespace lamivex::model
