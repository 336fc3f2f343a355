#pragma once
// The model of a measured pattern: where on the screen a spot (h, k) of the substrate, or of
// one domain of the overlayer, lands for given calibration and cell parameters. The
// calibration maps the reciprocal plane (1/Angstrom, x along the substrate's a1, y at +90°)
// onto the screen with its y axis turned upward: screen = centre + map(G).

#include <optional>
#include <span>
#include <vector>

#include "fit/spots.h"
#include "views/domains.h"
#include "views/plane.h"

namespace lamivex::fit {

struct Calibration {
    views::Vec2 centre;   // the (0,0) spot, screen units, y up
    views::PlaneMap map;  // screen units per 1/Angstrom: a turn and a scale, or any linear map

    [[nodiscard]] views::Vec2 toScreen(views::Vec2 g) const { return centre + map(g); }
    [[nodiscard]] views::Vec2 toReciprocal(views::Vec2 screen) const;
    // Screen units per 1/Angstrom: √|det map|.
    [[nodiscard]] double scale() const;
    // The direction of the substrate's a1 in the reciprocal plane (the plane's x axis) on the
    // screen, degrees counter-clockwise from the screen's x axis as seen on the image.
    [[nodiscard]] double rotationDegrees() const;
    // The larger of the map's two stretches over the smaller, minus 1: 0 for a camera square
    // to the screen.
    [[nodiscard]] double anisotropy() const;
};

// Spot coordinates (y down) to the model's screen (y up), and back.
[[nodiscard]] inline views::Vec2 upward(ScreenPoint p) {
    return {p.x, -p.y};
}
[[nodiscard]] inline ScreenPoint downward(views::Vec2 p) {
    return {p.x, -p.y};
}

// The overlayer cell of the first domain: lengths in Angstroms, angles in degrees, b2 at
// azimuth + beta, the azimuth from the substrate's a1 to b1.
struct CellParameters {
    double b1 = 0;
    double b2 = 0;
    double beta = 0;
    double azimuth = 0;
};

// The rotation or mirror that makes a domain of the overlayer as it lies.
[[nodiscard]] views::PlaneMap domainMap(const views::Domain& domain,
                                        const views::PointGroup& group);

// Which spot of the model a measured spot is: the substrate's (domain −1) or a domain's.
struct SpotIndex {
    std::size_t spot = 0;
    int domain = -1;
    int h = 0;
    int k = 0;
};

// The parameters in one vector for the least squares: the centre (unless it is given), the
// map (2 numbers for a turn and a scale, 4 for an affine map) and, with an overlayer, its
// four cell parameters.
class PatternModel {
  public:
    PatternModel(const engine::SubstrateCell& substrate, std::optional<views::Vec2> fixedCentre,
                 bool affine, std::vector<views::PlaneMap> domainMaps);

    [[nodiscard]] std::vector<double> pack(const Calibration& calibration,
                                           const std::optional<CellParameters>& cell) const;
    [[nodiscard]] Calibration calibrationOf(std::span<const double> parameters) const;
    [[nodiscard]] CellParameters cellOf(std::span<const double> parameters) const;
    // Index of b1 in the parameter vector; b2, beta and the azimuth follow.
    [[nodiscard]] std::size_t cellOffset() const;
    // Finite-difference steps suited to each parameter of parameters.
    [[nodiscard]] std::vector<double> steps(std::span<const double> parameters) const;

    // The reciprocal basis of domain d for cell (the substrate's for d = −1).
    [[nodiscard]] views::Basis2 reciprocalOf(int domain, const CellParameters& cell) const;
    [[nodiscard]] const views::Basis2& substrateReciprocal() const { return m_substrateReciprocal; }
    [[nodiscard]] std::size_t domainCount() const { return m_domainMaps.size(); }

    // Residuals (x and y per spot) of the spots as indexed, in screen units.
    void residuals(std::span<const double> parameters, std::span<const views::Vec2> screen,
                   std::span<const SpotIndex> indices, std::vector<double>& out) const;

  private:
    engine::SubstrateCell m_substrate;
    views::Basis2 m_substrateReciprocal;
    std::optional<views::Vec2> m_fixedCentre;
    bool m_affine = false;
    std::vector<views::PlaneMap> m_domainMaps;
};

}  // namespace lamivex::fit
