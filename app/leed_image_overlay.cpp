#include "app/leed_image_overlay.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "output/view_pictures.h"

namespace lamivex::app {
namespace {

constexpr double kDegree = std::numbers::pi / 180;
// Share of the shorter side the Ewald sphere's radius first takes on a loaded image.
constexpr double kOpeningReach = 0.45;
// A measured spot's ring, as a share of the width shown: a few screen pixels.
constexpr double kRingShare = 0.01;

constexpr output::Rgb kMeasured{255, 200, 0};
constexpr output::Rgb kUnexplained{220, 0, 0};
constexpr output::Rgb kCentre{0, 160, 0};
// The substrate's spots in white: the image is dark where no spot is.
constexpr output::Rgb kSubstrate = output::kWhite;

}  // namespace

output::Point ImagePlacement::onImage(views::Vec2 g) const {
    const double c = std::cos(rotationDegrees * kDegree);
    const double s = std::sin(rotationDegrees * kDegree);
    // Turned counter-clockwise with y upward, then y turned downward as the image has it.
    return {centreX + scale * (c * g.x - s * g.y), centreY - scale * (s * g.x + c * g.y)};
}

ImagePlacement placementOf(const fit::LeedFit& fit) {
    return {fit.centre.x, fit.centre.y, fit.calibration.scale(), fit.calibration.rotationDegrees()};
}

ImagePlacement openingPlacement(int width, int height, double k0) {
    const double side = std::min(width, height);
    return {(width - 1) / 2.0, (height - 1) / 2.0, k0 > 0 ? kOpeningReach * side / k0 : 1, 0};
}

output::CoordinateSystem imageFrame(int width, int height, double zoom) {
    const double z = std::max(zoom, 1.0);
    const double midX = (width - 1) / 2.0;
    const double midY = (height - 1) / 2.0;
    const double halfWidth = width / 2.0 / z;
    const double halfHeight = height / 2.0 / z;
    return {midX - halfWidth, midY - halfHeight, midX + halfWidth, midY + halfHeight};
}

output::DisplayList imageOverlayPicture(const OverlayContent& content, double zoom) {
    const ShownImage& image = content.image;
    output::DisplayList list;
    list.coordinates = imageFrame(image.width, image.height, zoom);
    list.hasBackground = true;
    list.background = output::kBlack;
    list.items.emplace_back(output::GreyPicture{{-0.5, -0.5},
                                                {image.width - 0.5, image.height - 0.5},
                                                image.width,
                                                image.height,
                                                image.levels});
    const double ring = kRingShare * list.coordinates.width();
    const ImagePlacement& place = content.placement;

    const auto overlayerColour = [&content](int domain) {
        return content.oneColour ? output::kOneOverlayerColour : output::domainColour(domain);
    };
    for (const views::LeedSpot& s : content.pattern.spots) {
        switch (s.source) {
            case views::SpotSource::Substrate:
                list.addDisc(place.onImage(s.g), 0.45 * ring, kSubstrate);
                break;
            case views::SpotSource::Overlayer:
                list.addDisc(place.onImage(s.g), 0.3 * ring, overlayerColour(s.domain));
                break;
            case views::SpotSource::Multiple:
                list.addDisc(place.onImage(s.g), 0.3 * ring, overlayerColour(s.domain), false);
                break;
        }
    }

    const fit::LeedFit* fitted = content.fit;
    if (fitted != nullptr) {
        // Every order of the fitted pattern that falls on the part of the image shown.
        const fit::Calibration& c = fitted->calibration;
        const output::CoordinateSystem& cs = list.coordinates;
        double reach = 0;
        for (const double x : {cs.left, cs.right}) {
            for (const double y : {cs.top, cs.bottom}) {
                reach = std::max(reach, std::hypot(x - fitted->centre.x, y - fitted->centre.y));
            }
        }
        reach *= 1.02 / c.scale();
        const auto onImage = [&c](views::Vec2 g) {
            const fit::ScreenPoint p = fit::downward(c.toScreen(g));
            return output::Point{p.x, p.y};
        };
        for (const views::LatticeSpot& s :
             views::spotsWithin(views::substrateBasis(content.substrate).reciprocal(), reach)) {
            list.addDisc(onImage(s.g), 2.2 * ring, kSubstrate, false);
        }
        for (std::size_t d = 0; d < fitted->domains.size(); ++d) {
            for (const views::LatticeSpot& s :
                 views::spotsWithin(fitted->domains[d].overlayer.reciprocal(), reach)) {
                list.addDisc(onImage(s.g), 1.6 * ring, overlayerColour(static_cast<int>(d)), false);
            }
        }
    }
    for (std::size_t i = 0; i < content.spots.size(); ++i) {
        const bool unexplained = fitted != nullptr && i < fitted->spots.size() &&
                                 fitted->spots[i].assignment == fit::Assignment::Unexplained;
        list.addDisc({content.spots[i].x, content.spots[i].y}, ring,
                     unexplained ? kUnexplained : kMeasured, false);
    }
    if (fitted != nullptr) {
        list.addDisc({fitted->centre.x, fitted->centre.y}, 0.5 * ring, kCentre);
    }
    return list;
}

std::optional<std::size_t> spotNear(std::span<const fit::Spot> spots, double x, double y,
                                    double tolerance) {
    std::optional<std::size_t> nearest;
    double best = tolerance;
    for (std::size_t i = 0; i < spots.size(); ++i) {
        const double d = std::hypot(spots[i].x - x, spots[i].y - y);
        if (d <= best) {
            best = d;
            nearest = i;
        }
    }
    return nearest;
}

}  // namespace lamivex::app
