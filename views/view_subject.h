#pragma once
// What a view shows of a run: the lattices as captured, the azimuth, the supercell's
// multiples and the domain. From the best orientation of a completed scan, or from any
// angle of it, as the graph window offers.

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

}  // namespace lamivex::views
