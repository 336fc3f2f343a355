// The ranking of a small screen worked out by hand: a √3 overlayer against five (111) faces.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "screening/pair_screen.h"
#include "screening/ranking.h"
#include "screening/screen_run.h"

namespace lamivex::screening {
namespace {

// b = 4.995 A at 60°, domain 25 x 25, spacing 0.25 over each substrate's wedge [0, 60].
// The fcc(111) meshes are a/√2 with Au 4.078, Ag 4.086, Cu 3.615, Pt 3.924, Pd 3.890 A.
// √3 · 2.88358 = 4.99450 for Au: the overlayer cell is (√3×√3)R30° to 0.01 %, and over the
// 51 cells of the domain it drifts by 51 · 0.0005 A, well below a tenth of a spacing, so it is
// commensurate with V/Vo near the hexagonal floor of -0.5.
// V/Vo = 1 - [S(P,m11)S(Q,m21) + S(P,m12)S(Q,m22) + S(P,m11+m12)S(Q,m21+m22)] / (2PQ),
// S(p,x) = sin(p·pi·x)/sin(pi·x), P = Q = 51, with the matrix of each azimuth
// theta = k·0.25 + 0.001 (single precision); minimised over k in plain Python (math only):
//     Au -0.49974 at 30.001   Ag -0.41336 at 30.001   Cu 0.87289 at 60.001
//     Pd  0.96741 at 31.251   Pt  0.97672 at 28.501
// so the ranking is Au, Ag, Cu, Pd, Pt, whatever order they are listed in.
TEST(Ranking, SqrtThreeOverlayerOnFiveFcc111Faces) {
    ScreenSettings settings;
    settings.fields.b1 = "4.995";
    settings.fields.b2 = "4.995";
    settings.fields.beta = "60";
    settings.fields.b1size = "25";
    settings.fields.b2size = "25";
    settings.fields.AngleSpacing = "0.25";
    const std::vector<std::pair<std::string, std::string>> faces = {{"Pt", "2.774687"},
                                                                    {"Cu", "2.556191"},
                                                                    {"Au", "2.883581"},
                                                                    {"Pd", "2.750645"},
                                                                    {"Ag", "2.889238"}};
    std::vector<PairWork> work;
    for (const auto& [name, a] : faces) {
        Substrate s = substrateFromMesh(a + " " + a + " 60", "substrate-mesh");
        s.name = name;
        work.push_back({work.size(), s, std::nullopt});
    }
    std::vector<PairResult> results;
    RunHooks hooks;
    hooks.commit = [&results](const PairResult& r) { results.push_back(r); };
    ASSERT_EQ(runInOrder(work, settings, 2, hooks), faces.size());

    const std::vector<PairResult> order = ranked(results);
    const std::vector<std::string> expected = {"Au", "Ag", "Cu", "Pd", "Pt"};
    const std::vector<double> vvo = {-0.49974, -0.41336, 0.87289, 0.96741, 0.97672};
    ASSERT_EQ(order.size(), expected.size());
    for (std::size_t k = 0; k < order.size(); ++k) {
        EXPECT_EQ(order[k].substrate.name, expected[k]);
        EXPECT_NEAR(order[k].best.BestVVo, vvo[k], 1e-4) << expected[k];
    }
    const engine::Interpretation au = interpretationOf(order[0], settings);
    EXPECT_EQ(au.type(), engine::EpitaxyType::Commensurate);
    EXPECT_EQ(au.wood(), "(√3×√3)R30°");
    EXPECT_NEAR(order[0].best.BestAngle, 30.001, 1e-4);
}

// Equal V/Vo keep the order of the work list, however the results arrived.
TEST(Ranking, TiesKeepTheWorkListOrder) {
    std::vector<PairResult> results(3);
    for (std::size_t k = 0; k < results.size(); ++k) {
        results[k].pair = 2 - k;
        results[k].best.BestVVo = 0.5;
    }
    results[1].error = "unreadable";
    const std::vector<PairResult> order = ranked(results);
    ASSERT_EQ(order.size(), 2U);
    EXPECT_EQ(order[0].pair, 0U);
    EXPECT_EQ(order[1].pair, 2U);
    EXPECT_EQ(unscreened(results).size(), 1U);
}

}  // namespace
}  // namespace lamivex::screening
