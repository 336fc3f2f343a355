#include "api/fit.h"

#include <cmath>

#include <fmt/format.h>

#include "api/file_error.h"
#include "api/painter.h"
#include "engine/capture.h"
#include "numbers/input_error.h"

namespace lamivex::api {
namespace {

void checkFinite(double value, const std::string& option) {
    if (!std::isfinite(value)) {
        numbers::failInput(option, fmt::format("'{}' is not a number", value));
    }
}

// In the order the command line refuses them, after the substrate.
void checkRequest(const LeedFitRequest& r) {
    if (r.options.centre) {
        checkFinite(r.options.centre->x, "centre");
        checkFinite(r.options.centre->y, "centre");
    }
    if (r.options.energyEv) {
        checkFinite(*r.options.energyEv, "energy");
        if (!(*r.options.energyEv > 0)) {
            numbers::failInput("energy", "must be greater than 0 eV");
        }
    }
    if (r.threshold && !r.image) {
        numbers::failInput("threshold", "needs --image");
    }
    if (r.image.has_value() == r.spots.has_value()) {
        numbers::failInput("image", "give either a spots file or --image FILE");
    }
}

fit::GreyImage readImage(const std::filesystem::path& path, const Locations& locations) {
    fit::GreyImage image;
    std::string error;
    if (!painterModule(locations, "image").readGreyImage(path, image, error)) {
        throw FileError("image", error);
    }
    return image;
}

}  // namespace

ImageSpots findImageSpots(const std::filesystem::path& image, std::optional<double> threshold,
                          const Locations& locations) {
    if (threshold) {
        checkFinite(*threshold, "threshold");
        if (!(*threshold > 0)) {
            numbers::failInput("threshold", "must be greater than 0 grey levels");
        }
    }
    fit::GreyImage picture = readImage(image, locations);
    fit::SpotFinding finding;
    finding.threshold = threshold;
    fit::SpotSearch search;
    try {
        search = fit::findSpots(picture, finding);
    } catch (const fit::FitError& error) {
        throw FileError("image", error.what());  // a file with no pixels
    }
    return ImageSpots{std::move(search), std::move(picture)};
}

LeedFitResult fitLeed(const LeedFitRequest& request, const Locations& locations) {
    const engine::CapturedRun run =
        engine::captureRun(resolveFields(request.lattice, locations).fields);
    checkRequest(request);
    LeedFitResult out;
    if (request.image) {
        out.image = findImageSpots(*request.image, request.threshold, locations);
        out.spots = fit::spotsOf(out.image->search);
    } else {
        out.spots = *request.spots;
    }
    out.fit = fit::fitLeed(out.spots, engine::substrateCellOf(run), request.options);
    return out;
}

}  // namespace lamivex::api
