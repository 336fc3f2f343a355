#include "output/view_output.h"

#include <algorithm>
#include <vector>

#include <fmt/ostream.h>

#include "numbers/number_text.h"
#include "output/interpretation_json.h"
#include "output/view_pictures.h"

namespace lamivex::output {
namespace {

void vectorJson(JsonWriter& json, std::string_view key, views::Vec2 v) {
    json.beginArray(key);
    json.number({}, v.x);
    json.number({}, v.y);
    json.endArray();
}

void basisJson(JsonWriter& json, std::string_view key, const views::Basis2& basis,
               const char* first, const char* second) {
    json.beginObject(key);
    vectorJson(json, first, basis.v1);
    vectorJson(json, second, basis.v2);
    json.endObject();
}

void subjectJson(JsonWriter& json, const views::ViewSubject& subject) {
    json.number("angle", subject.lattices.angle);
    json.integer("b1_multiple", subject.b1Multiple);
    json.integer("b2_multiple", subject.b2Multiple);
    writeMatrixJson(json, "matrix", views::matrixOf(subject.substrate(), subject.overlayer()));
}

// A matrix in plain decimals: "(1.000 0.000; -0.000 1.000)".
std::string plainMatrix(double m11, double m12, double m21, double m22) {
    using numbers::formatFixed;
    return fmt::format("({} {}; {} {})", formatFixed(m11, 3), formatFixed(m12, 3),
                       formatFixed(m21, 3), formatFixed(m22, 3));
}

}  // namespace

void writeRealSpaceJson(JsonWriter& json, const views::ViewSubject& subject,
                        const views::RealSpaceScene& scene) {
    subjectJson(json, subject);
    basisJson(json, "substrate", scene.substrate, "a1", "a2");
    json.string("substrate_kind", views::kindName(views::pointGroupOf(scene.substrate).kind));
    json.number("spacing", scene.spacing);
    basisJson(json, "overlayer", scene.overlayer, "b1", "b2");
    if (scene.hasSupercell) {
        basisJson(json, "supercell", scene.supercell, "b1", "b2");
    } else {
        json.null("supercell");
    }
    json.boolean("cropped", scene.cropped);
    json.integer("substrate_sites", static_cast<long long>(scene.substrateSites.size()));
    json.number("largest_registry", scene.largestRegistry);
    json.beginArray("points");
    for (const views::OverlayerSite& s : scene.overlayerSites) {
        json.beginObject();
        json.integer("p", s.p);
        json.integer("q", s.q);
        json.number("x", s.position.x);
        json.number("y", s.position.y);
        json.number("registry", s.registry);
        json.endObject();
    }
    json.endArray();
}

void writeRealSpaceText(std::ostream& out, const views::ViewSubject& subject,
                        const views::RealSpaceScene& scene) {
    double sum = 0;
    for (const views::OverlayerSite& s : scene.overlayerSites) {
        sum += s.registry;
    }
    const auto count = static_cast<double>(std::max<std::size_t>(1, scene.overlayerSites.size()));
    fmt::print(out,
               "Real space at {}° (b1 x {}, b2 x {}): {} overlayer points on {} substrate "
               "sites{}\n",
               numbers::formatFixed2(subject.lattices.angle), subject.b1Multiple,
               subject.b2Multiple, scene.overlayerSites.size(), scene.substrateSites.size(),
               scene.cropped ? ", the middle of the domain" : "");
    fmt::print(out, "  Registry: largest {:.3f}, mean {:.3f} substrate spacings ({:.4g} Å)\n",
               scene.largestRegistry, sum / count, scene.spacing);
}

void writeLeedJson(JsonWriter& json, const views::ViewSubject& subject,
                   const views::LeedPattern& pattern, std::size_t orientations) {
    subjectJson(json, subject);
    json.number("energy_ev", pattern.energyEv);
    json.number("k0", pattern.k0);
    json.string("substrate_kind", views::kindName(pattern.group.kind));
    json.integer("orientations", static_cast<long long>(orientations));
    json.beginArray("domains");
    for (const views::Domain& d : pattern.domains) {
        json.beginObject();
        json.number("rotation_deg", d.rotationDegrees);
        json.boolean("mirrored", d.mirrored);
        writeMatrixJson(json, "matrix", d.matrix);
        json.endObject();
    }
    json.endArray();
    json.beginArray("spots");
    for (const views::LeedSpot& s : pattern.spots) {
        json.beginObject();
        json.string("source", views::sourceName(s.source));
        writeSpotIndexJson(json, s.domain, s.h, s.k);
        if (s.source == views::SpotSource::Multiple) {
            json.integer("substrate_h", s.sh);
            json.integer("substrate_k", s.sk);
        }
        json.number("kx", s.g.x);
        json.number("ky", s.g.y);
        json.endObject();
    }
    json.endArray();
}

void writeLeedText(std::ostream& out, const views::LeedPattern& pattern, std::size_t orientations,
                   bool multipleScattering) {
    std::vector<int> spots(pattern.domains.size());
    int substrateSpots = 0;
    int multiple = 0;
    for (const views::LeedSpot& s : pattern.spots) {
        if (s.source == views::SpotSource::Substrate) {
            ++substrateSpots;
        } else if (s.source == views::SpotSource::Overlayer) {
            ++spots[static_cast<std::size_t>(s.domain)];
        } else {
            ++multiple;
        }
    }
    fmt::print(out,
               "LEED pattern at {:g} eV (k0 = {:.3f} 1/Å), {} substrate: {} orientations, "
               "{} distinct {}\n",
               pattern.energyEv, pattern.k0, views::kindName(pattern.group.kind), orientations,
               pattern.domains.size(), pattern.domains.size() == 1 ? "domain" : "domains");
    fmt::print(out, "  Substrate: {} spots\n", substrateSpots);
    for (std::size_t d = 0; d < pattern.domains.size(); ++d) {
        const engine::Matrix2& m = pattern.domains[d].matrix;
        fmt::print(out, "  Domain {}: {}, matrix {}, {} spots\n", d + 1,
                   domainLabel(pattern.domains[d]), plainMatrix(m.m11, m.m12, m.m21, m.m22),
                   spots[d]);
    }
    if (multipleScattering) {
        fmt::print(out, "  Double diffraction: {} spots\n", multiple);
    }
}

void writeSpotIndexJson(JsonWriter& json, int domain, int h, int k) {
    if (domain < 0) {
        json.null("domain");
    } else {
        json.integer("domain", domain);
    }
    json.integer("h", h);
    json.integer("k", k);
}

}  // namespace lamivex::output
