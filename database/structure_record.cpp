#include "database/structure_record.h"

#include <fmt/format.h>

#include "numbers/entry_rule.h"
#include "numbers/input_error.h"
#include "numbers/lattice_rules.h"
#include "numbers/number_text.h"
#include "numbers/text_safety.h"

namespace lamivex::database {
namespace {

constexpr TableNames kSubstrateNames{"Substrate", "a1", "a2", "alpha"};
constexpr TableNames kOverlayerNames{"Overlayer", "b1", "b2", "beta"};

// A value by the entry rule of its main-window field, stored as the text read as a double.
double valueFrom(std::string_view field, std::string_view text, numbers::EntryRule rule) {
    const numbers::FieldVerdict verdict = numbers::checkEntry(rule, text);
    if (!verdict.accepted) {
        numbers::failInput(std::string(field), verdict.reason);
    }
    return numbers::toDouble(text).value;
}

}  // namespace

const TableNames& tableNames(TableKind kind) {
    return kind == TableKind::Substrate ? kSubstrateNames : kOverlayerNames;
}

LatticeFieldTexts fieldTextsOf(const StructureRecord& record) {
    return {record.name, numbers::formatDouble(record.length1),
            numbers::formatDouble(record.length2), numbers::formatDouble(record.angle)};
}

StructureRecord recordFromTexts(TableKind kind, std::string_view name, std::string_view length1,
                                std::string_view length2, std::string_view angle,
                                std::optional<std::string> notes) {
    const TableNames& names = tableNames(kind);
    if (name.empty()) {
        numbers::failInput("name", fmt::format("a {} needs a name", names.table));
    }
    if (const numbers::FieldVerdict verdict = numbers::checkEntry(numbers::EntryRule::Name, name);
        !verdict.accepted) {
        numbers::failInput("name", verdict.reason);
    }
    if (notes && !numbers::isValidUtf8(*notes)) {
        numbers::failInput("notes", "the comments are not valid UTF-8 text");
    }
    StructureRecord record;
    record.name = std::string(name);
    // Lengths within the single-precision range, angles below a full turn: what the main
    // window's fields accept, so that a stored record can always be picked back; then the
    // lattice rules of every run.
    record.length1 = valueFrom(names.length1, length1, numbers::EntryRule::Single);
    record.length2 = valueFrom(names.length2, length2, numbers::EntryRule::Single);
    record.angle = valueFrom(names.angle, angle, numbers::EntryRule::Angle);
    // What every calculation refuses is not stored either: a record is there to be run.
    for (const auto& [field, verdict] :
         {std::pair{names.length1, numbers::checkLatticeLength(names.length1, record.length1)},
          std::pair{names.length2, numbers::checkLatticeLength(names.length2, record.length2)},
          std::pair{names.angle, numbers::checkCellAngle(
                                     names.angle, record.angle,
                                     kind == TableKind::Substrate ? "a1 and a2" : "b1 and b2")}}) {
        if (!verdict.accepted) {
            numbers::failInput(std::string(field), verdict.reason);
        }
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
