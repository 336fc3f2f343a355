#include "api/views.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <thread>

#include <fmt/format.h>

#include "api/matrix_overlayer.h"
#include "engine/capture.h"
#include "engine/completed_scan.h"
#include "engine/rotation_scan.h"
#include "numbers/input_error.h"
#include "numbers/lattice_rules.h"
#include "numbers/number_text.h"
#include "output/view_pictures.h"

namespace lamivex::api {
namespace {

int wholeValue(const std::string& option, double value, int low, int high) {
    if (!std::isfinite(value) || value != std::floor(value) || value < low || value > high) {
        numbers::failInput(option, fmt::format("must be a whole number from {} to {} (it is {})",
                                               low, high, numberText(value)));
    }
    return static_cast<int>(value);
}

// The lattices and orientation the picture shows: the matrix's, the angle given, or the best
// orientation of the scan the lattices describe.
views::ViewSubject subjectOf(const ViewRequest& request, const Locations& locations) {
    if (!(request.zoom >= 1) || request.zoom > 1000) {
        numbers::failInput(
            "zoom", fmt::format("must be from 1 to 1000 (it is {})", numberText(request.zoom)));
    }
    if (request.angle) {
        if (!std::isfinite(*request.angle)) {
            numbers::failInput("angle",
                               fmt::format("'{}' is not a number", numberText(*request.angle)));
        }
        if (const numbers::FieldVerdict verdict =
                numbers::checkAzimuth("The angle", *request.angle);
            !verdict.accepted) {
            numbers::failInput("angle", verdict.reason);
        }
    }
    views::ViewSubject subject =
        viewSubject(resolveFields(request.lattice, locations).fields, request.matrix, request.angle,
                    request.lattice.overlayerOrRangeGiven());
    if (request.b1Multiple) {
        subject.b1Multiple = wholeValue("b1-multiple", *request.b1Multiple, 1, 1000);
    }
    if (request.b2Multiple) {
        subject.b2Multiple = wholeValue("b2-multiple", *request.b2Multiple, 1, 1000);
    }
    return subject;
}

}  // namespace

views::ViewSubject viewSubject(const engine::MainFieldTexts& fields,
                               const std::optional<engine::Matrix2>& matrix,
                               std::optional<double> angle, bool overlayerOrRangeGiven) {
    views::ViewSubject subject;
    if (matrix) {
        if (overlayerOrRangeGiven) {
            numbers::failInput("matrix",
                               "the matrix gives b1, b2, beta and the angle: leave "
                               "out --b1, --b2, --beta, --lower and --upper");
        }
        checkMatrix(*matrix);
        const engine::CapturedRun run = engine::captureRun(fields);
        const engine::OverlayerFromMatrix o = checkedOverlayerOf(run, *matrix);
        subject = views::subjectOf(run, angle.value_or(o.azimuth));
        subject.lattices.b1 = o.b1;
        subject.lattices.b2 = o.b2;
        subject.lattices.beta = o.beta;
    } else if (angle) {
        const engine::CapturedRun run = engine::captureRun(fields);
        engine::checkScanInputs(engine::scanInputsFrom(run));  // what a run would refuse
        subject = views::subjectOf(run, *angle);
    } else {
        const engine::CapturedRun run = engine::captureRun(fields);
        engine::ScanInputs inputs = engine::scanInputsFrom(run);
        inputs.kernel = engine::KernelPath::Scalar;
        inputs.threads = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
        engine::BestOrientation best;
        const std::optional<engine::CompletedScan> scan =
            engine::runToCompletion(run, inputs, best);
        if (!scan || scan->best.BestB1Multiple < 1) {
            numbers::failInput("angle",
                               "no orientation of the scan has V/Vo below 0.9999: give "
                               "the angle to show with --angle");
        }
        subject = views::subjectAtBest(*scan);
    }
    return subject;
}

RealSpaceView viewRealSpace(const ViewRequest& request, const Locations& locations) {
    RealSpaceView out;
    out.subject = subjectOf(request, locations);
    out.scene = views::realSpaceScene(out.subject.substrate(), out.subject.overlayer(),
                                      out.subject.realSpaceOptions());
    out.caption =
        fmt::format("Real space at {}°", numbers::formatFixed2(out.subject.lattices.angle));
    out.picture = output::realSpacePicture(out.scene, {request.zoom, out.caption});
    out.matrix = views::matrixOf(out.subject.substrate(), out.subject.overlayer());
    return out;
}

LeedView viewLeed(const LeedRequest& request, const Locations& locations) {
    if (!(request.energyEv > 0) || !std::isfinite(request.energyEv)) {
        numbers::failInput("energy", fmt::format("the energy must be greater than 0 eV (it is {})",
                                                 numberText(request.energyEv)));
    }
    LeedView out;
    out.subject = subjectOf(request.view, locations);
    views::LeedOptions leed;
    leed.energyEv = request.energyEv;
    leed.allDomains = request.allDomains;
    leed.mirrors = request.mirrors;
    leed.multipleScattering = request.multipleScattering;
    try {
        out.pattern = views::leedPattern(out.subject.substrate(), out.subject.overlayer(), leed);
    } catch (const std::invalid_argument& e) {
        numbers::failInput("energy", e.what());
    }
    out.orientations =
        leed.allDomains ? views::orientationCount(out.subject.substrate(), leed.mirrors) : 1;
    out.caption =
        fmt::format("LEED at {}°, {:g} eV", numbers::formatFixed2(out.subject.lattices.angle),
                    out.pattern.energyEv);
    output::LeedPictureOptions picture;
    picture.zoom = request.view.zoom;
    picture.caption = out.caption;
    picture.oneColour = request.oneColour;
    out.picture = output::leedPicture(out.pattern, picture);
    out.matrix = views::matrixOf(out.subject.substrate(), out.subject.overlayer());
    return out;
}

}  // namespace lamivex::api
