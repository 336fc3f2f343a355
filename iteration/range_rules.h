#pragma once
// The entry rules of the Iteration window's fields as plain data: what each From, To and
// Increment field (and the selection criterion) remembers on entry, what leaving it checks,
// and whether it is rewritten in the shortest form of its value. The window binds its
// fields to these; the command line applies the same rules to its ranges.

#include <optional>
#include <string>
#include <string_view>

#include "iteration/iteration_ranges.h"

namespace lamivex::iteration {

inline constexpr std::string_view kInvalidRange = "Invalid range";

enum class RangeColumn { From, To, Increment };

[[nodiscard]] std::string_view columnCaption(RangeColumn column);  // "From", "To", "Increment"
// The field's object name: "b1low", "b1high", "b1inc", ..., "alphainc".
[[nodiscard]] std::string objectNameOf(Constant row, RangeColumn column);

struct RangeFieldRule {
    bool remembersValue = false;  // FieldEntryValue is the 32-bit value, else the text itself
    bool checksRange = false;     // a To field: not below the From value of its row
    bool normalises = false;      // rewritten as the shortest text of its 32-bit value
};

[[nodiscard]] RangeFieldRule rangeFieldRule(Constant row, RangeColumn column);
inline constexpr RangeFieldRule kCriterionRule{true, false, true};  // itercrit

struct RangeVerdict {
    bool accepted = true;
    std::string_view message;  // what the window shows: "Invalid data" or "Invalid range"
    std::string reason;        // why, for the command line
};

// The verdict on leaving a field; fromText is the From field of the row (To fields only).
// A From text that cannot be read gives nothing to compare with.
[[nodiscard]] RangeVerdict checkRangeEntry(const RangeFieldRule& rule, std::string_view text,
                                           std::string_view fromText = {});

// FieldEntryValue: the value's shortest text where the rule remembers the value and the
// text is one, else the text itself.
[[nodiscard]] std::string rangeEntryValue(const RangeFieldRule& rule, std::string_view text);

// The shortest text of the 32-bit value with its leading zero (0.800 becomes 0.8, not .8);
// nullopt when text is no such value.
[[nodiscard]] std::optional<std::string> shortestRangeText(std::string_view text);

// Each field of a row as the window checks it when it is left, in the order From, To,
// Increment; then the criterion. Throw InputError naming the row ("b1-range") and the
// column, or "criterion".
void checkRangeRow(Constant row, const RangeRowTexts& texts);
void checkCriterion(std::string_view text);

}  // namespace lamivex::iteration
