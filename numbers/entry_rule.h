#pragma once
// The rules a field of the windows applies to its text when it is left, as plain data: the
// verdict on a text and the value a field remembers when it is entered. The main window's
// fields (engine/field_rules.h), the structure database's records and the command line
// apply the same rules to the same texts.

#include <string>
#include <string_view>

namespace lamivex::numbers {

inline constexpr std::string_view kInvalidData = "Invalid data";  // what the window shows

enum class EntryRule {
    Single,      // numeric, read as a single (lengths, spacing)
    Angle,       // numeric single below 360 in magnitude (alpha, beta)
    LowerAngle,  // numeric single; remembers the text itself
    UpperAngle,  // numeric single, not below the lower angle
    Count,       // numeric 16-bit integer (domain sizes, maximum multiple)
    Name,        // valid UTF-8 text without control characters; only selected on entry
};

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

}  // namespace lamivex::numbers
