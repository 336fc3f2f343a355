#include "api/scan.h"

#include <algorithm>
#include <charconv>
#include <thread>

#include "engine/capture.h"
#include "engine/match_kernel.h"
#include "engine/rotation_scan.h"
#include "numbers/input_error.h"
#include "numbers/number_text.h"

namespace lamivex::api {
namespace {

// The fields with b1, b2, beta of the matrix's lattice on the fields' substrate and the azimuth
// range one spacing either side of the matrix's angle (the middle step lies on it).
engine::MainFieldTexts fieldsAroundMatrix(engine::MainFieldTexts fields,
                                          const engine::Matrix2& matrix) {
    const engine::CapturedRun run = engine::captureRun(fields);
    const engine::OverlayerFromMatrix o =
        engine::overlayerFromMatrix(matrix, engine::substrateCellOf(run));
    fields.b1 = numbers::formatDouble(o.b1);
    fields.b2 = numbers::formatDouble(o.b2);
    fields.beta = numbers::formatDouble(o.beta);
    // Step k lies at lower + k·spacing + 0.001: step 1 of 0..2 falls on the matrix's angle.
    const double spacing = run.settings.angleSpacing;
    const double start = o.azimuth - engine::kAngleOffset;
    fields.Lowerangle = numbers::formatDouble(start - spacing);
    fields.Upperangle = numbers::formatDouble(start + spacing);
    return fields;
}

// The one orientation of the matrix at its own angle, in double precision.
ScanResult orientationOfMatrix(const engine::MainFieldTexts& fields, const engine::Matrix2& matrix,
                               ScanResult out) {
    const engine::CapturedRun run = engine::captureRun(fields);
    const engine::SubstrateCell s = engine::substrateCellOf(run);
    const engine::OverlayerFromMatrix o = engine::overlayerFromMatrix(matrix, s);
    engine::ScanInputs check = engine::scanInputsFrom(run);
    check.b1 = o.b1;
    check.b2 = o.b2;
    check.beta = o.beta;
    engine::checkScanInputs(check);
    engine::PassGeometry g = engine::makePassGeometry(
        s.a1, s.a2, s.alpha, o.beta, o.b1, o.b2, run.substrate.hexagonal, 0,
        run.settings.angleSpacing, run.settings.b1Size, run.settings.b2Size);
    g.kernel = engine::KernelPath::Scalar;
    const engine::StepValues v = engine::computeOrientationAt(g, o.azimuth);
    out.best = {v.vvo, v.theta, v.m11, v.m12, v.m21, v.m22, 1, 1};
    out.steps = 1;
    out.fields = run.fields;
    out.interpretation = engine::interpretBest(out.best, run, out.registryTolerance);
    out.warnings = engine::symmetryNotes(s, run.substrate.hexagonal);
    out.bestAngle = shortestValue(out.best.BestAngle);
    return out;
}

std::vector<StepRow> stepRows(const engine::CompletedScan& scan) {
    std::vector<StepRow> rows(scan.AngleBestTable.size());
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const engine::AngleBestRow& r = scan.AngleBestTable[k];
        rows[k] = {shortestValue(scan.results.AzimuthAngles[k]),
                   r.minVVo,
                   static_cast<std::int32_t>(r.b1Multiple),
                   static_cast<std::int32_t>(r.b2Multiple),
                   r.m11,
                   r.m12,
                   r.m21,
                   r.m22};
    }
    return rows;
}

}  // namespace

double shortestValue(float single) {
    char text[32];
    const auto written = std::to_chars(std::begin(text), std::end(text), single);
    double value = single;
    std::from_chars(std::begin(text), written.ptr, value);
    return value;
}

ScanResult scan(const ScanRequest& request, const Progress& progress, const Abort& abort,
                const Locations& locations) {
    checkTolerance(request.registryTolerance);
    const int threads = checkedThreads(request.threads);
    ResolvedFields resolved = resolveFields(request.lattice, locations);
    engine::MainFieldTexts fields = resolved.fields;
    ScanResult out;
    out.symmetryTaken = resolved.symmetryTaken;
    out.matrix = request.matrix;
    out.atAngle = request.atAngle;
    out.fast = request.fast;
    out.registryTolerance = request.registryTolerance;
    if (request.atAngle && !request.matrix) {
        numbers::failInput("at-angle", "--at-angle goes with --matrix");
    }
    if (request.matrix) {
        if (request.lattice.overlayerOrRangeGiven()) {
            numbers::failInput("matrix",
                               "the matrix gives b1, b2, beta and the azimuth range: "
                               "leave out --b1, --b2, --beta, --lower and --upper");
        }
        checkMatrix(*request.matrix);
        if (request.atAngle) {
            if (fields.chkgeo) {
                numbers::failInput("at-angle",
                                   "one orientation has no report, plot, table or "
                                   "geometric search");
            }
            return orientationOfMatrix(fields, *request.matrix, std::move(out));
        }
        fields = fieldsAroundMatrix(fields, *request.matrix);
    }
    const engine::CapturedRun run = engine::captureRun(fields);
    engine::BestOrientation best;  // all zeros, as when the program starts
    engine::ScanInputs inputs = engine::scanInputsFrom(run);
    // The report carries V/Vo and the matrix to 15 digits: the reference arithmetic unless
    // speed is asked for.
    inputs.kernel = request.fast ? engine::KernelPath::Fast : engine::KernelPath::Scalar;
    inputs.threads =
        threads > 0 ? threads : static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
    engine::ScanCallbacks callbacks;
    const int passes = run.settings.maxMultiple * run.settings.maxMultiple;
    int passesStarted = 0;
    if (progress) {
        callbacks.passStarting = [&passesStarted](int, int, double, double) { ++passesStarted; };
        callbacks.progress = [&](int k, int lastAngleIndex) {
            const double inPass = lastAngleIndex > 0 ? static_cast<double>(k) / lastAngleIndex : 1;
            progress((std::max(passesStarted, 1) - 1 + inPass) / passes);
        };
    }
    if (abort) {
        callbacks.abortRequested = abort;
    }
    std::optional<engine::CompletedScan> completed =
        engine::runToCompletion(run, inputs, best, callbacks);
    if (!completed) {
        throw RunAborted();
    }
    auto shared = std::make_shared<const engine::CompletedScan>(std::move(*completed));
    out.steps = shared->results.stepCount();
    out.best = shared->best;
    out.bestAngle = shortestValue(out.best.BestAngle);
    out.geometric = run.settings.maxMultiple > 1;
    out.fields = run.fields;
    out.interpretation = engine::interpretBest(out.best, run, request.registryTolerance);
    out.warnings = engine::symmetryNotes(engine::substrateCellOf(run), run.substrate.hexagonal);
    out.table = stepRows(*shared);
    out.scan = std::move(shared);
    return out;
}

}  // namespace lamivex::api
