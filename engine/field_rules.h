#pragma once
// The entry rules of the main window's fields as plain data: which rule each field applies
// when it is left, the verdict on a text and the value a field remembers on entry. The
// window binds its controls to these; the capture step, the command line and the structure
// database apply the same rules to the same texts.

#include <span>
#include <string>
#include <string_view>

#include "engine/lattice.h"

namespace lamivex::engine {

inline constexpr std::string_view kInvalidData = "Invalid data";  // what the window shows

enum class EntryRule {
    Single,      // numeric, read as a single (lengths, spacing)
    Angle,       // numeric single below 360 in magnitude (alpha, beta)
    LowerAngle,  // numeric single; remembers the text itself
    UpperAngle,  // numeric single, not below the lower angle
    Count,       // numeric 16-bit integer (domain sizes, maximum multiple)
    Name,        // any valid UTF-8 text; only selected on entry
};

struct MainField {
    std::string_view objectName;  // the control: "a1", "Lowerangle", "txtUplim", ...
    std::string_view option;      // the command line's option without "--": "lower", ...
    EntryRule rule;
    std::string MainFieldTexts::*text;
};

// Every field of the main window that applies a rule, in the window's order.
[[nodiscard]] std::span<const MainField> mainFields();
// nullptr when no field has that object name.
[[nodiscard]] const MainField* mainFieldNamed(std::string_view objectName);

struct FieldVerdict {
    bool accepted = true;
    std::string reason;  // why a text was refused, for the command line; empty when accepted
};

// The verdict of rule on text when the field is left. The upper-angle rule compares with
// the lower angle's text; a lower angle that cannot be read leaves the order to the run.
[[nodiscard]] FieldVerdict checkEntry(EntryRule rule, std::string_view text,
                                      std::string_view lowerAngleText = {});

// EntryValue: what a field remembers when it gains the focus, as the text a refusal writes
// back (the value it reads as, or the text itself where the rule keeps the text).
[[nodiscard]] std::string entryValueOf(EntryRule rule, std::string_view text);

// Every field's rule over a whole set of texts (txtUplim only when chkgeo is ticked).
// Throws InputError naming the option of the first field refused.
void checkMainFieldTexts(const MainFieldTexts& fields);

}  // namespace lamivex::engine
