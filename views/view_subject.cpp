#include "views/view_subject.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <fmt/format.h>

#include "engine/interpretation.h"
#include "numbers/number_text.h"

namespace lamivex::views {
namespace {

int multipleOf(double value) {
    return value >= 1 ? static_cast<int>(std::lround(value)) : 1;
}

}  // namespace

RealSpaceOptions ViewSubject::realSpaceOptions() const {
    RealSpaceOptions options;
    options.m = m;
    options.n = n;
    options.b1Multiple = b1Multiple;
    options.b2Multiple = b2Multiple;
    return options;
}

ViewSubject subjectOf(const engine::CapturedRun& capture, double angle) {
    ViewSubject subject;
    subject.lattices.substrate = engine::substrateCellOf(capture);
    subject.lattices.b1 = engine::capturedValue(capture.overlayer.b1);
    subject.lattices.b2 = engine::capturedValue(capture.overlayer.b2);
    subject.lattices.beta = engine::capturedValue(capture.overlayer.beta);
    subject.lattices.angle = angle;
    subject.m = capture.settings.b1Size;
    subject.n = capture.settings.b2Size;
    subject.substrateName = capture.SubstrateName;
    subject.overlayerName = capture.OverlayerName;
    return subject;
}

ViewSubject subjectAtBest(const engine::CompletedScan& scan) {
    ViewSubject subject = subjectOf(scan.capture, scan.best.BestAngle);
    subject.b1Multiple = multipleOf(scan.best.BestB1Multiple);
    subject.b2Multiple = multipleOf(scan.best.BestB2Multiple);
    return subject;
}

ViewSubject subjectAtAngle(const engine::CompletedScan& scan, double angle) {
    ViewSubject subject = subjectOf(scan.capture, angle);
    const int last = scan.results.LastAngleIndex;
    int nearest = -1;
    for (int k = 0; k <= last && k < static_cast<int>(scan.AngleBestTable.size()); ++k) {
        const auto at = static_cast<std::size_t>(k);
        if (nearest < 0 ||
            std::fabs(scan.results.AzimuthAngles[at] - angle) <
                std::fabs(scan.results.AzimuthAngles[static_cast<std::size_t>(nearest)] - angle)) {
            nearest = k;
        }
    }
    if (nearest >= 0) {
        const engine::AngleBestRow& row = scan.AngleBestTable[static_cast<std::size_t>(nearest)];
        subject.b1Multiple = multipleOf(row.b1Multiple);
        subject.b2Multiple = multipleOf(row.b2Multiple);
    }
    return subject;
}

ViewSubject subjectOfTrial(const engine::CapturedRun& capture, bool overlayerIterated,
                           const std::array<double, 3>& constants, double angle, int b1Multiple,
                           int b2Multiple) {
    ViewSubject subject = subjectOf(capture, angle);
    if (overlayerIterated) {
        subject.lattices.b1 = constants[0];
        subject.lattices.b2 = constants[1];
        subject.lattices.beta = constants[2];
    } else {
        subject.lattices.substrate = {constants[0], constants[1], constants[2]};
    }
    subject.b1Multiple = std::max(1, b1Multiple);
    subject.b2Multiple = std::max(1, b2Multiple);
    return subject;
}

std::string subjectTitle(const ViewSubject& subject) {
    const ViewLattices& l = subject.lattices;
    return fmt::format(
        "{} ({:g} \u00d7 {:g} \u00c5, {:g}\u00b0) on {} ({:g} \u00d7 {:g} \u00c5, "
        "{:g}\u00b0) at {}\u00b0",
        subject.overlayerName, l.b1, l.b2, l.beta, subject.substrateName, l.substrate.a1,
        l.substrate.a2, l.substrate.alpha, numbers::formatFixed2(l.angle));
}

}  // namespace lamivex::views
