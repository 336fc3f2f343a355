#pragma once
// One stored lattice of the structure database and the rules the windows and the command
// line share when they turn field texts into a record and a record back into field texts.
// Lengths in Angstroms, angles in degrees.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lamivex::database {

enum class TableKind { Substrate, Overlayer };

// Table and field names of one kind, as they stand in the file.
struct TableNames {
    std::string_view table;    // "Substrate" / "Overlayer"; the name field has the same name
    std::string_view length1;  // "a1" / "b1"
    std::string_view length2;  // "a2" / "b2"
    std::string_view angle;    // "alpha" / "beta"
};

[[nodiscard]] const TableNames& tableNames(TableKind kind);

struct StructureRecord {
    std::string name;
    double length1 = 0;                // a1 or b1, Angstroms
    double length2 = 0;                // a2 or b2, Angstroms
    double angle = 0;                  // alpha (a1 to a2) or beta (b1 to b2), degrees
    std::optional<std::string> Notes;  // null when the record has no comments
    std::int64_t rowId = 0;  // where the record stands in its table; 0 for a record not yet stored

    friend bool operator==(const StructureRecord&, const StructureRecord&) = default;
};

// The field texts a pick writes into the main window: the name as stored, the numbers in
// their plain general form (as many digits as the value needs, at most 15).
struct LatticeFieldTexts {
    std::string name;
    std::string length1;
    std::string length2;
    std::string angle;
};

[[nodiscard]] LatticeFieldTexts fieldTextsOf(const StructureRecord& record);

// A record from the main window's texts, checked by the fields' own entry rules: lengths
// numbers within the single-precision range, the angle below 360 in magnitude, the name not
// empty and, like the comments, valid UTF-8; and by the lattice rules every run applies
// (numbers/lattice_rules.h): lengths from 0.001 to 1e5 Angstroms, the angle not within 0.057
// degrees of 0 or 180. Throws numbers::InputError naming the field ("a1", "beta", "name",
// "notes", ...) otherwise.
[[nodiscard]] StructureRecord recordFromTexts(TableKind kind, std::string_view name,
                                              std::string_view length1, std::string_view length2,
                                              std::string_view angle,
                                              std::optional<std::string> notes);

// What the comment box shows for a record: its Notes, or for a record without comments the
// empty text (substrate) or a single blank (overlayer). Saving that record again stores
// exactly the text shown.
[[nodiscard]] std::string notesForDisplay(TableKind kind, const std::optional<std::string>& notes);

}  // namespace lamivex::database
