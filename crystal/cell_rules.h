#pragma once
// The rules a crystal system imposes on the six cell fields, and the entry rules those
// fields apply when the user leaves them. Plain data and functions, so the window only
// binds controls to them and the command line applies the same rules.

#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "crystal/crystal_cell.h"
#include "crystal/crystal_system.h"
#include "numbers/rgb.h"

namespace lamivex::crystal {

inline constexpr std::string_view kInvalidDataMessage = "Invalid data";
inline constexpr std::string_view kDefaultLengthText = "10 ";  // one trailing blank
inline constexpr double kMaxAlphaDegrees = 360;

using numbers::Rgb;
inline constexpr Rgb kFixedFieldBackground{192, 192, 192};  // grey: disabled field
inline constexpr Rgb kFreeFieldBackground{255, 255, 255};   // white: editable field

// How one cell field looks and what choosing the system writes into it.
struct FieldRule {
    bool fixed = false;                       // fixed: disabled, grey; free: enabled, white
    std::optional<std::string_view> written;  // text written on selection; nullopt keeps the text

    [[nodiscard]] bool enabled() const { return !fixed; }
    [[nodiscard]] Rgb background() const {
        return fixed ? kFixedFieldBackground : kFreeFieldBackground;
    }
};

using SystemFieldRules = std::array<FieldRule, 6>;  // indexed in kCellFields order

[[nodiscard]] SystemFieldRules systemFieldRules(CrystalSystem system);
[[nodiscard]] FieldRule fieldRule(CrystalSystem system, CellField field);

// Selecting a system writes "10 " into a, b and c and the system's angle texts; angles
// marked "keep" hold what they showed. The window then unticks its result boxes.
void applySystemSelection(CrystalSystem system, CellFieldTexts& fields);

// The fields that take a copy of field's text when it is accepted: a into b and c
// (Cubic, Trigonal) or into b (Hexagonal, Tetragonal); alpha into beta and gamma (Trigonal).
[[nodiscard]] std::vector<CellField> copyTargets(CrystalSystem system, CellField field);

// The cell a calculation uses: the fields' current texts with the system's rules applied as
// leaving a and alpha would apply them. Lengths tied to a take a's text, trigonal angles
// tied to alpha take alpha's, other fixed angles their system's value (90, or 120 for a
// hexagonal gamma). A fixed field may still show an older text; the result never uses it.
[[nodiscard]] CrystalCell cellForCalculation(CrystalSystem system, const CellFieldTexts& fields);

// Whether field accepts text on leaving it: one number with optional surrounding blanks
// that a double can hold; alpha also at most 360 degrees.
[[nodiscard]] bool isAcceptedEntry(CellField field, std::string_view text);

// a and alpha are emptied when refused; b, c, beta and gamma keep the refused text.
[[nodiscard]] bool isEmptiedWhenRefused(CellField field);

// What leaving a cell field did and what the window does next.
struct EntryOutcome {
    bool accepted = false;
    bool fieldEmptied = false;  // refused: the field's text was removed (a, alpha)
    std::vector<CellField> copiedTo;
    bool recalculate = false;        // accepted: read the cell and Recalculate
    bool enableRecalculate = false;  // accepted c: make Recalculate usable, recompute nothing
};

// Applies the entry rule of field to fields: on acceptance the copies, on refusal the
// emptying. A refusal is shown as kInvalidDataMessage and the field takes the focus back.
[[nodiscard]] EntryOutcome applyCellEntry(CrystalSystem system, CellField field,
                                          CellFieldTexts& fields);

}  // namespace lamivex::crystal
