#include "database/structure_record.h"

#include <cmath>

#include <fmt/format.h>

#include "engine/input_error.h"
#include "engine/number_text.h"

namespace lamivex::database {
namespace {

constexpr TableNames kSubstrateNames{"Substrate", "a1", "a2", "alpha"};
constexpr TableNames kOverlayerNames{"Overlayer", "b1", "b2", "beta"};

double lengthFrom(std::string_view field, std::string_view text) {
    const engine::Parsed<double> parsed = engine::toDouble(text);
    if (!parsed.ok() || !std::isfinite(parsed.value)) {
        engine::failInput(std::string(field), fmt::format("'{}' is not a number", text));
    }
    return parsed.value;
}

}  // namespace

const TableNames& tableNames(TableKind kind) {
    return kind == TableKind::Substrate ? kSubstrateNames : kOverlayerNames;
}

LatticeFieldTexts fieldTextsOf(const StructureRecord& record) {
    return {record.name, engine::formatDouble(record.length1), engine::formatDouble(record.length2),
            engine::formatDouble(record.angle)};
}

StructureRecord recordFromTexts(TableKind kind, std::string_view name, std::string_view length1,
                                std::string_view length2, std::string_view angle,
                                std::optional<std::string> notes) {
    const TableNames& names = tableNames(kind);
    if (name.empty()) {
        engine::failInput("name", fmt::format("a {} needs a name", names.table));
    }
    StructureRecord record;
    record.name = std::string(name);
    record.length1 = lengthFrom(names.length1, length1);
    record.length2 = lengthFrom(names.length2, length2);
    record.angle = lengthFrom(names.angle, angle);
    // The angle fields accept magnitudes below a full turn only.
    if (!(std::fabs(record.angle) < 360)) {
        engine::failInput(std::string(names.angle),
                          fmt::format("'{}' is not an angle below 360 degrees", angle));
    }
    record.Notes = std::move(notes);
    return record;
}

std::string notesForDisplay(TableKind kind, const std::optional<std::string>& notes) {
    if (notes) {
        return *notes;
    }
    return kind == TableKind::Substrate ? std::string() : std::string(" ");
}

}  // namespace lamivex::database
