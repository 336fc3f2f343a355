#include "synthetic_pattern.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace lamivex::testing {
namespace {

struct V {
    double x = 0;
    double y = 0;
};

V turned(V v, double degrees) {
    const double r = degrees * std::numbers::pi / 180;
    return {v.x * std::cos(r) - v.y * std::sin(r), v.x * std::sin(r) + v.y * std::cos(r)};
}

V polar(double length, double degrees) {
    return turned({length, 0}, degrees);
}

// u* = 2π (v_y, −v_x) / (u × v), v* = 2π (−u_y, u_x) / (u × v).
void reciprocal(V u, V v, V& us, V& vs) {
    const double c = u.x * v.y - u.y * v.x;
    const double f = 2 * std::numbers::pi / c;
    us = {f * v.y, -f * v.x};
    vs = {-f * u.y, f * u.x};
}

// The lattice's spots within radius, each place once, into out.
void addLattice(V u, V v, double radius, std::vector<V>& out, bool substrate,
                std::vector<bool>& isSubstrate) {
    V us;
    V vs;
    reciprocal(u, v, us, vs);
    const int reach = 40;
    for (int h = -reach; h <= reach; ++h) {
        for (int k = -reach; k <= reach; ++k) {
            const V g{h * us.x + k * vs.x, h * us.y + k * vs.y};
            const double length = std::hypot(g.x, g.y);
            if ((h == 0 && k == 0) || length > radius) {
                continue;
            }
            // The same place reached by two lattices, to the rounding of the cells' angles.
            const bool known = std::any_of(out.begin(), out.end(), [&](V p) {
                return std::hypot(p.x - g.x, p.y - g.y) < 1e-5;
            });
            if (!known) {
                out.push_back(g);
                isSubstrate.push_back(substrate);
            }
        }
    }
}

}  // namespace

SyntheticScreen makeScreen(const KnownPattern& p, const ScreenSettings& s) {
    std::mt19937 random(s.seed);
    std::uniform_real_distribution<double> unit(0, 1);
    const V a1{p.a, 0};
    const V a2 = polar(p.a, p.alpha);
    V a1s;
    V a2s;
    reciprocal(a1, a2, a1s, a2s);
    const double first = std::hypot(a1s.x, a1s.y);
    const double radius = p.radius * first;

    // The places out to a little beyond the radius, so that spurious spots near the rim keep
    // clear of places the fit may predict there too.
    std::vector<V> g;
    std::vector<bool> isSubstrate;
    addLattice(a1, a2, 1.2 * radius, g, true, isSubstrate);
    // The domains: the substrate's rotations and, with mirrors, the mirror y → −y across a1
    // (a mirror line of both the hexagonal and the square lattice) before each rotation.
    const int rotations = p.alpha == 90 ? 4 : 6;
    for (int mirrored = 0; mirrored <= (p.mirrors ? 1 : 0); ++mirrored) {
        for (int r = 0; r < rotations; ++r) {
            V b1 = polar(p.b1, p.azimuth);
            V b2 = polar(p.b2, p.azimuth + p.beta);
            if (mirrored == 1) {
                b1.y = -b1.y;
                b2.y = -b2.y;
            }
            addLattice(turned(b1, 360.0 * r / rotations), turned(b2, 360.0 * r / rotations),
                       1.2 * radius, g, false, isSubstrate);
        }
    }

    SyntheticScreen out;
    const double scale = (120 + 100 * unit(random)) / first;  // pixels per 1/Angstrom
    const double rotation = 360 * unit(random);
    out.centreX = 300 + 400 * unit(random);
    out.centreY = 300 + 400 * unit(random);
    out.firstOrder = scale * first;
    out.rotation = rotation;
    std::normal_distribution<double> noise(0, s.noise * out.firstOrder);

    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < g.size(); ++i) {
        if (std::hypot(g[i].x, g[i].y) <= radius) {
            order.push_back(i);
        }
    }
    std::shuffle(order.begin(), order.end(), random);
    order.resize(order.size() -
                 static_cast<std::size_t>(s.removed * static_cast<double>(order.size())));
    std::sort(order.begin(), order.end());
    for (const std::size_t i : order) {
        const V onScreen = turned({scale * g[i].x, scale * g[i].y}, rotation);
        fit::Spot spot{out.centreX + onScreen.x + noise(random),
                       out.centreY - onScreen.y + noise(random)};
        if (s.markSubstrate && isSubstrate[i]) {
            spot.kind = fit::SpotKind::Substrate;
        }
        out.spots.push_back(spot);
    }
    // Spurious spots a tenth of the first order away from every place of the pattern, so
    // that no fit can rightly explain them.
    for (int i = 0; i < s.spurious; ++i) {
        V v;
        bool clear = false;
        while (!clear) {
            v = turned(polar(scale * radius * std::sqrt(unit(random)), 360 * unit(random)), 0);
            clear = std::hypot(v.x, v.y) > 0.1 * out.firstOrder;
            for (const V& place : g) {
                const V q = turned({scale * place.x, scale * place.y}, rotation);
                clear = clear && std::hypot(q.x - v.x, q.y - v.y) > 0.1 * out.firstOrder;
            }
        }
        out.spuriousIndices.push_back(out.spots.size());
        out.spots.push_back({out.centreX + v.x, out.centreY - v.y});
    }
    return out;
}

}  // namespace lamivex::testing
