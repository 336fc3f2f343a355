#pragma once
// The LEED pattern of an overlayer on a substrate at normal incidence: the spots G of the
// substrate's and of each overlayer domain's reciprocal lattice (a_i · a_j* = 2π δ_ij) with
// |G| ≤ k0, the electron's wave vector at the energy, and optionally the spots of double
// diffraction G_s + G_o. Spots are given as (kx, ky) in 1/Angstrom, x along the substrate a1.

#include <vector>

#include "views/domains.h"

namespace lamivex::views {

inline constexpr double kDefaultEnergyEv = 60;

// k0 = √(2 m_e E) / ħ in 1/Angstrom: 0.5123 × √(E / eV).
[[nodiscard]] double electronWaveVector(double energyEv);

struct LeedOptions {
    double energyEv = kDefaultEnergyEv;
    bool allDomains = true;  // false: the overlayer as it lies, one domain
    bool mirrors = true;     // the mirrored domains too, where the substrate has mirror lines
    bool multipleScattering = false;
};

enum class SpotSource { Substrate, Overlayer, Multiple };
[[nodiscard]] const char* sourceName(SpotSource source);  // "substrate", "overlayer", "multiple"

struct LeedSpot {
    SpotSource source = SpotSource::Substrate;
    int domain = -1;  // index into the pattern's domains; -1 for substrate spots
    // G = h·v1* + k·v2* of the substrate (substrate spots) or of the domain's overlayer;
    // a multiple-scattering spot is the overlayer's (h, k) plus the substrate's (sh, sk).
    int h = 0;
    int k = 0;
    int sh = 0;
    int sk = 0;
    Vec2 g;
};

struct LeedPattern {
    double energyEv = 0;
    double k0 = 0;
    PointGroup group;
    std::vector<Domain> domains;
    std::vector<LeedSpot> spots;  // substrate, then each domain's, then multiple scattering
};

// The most spots a pattern may have; more is refused (std::invalid_argument) with a message
// that asks for a lower energy.
inline constexpr std::size_t kMaxSpots = 2'000'000;

// The spots h·v1* + k·v2* of reciprocal with |G| ≤ k0, ordered by h, then k.
struct LatticeSpot {
    int h = 0;
    int k = 0;
    Vec2 g;
};
[[nodiscard]] std::vector<LatticeSpot> spotsWithin(const Basis2& reciprocal, double k0);

// Throws std::invalid_argument for an energy that is not above 0 or a pattern above kMaxSpots.
[[nodiscard]] LeedPattern leedPattern(const Basis2& substrate, const Basis2& overlayer,
                                      const LeedOptions& options);

}  // namespace lamivex::views
