#include "api/scan.h"

#include <algorithm>
#include <charconv>
#include <thread>

#include "api/matrix_overlayer.h"
#include "engine/capture.h"
#include "engine/match_kernel.h"
#include "engine/rotation_scan.h"
#include "numbers/input_error.h"
#include "numbers/number_text.h"

namespace lamivex::api {
namespace {

// The one orientation of the matrix at its own angle.
ScanResult atMatrixAngle(const engine::MainFieldTexts& fields, const engine::Matrix2& matrix,
                         ScanResult out) {
    const MatrixOrientation at = orientationOfMatrix(fields, matrix);
    out.best = at.best;
    out.steps = 1;
    out.fields = at.run.fields;
    out.interpretation = engine::interpretBest(
        out.best, at.run, engine::InterpretOptions{out.registryTolerance, out.coincidenceMisfit});
    out.warnings =
        engine::symmetryNotes(engine::substrateCellOf(at.run), at.run.substrate.hexagonal);
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
    checkCoincidenceMisfit(request.coincidenceMisfit);
    const int threads = checkedThreads(request.threads);
    ResolvedFields resolved = resolveFields(request.lattice, locations);
    engine::MainFieldTexts fields = resolved.fields;
    ScanResult out;
    out.symmetryTaken = resolved.symmetryTaken;
    out.matrix = request.matrix;
    out.atAngle = request.atAngle;
    out.fast = request.fast;
    out.registryTolerance = request.registryTolerance;
    out.coincidenceMisfit = request.coincidenceMisfit;
    checkMatrixScanRequest(request.matrix.has_value(), request.atAngle,
                           request.lattice.overlayerOrRangeGiven());
    if (request.matrix) {
        checkMatrix(*request.matrix);
        if (request.atAngle) {
            refuseStepsOfOneOrientation(fields.chkgeo);
            return atMatrixAngle(fields, *request.matrix, std::move(out));
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
    out.interpretation = engine::interpretBest(
        out.best, run, engine::InterpretOptions{out.registryTolerance, out.coincidenceMisfit});
    out.warnings = engine::symmetryNotes(engine::substrateCellOf(run), run.substrate.hexagonal);
    out.table = stepRows(*shared);
    out.scan = std::move(shared);
    return out;
}

}  // namespace lamivex::api
