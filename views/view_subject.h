#pragma once
// What a view shows of a run: the lattices as captured, the azimuth, the supercell's
// multiples and the domain. From the best orientation of a completed scan, or from any
// angle of it, as the graph window offers.

#include <array>
#include <string>

#include "engine/completed_scan.h"
#include "views/domains.h"
#include "views/real_space.h"

namespace lamivex::views {

struct ViewSubject {
    ViewLattices lattices;
    int b1Multiple = 1;
    int b2Multiple = 1;
    int m = 25;
    int n = 25;
    std::string substrateName;  // the names the run captured with its lattices
    std::string overlayerName;

    [[nodiscard]] Basis2 substrate() const { return substrateBasis(lattices.substrate); }
    [[nodiscard]] Basis2 overlayer() const { return overlayerBasis(lattices); }
    [[nodiscard]] RealSpaceOptions realSpaceOptions() const;
};

// The lattices of capture at angle (degrees), with multiples 1.
[[nodiscard]] ViewSubject subjectOf(const engine::CapturedRun& capture, double angle);

// At the scan's best orientation; multiples 1 where the run found none below 0.9999.
[[nodiscard]] ViewSubject subjectAtBest(const engine::CompletedScan& scan);

// At the step of the scan nearest angle, with that step's best multiples.
[[nodiscard]] ViewSubject subjectAtAngle(const engine::CompletedScan& scan, double angle);

// A trial lattice of an iteration run started from capture: constants (Angstroms, degrees,
// before any multiple) replace the overlayer's b1, b2, beta when the run iterates the
// overlayer, else the substrate's a1, a2, alpha; at angle with the trial's multiples.
[[nodiscard]] ViewSubject subjectOfTrial(const engine::CapturedRun& capture, bool overlayerIterated,
                                         const std::array<double, 3>& constants, double angle,
                                         int b1Multiple, int b2Multiple);

// The lattices and the angle, for a window's title: "PTCDA (12.45 × 19.3 Å, 90°) on
// Ag(111) (2.889 × 2.889 Å, 60°) at 19.11°".
[[nodiscard]] std::string subjectTitle(const ViewSubject& subject);

}  // namespace lamivex::views
