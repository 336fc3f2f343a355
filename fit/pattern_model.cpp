#include "fit/pattern_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lamivex::fit {
namespace {

constexpr double kRadian = std::numbers::pi / 180;

}  // namespace

views::Vec2 Calibration::toReciprocal(views::Vec2 screen) const {
    const views::Vec2 d = screen - centre;
    const double det = map.xx * map.yy - map.xy * map.yx;
    return {(map.yy * d.x - map.xy * d.y) / det, (-map.yx * d.x + map.xx * d.y) / det};
}

double Calibration::scale() const {
    return std::sqrt(std::fabs(map.xx * map.yy - map.xy * map.yx));
}

double Calibration::rotationDegrees() const {
    // The model's screen is the image with y turned upward, as the eye sees it: the angle
    // of the mapped x axis there is the turn seen on the image.
    return std::atan2(map.yx, map.xx) / kRadian;
}

double Calibration::anisotropy() const {
    // Singular values of a 2 × 2 matrix from its Frobenius norm and determinant.
    const double f = map.xx * map.xx + map.xy * map.xy + map.yx * map.yx + map.yy * map.yy;
    const double det = std::fabs(map.xx * map.yy - map.xy * map.yx);
    const double root = std::sqrt(std::max(0.0, f * f / 4 - det * det));
    const double large = std::sqrt(f / 2 + root);
    const double small = std::sqrt(std::max(0.0, f / 2 - root));
    return small > 0 ? large / small - 1 : 0;
}

views::PlaneMap domainMap(const views::Domain& domain, const views::PointGroup& group) {
    const views::PlaneMap turn = views::rotation(domain.rotationDegrees * kRadian);
    if (domain.mirrored && group.mirrorLine) {
        return turn * views::mirror(*group.mirrorLine);
    }
    return turn;
}

PatternModel::PatternModel(const engine::SubstrateCell& substrate,
                           std::optional<views::Vec2> fixedCentre, bool affine,
                           std::vector<views::PlaneMap> domainMaps)
    : m_substrate(substrate),
      m_substrateReciprocal(views::substrateBasis(substrate).reciprocal()),
      m_fixedCentre(fixedCentre),
      m_affine(affine),
      m_domainMaps(std::move(domainMaps)) {}

std::vector<double> PatternModel::pack(const Calibration& c,
                                       const std::optional<CellParameters>& cell) const {
    std::vector<double> p;
    if (!m_fixedCentre) {
        p = {c.centre.x, c.centre.y};
    }
    if (m_affine) {
        p.insert(p.end(), {c.map.xx, c.map.xy, c.map.yx, c.map.yy});
    } else {
        // The turn-and-scale part of the map: (a −b; b a).
        p.insert(p.end(), {(c.map.xx + c.map.yy) / 2, (c.map.yx - c.map.xy) / 2});
    }
    if (cell) {
        p.insert(p.end(), {cell->b1, cell->b2, cell->beta, cell->azimuth});
    }
    return p;
}

Calibration PatternModel::calibrationOf(std::span<const double> p) const {
    Calibration c;
    std::size_t i = 0;
    if (m_fixedCentre) {
        c.centre = *m_fixedCentre;
    } else {
        c.centre = {p[0], p[1]};
        i = 2;
    }
    if (m_affine) {
        c.map = {p[i], p[i + 1], p[i + 2], p[i + 3]};
    } else {
        c.map = {p[i], -p[i + 1], p[i + 1], p[i]};
    }
    return c;
}

std::size_t PatternModel::cellOffset() const {
    return (m_fixedCentre ? 0 : 2) + (m_affine ? 4 : 2);
}

CellParameters PatternModel::cellOf(std::span<const double> p) const {
    const std::size_t i = cellOffset();
    return {p[i], p[i + 1], p[i + 2], p[i + 3]};
}

std::vector<double> PatternModel::steps(std::span<const double> p) const {
    std::vector<double> s(p.size());
    const Calibration c = calibrationOf(p);
    const std::size_t cell = cellOffset();
    for (std::size_t i = 0; i < p.size(); ++i) {
        if (i < cell) {
            // Centre in screen units, map entries in screen units per 1/Angstrom.
            s[i] = 1e-6 * std::max(1.0, c.scale());
        } else if (i < cell + 2) {
            s[i] = 1e-7 * std::max(1.0, std::fabs(p[i]));
        } else {
            s[i] = 1e-6;  // degrees
        }
    }
    return s;
}

views::Basis2 PatternModel::reciprocalOf(int domain, const CellParameters& cell) const {
    if (domain < 0) {
        return m_substrateReciprocal;
    }
    const views::Basis2 real =
        views::overlayerBasis({m_substrate, cell.b1, cell.b2, cell.beta, cell.azimuth});
    return views::mapped(real, m_domainMaps[static_cast<std::size_t>(domain)]).reciprocal();
}

void PatternModel::residuals(std::span<const double> p, std::span<const views::Vec2> screen,
                             std::span<const SpotIndex> indices, std::vector<double>& out) const {
    const Calibration c = calibrationOf(p);
    const bool hasCell = p.size() > cellOffset();
    std::vector<views::Basis2> bases;
    if (hasCell) {
        const CellParameters cell = cellOf(p);
        for (std::size_t d = 0; d < m_domainMaps.size(); ++d) {
            bases.push_back(reciprocalOf(static_cast<int>(d), cell));
        }
    }
    out.resize(2 * indices.size());
    for (std::size_t i = 0; i < indices.size(); ++i) {
        const SpotIndex& s = indices[i];
        const views::Basis2& basis =
            s.domain < 0 ? m_substrateReciprocal : bases[static_cast<std::size_t>(s.domain)];
        const views::Vec2 predicted = c.toScreen(basis.at(s.h, s.k));
        out[2 * i] = screen[s.spot].x - predicted.x;
        out[2 * i + 1] = screen[s.spot].y - predicted.y;
    }
}

}  // namespace lamivex::fit
