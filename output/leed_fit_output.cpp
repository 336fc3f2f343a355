#include "output/leed_fit_output.h"

#include <string>

#include <fmt/format.h>

#include "output/json_writer.h"
#include "output/view_output.h"

namespace lamivex::output {
namespace {

std::string matrixText(const engine::IntMatrix2& m) {
    return fmt::format("{} {} {} {}", m.m11, m.m12, m.m21, m.m22);
}

}  // namespace

void writeLeedFitJson(std::ostream& out, const LeedFitReport& report) {
    const fit::LeedFit& f = report.fit;
    const std::span<const fit::Spot> spots = report.spots;
    JsonWriter json;
    json.beginObject();
    json.number("b1", f.cell.b1);
    json.number("b1_sigma", f.sigma.b1);
    json.number("b2", f.cell.b2);
    json.number("b2_sigma", f.sigma.b2);
    json.number("beta", f.cell.beta);
    json.number("beta_sigma", f.sigma.beta);
    json.number("azimuth", f.cell.azimuth);
    json.number("azimuth_sigma", f.sigma.azimuth);
    json.number("rms_residual", f.rmsResidual);
    json.number("rms_residual_pixels", f.rmsResidualScreen);
    json.beginObject("calibration");
    json.number("centre_x", f.centre.x);
    json.number("centre_y", f.centre.y);
    json.number("scale", f.calibration.scale());
    json.number("rotation", f.calibration.rotationDegrees());
    json.number("anisotropy", f.calibration.anisotropy());
    json.endObject();
    json.beginArray("domains");
    for (const views::Domain& d : f.domains) {
        json.beginObject();
        json.number("rotation_deg", d.rotationDegrees);
        json.boolean("mirrored", d.mirrored);
        json.endObject();
    }
    json.endArray();
    json.beginArray("spots");
    for (std::size_t i = 0; i < f.spots.size(); ++i) {
        const fit::SpotResult& s = f.spots[i];
        json.beginObject();
        json.number("x", spots[i].x);
        json.number("y", spots[i].y);
        json.string("kind", fit::kindName(spots[i].kind));
        json.string("assignment", fit::assignmentName(s.assignment));
        if (s.assignment == fit::Assignment::Unexplained) {
            json.null("domain");
            json.null("h");
            json.null("k");
            json.null("residual");
            json.null("residual_pixels");
        } else {
            writeSpotIndexJson(json, s.domain, s.h, s.k);
            json.number("residual", s.residual);
            json.number("residual_pixels", s.residualScreen);
        }
        json.endObject();
    }
    json.endArray();
    json.beginArray("missing");
    for (const fit::MissingSpot& m : f.missing) {
        json.beginObject();
        json.integer("domain", m.domain);
        json.integer("h", m.h);
        json.integer("k", m.k);
        json.number("x", m.position.x);
        json.number("y", m.position.y);
        json.endObject();
    }
    json.endArray();
    json.beginArray("candidates");
    for (const fit::CommensurateCandidate& c : f.candidates) {
        json.beginObject();
        json.beginArray("matrix");
        json.integer({}, c.matrix.m11);
        json.integer({}, c.matrix.m12);
        json.integer({}, c.matrix.m21);
        json.integer({}, c.matrix.m22);
        json.endArray();
        if (c.name) {
            json.string("name", *c.name);
        } else {
            json.null("name");
        }
        json.number("distance_sigma", c.distance);
        json.endObject();
    }
    json.endArray();
    json.beginArray("alternatives");
    for (const fit::AlternativeCell& a : f.alternatives) {
        json.beginObject();
        json.number("b1", a.cell.b1);
        json.number("b2", a.cell.b2);
        json.number("beta", a.cell.beta);
        json.number("azimuth", a.cell.azimuth);
        json.integer("domains", static_cast<long long>(a.domains));
        json.integer("explained", static_cast<long long>(a.explained));
        json.integer("missing", static_cast<long long>(a.missing));
        json.number("area_ratio", a.areaRatio);
        json.endObject();
    }
    json.endArray();
    json.beginObject("interpretation");
    json.string("type", engine::typeName(f.interpretation.type()));
    if (const std::optional<std::string> wood = f.interpretation.wood()) {
        json.string("wood", *wood);
    } else {
        json.null("wood");
    }
    json.string("summary", f.interpretation.summary());
    json.endObject();
    json.beginArray("notes");
    for (const std::string& n : f.notes) {
        json.string({}, n);
    }
    json.endArray();
    if (const std::optional<FoundSpotsSummary>& found = report.image) {
        json.beginObject("image");
        json.integer("width", found->width);
        json.integer("height", found->height);
        json.integer("spots_found", static_cast<long long>(found->spotsFound));
        json.number("threshold", found->threshold);
        json.number("noise", found->noise);
        json.endObject();
    }
    json.endObject();
    out << json.text() << '\n';
}

void writeLeedFitText(std::ostream& out, const LeedFitReport& report) {
    const fit::LeedFit& f = report.fit;
    const std::size_t spotCount = report.spots.size();
    if (const std::optional<FoundSpotsSummary>& found = report.image) {
        out << fmt::format(
            "{} spots found on the {} × {} image above {:.4g} grey levels (noise {:.3g})\n",
            found->spotsFound, found->width, found->height, found->threshold, found->noise);
    }
    out << fmt::format(
        "b1 = {:.4f} ± {:.4f} Å, b2 = {:.4f} ± {:.4f} Å, beta = {:.3f} ± {:.3f}°, "
        "azimuth = {:.3f} ± {:.3f}°\n",
        f.cell.b1, f.sigma.b1, f.cell.b2, f.sigma.b2, f.cell.beta, f.sigma.beta, f.cell.azimuth,
        f.sigma.azimuth);
    out << fmt::format(
        "{} domains; {} of {} spots indexed ({} substrate, {} overlayer), {} unexplained, "
        "{} predicted spots not seen\n",
        f.domains.size(), f.substrateCount + f.overlayerCount, spotCount, f.substrateCount,
        f.overlayerCount, f.unexplained.size(), f.missing.size());
    out << fmt::format(
        "RMS residual {:.4g} 1/Å ({:.3g} pixels); centre ({:.2f}, {:.2f}), scale {:.4g} "
        "pixels per 1/Å\n",
        f.rmsResidual, f.rmsResidualScreen, f.centre.x, f.centre.y, f.calibration.scale());
    if (f.candidates.empty()) {
        out << fmt::format("No commensurate matrix lies within the uncertainties\n");
    }
    for (const fit::CommensurateCandidate& c : f.candidates) {
        out << fmt::format("Matrix ({}) {} at {:.2f} standard uncertainties\n",
                           matrixText(c.matrix), c.name.value_or("(no name)"), c.distance);
    }
    out << fmt::format("Interpretation: {}\n", f.interpretation.summary());
    for (const std::string& n : f.notes) {
        out << fmt::format("Note: {}\n", n);
    }
}

}  // namespace lamivex::output
