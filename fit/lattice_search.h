#pragma once
// The search for the overlayer's lattice among the spots that are not substrate orders:
// candidate reciprocal bases from short vectors between spots (and from the spots, since
// (0,0) belongs to every domain), each expanded into its domains under the substrate's point
// group and judged by the spots it explains against the spots it predicts that are not seen.

#include <span>
#include <vector>

#include "views/domains.h"
#include "views/plane.h"

namespace lamivex::fit {

struct SearchSettings {
    engine::SubstrateCell substrate;
    bool allDomains = true;
    bool mirrors = true;
    double tolerance = 0;  // 1/Angstrom: how far a spot may lie from its predicted place
    double radius = 0;     // 1/Angstrom: spots are expected out to this distance
};

// A spot indexed by one domain of a lattice: h·g1 + k·g2 of that domain's reciprocal basis.
struct DomainIndex {
    std::size_t spot = 0;  // into the spots the lattice was judged on
    int domain = 0;
    int h = 0;
    int k = 0;
    double distance = 0;  // 1/Angstrom
};

struct LatticeCandidate {
    std::vector<views::Domain> domains;  // the first is the cell as the search found it
    std::vector<DomainIndex> indexed;
    std::size_t predicted = 0;  // distinct places expected, (0,0) apart
    std::size_t found = 0;      // of those, how many have a spot
    double score = 0;           // explained spots − ½ × predicted spots not seen

    [[nodiscard]] std::size_t explained() const { return indexed.size(); }
    [[nodiscard]] std::size_t missing() const { return predicted - found; }
};

// The domains of the real-space cell under the settings, with images that give the same
// lattice within tolerance (relative) merged: a cell found with noise is a little off its
// symmetry, and its near-copies would split one domain into two.
[[nodiscard]] std::vector<views::Domain> fitDomains(const views::Basis2& real,
                                                    const SearchSettings& settings,
                                                    double tolerance = 0.01);

// Judges one real-space cell on the spots that are not substrate orders; allSpots (all of
// them) tell which of its places are seen. 1/Angstrom. Each pass but the last refines the
// cell on the spots it indexed; the first indexes with twice the tolerance.
[[nodiscard]] LatticeCandidate judgeLattice(const views::Basis2& real,
                                            std::span<const views::Vec2> spots,
                                            std::span<const views::Vec2> allSpots,
                                            const SearchSettings& settings, int passes = 3);

// Candidate cells from the spots, judged, distinct (no two the same lattice up to a domain),
// best first. Empty when no pair of vectors spans a lattice.
[[nodiscard]] std::vector<LatticeCandidate> searchLattices(std::span<const views::Vec2> spots,
                                                           std::span<const views::Vec2> allSpots,
                                                           const SearchSettings& settings);

// a before b: the higher score, then the fewer domains. Three domains of a (2×1) cell on a
// hexagonal substrate make the very spots of one (2×2) cell; the simpler account wins.
[[nodiscard]] bool betterCandidate(const LatticeCandidate& a, const LatticeCandidate& b);

// The same lattice described the way the fit reports it: of all domains and all bases with
// |b1| ≤ |b2| (equal within 1 %) and b1 to b2 counter-clockwise, the one with beta at most
// 90° where there is one, then with the smallest azimuth of b1 (taken modulo 180°).
[[nodiscard]] views::Basis2 canonicalCell(const std::vector<views::Domain>& domains);

// The azimuth of b1 from the substrate's a1 and beta from b1 to b2, degrees.
[[nodiscard]] double azimuthOf(const views::Basis2& real);
[[nodiscard]] double betaOf(const views::Basis2& real);

}  // namespace lamivex::fit
