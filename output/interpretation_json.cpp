#include "output/interpretation_json.h"

#include <optional>
#include <string>

namespace lamivex::output {
namespace {

void optionalString(JsonWriter& json, std::string_view key, const std::optional<std::string>& s) {
    if (s) {
        json.string(key, *s);
    } else {
        json.null(key);
    }
}

}  // namespace

void writeInterpretationJson(JsonWriter& json, const engine::Interpretation& i) {
    json.beginObject("interpretation");
    json.string("type", engine::typeName(i.type()));
    if (const std::optional<engine::IntMatrix2> m = i.integerMatrix()) {
        writeMatrixJson(json, "matrix_integer", *m);
    } else {
        json.null("matrix_integer");
    }
    const engine::PointOnLine* line = i.pointOnLine();
    if (line != nullptr && line->column != 0) {
        json.integer("point_on_line_column", line->column);
    } else {
        json.null("point_on_line_column");
    }
    if (line != nullptr) {
        json.beginArray("point_on_line_rows");
        json.integer({}, line->h);
        json.integer({}, line->k);
        json.endArray();
    } else {
        json.null("point_on_line_rows");
    }
    if (const std::optional<engine::Supercell> s = i.supercell()) {
        json.beginObject("supercell");
        json.integer("b1_multiple", s->b1Multiple);
        json.integer("b2_multiple", s->b2Multiple);
        writeMatrixJson(json, "matrix", s->matrix);
        json.endObject();
    } else {
        json.null("supercell");
    }
    optionalString(json, "wood", i.wood());
    if (i.name) {
        json.number("wood_rotation", i.name->rotation);
    } else {
        json.null("wood_rotation");
    }
    json.beginArray("other_domains");
    if (i.name) {
        for (const std::string& other : i.name->otherDomains) {
            json.string({}, other);
        }
    }
    json.endArray();
    if (i.equivalent) {
        json.beginObject("equivalent_orientation");
        json.number("angle", i.equivalent->angle);
        json.number("substrate_rotation", i.equivalent->rotation);
        json.endObject();
    } else {
        json.null("equivalent_orientation");
    }
    if (i.type() == engine::EpitaxyType::None) {
        json.null("nearest");
        json.null("misfit_percent");
    } else {
        json.beginObject("nearest");
        json.integer("b1_multiple", i.b1Multiple);
        json.integer("b2_multiple", i.b2Multiple);
        writeMatrixJson(json, "matrix", i.nearestMatrix);
        optionalString(json, "wood", i.nearestWood);
        json.boolean("within_misfit_limit", !i.coincidenceBeyondLimit());
        json.endObject();
        json.beginArray("misfit_percent");
        for (const std::optional<double>& e : i.misfitPercent) {
            if (e) {
                json.number({}, *e);
            } else {
                json.null({});
            }
        }
        json.endArray();
    }
    json.number("coincidence_misfit_limit_percent", i.coincidenceMisfit);
    json.number("area_ratio", i.areaRatio);
    json.string("summary", i.summary());
    json.endObject();
}

}  // namespace lamivex::output
