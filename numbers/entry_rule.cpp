#include "numbers/entry_rule.h"

#include <cmath>
#include <cstdint>

#include <fmt/format.h>

#include "numbers/number_text.h"
#include "numbers/text_safety.h"

namespace lamivex::numbers {
namespace {

constexpr float kFullTurn = 360.0F;

FieldVerdict refused(std::string reason) {
    return {false, std::move(reason)};
}

FieldVerdict numericVerdict(std::string_view text, NumberError error, std::string_view range) {
    if (error == NumberError::OutOfRange) {
        return refused(fmt::format("\"{}\" is out of range ({})", text, range));
    }
    return refused(fmt::format("\"{}\" is not a number", text));
}

}  // namespace

FieldVerdict checkEntry(EntryRule rule, std::string_view text, std::string_view lowerAngleText) {
    if (rule == EntryRule::Name) {
        if (!isValidUtf8(text)) {
            return refused("the name is not valid UTF-8 text");
        }
        return hasControlCharacter(text)
                   ? refused(fmt::format("the name \"{}\" holds a control character (a newline, "
                                         "tab, escape or NUL), which would break a report's lines",
                                         visiblyEscaped(text)))
                   : FieldVerdict{};
    }
    if (rule == EntryRule::Count) {
        // A size the run cannot hold is refused here rather than at the next run.
        const Parsed<int16_t> count = toInt16(text);
        return count.ok() ? FieldVerdict{} : numericVerdict(text, count.error, "-32768 to 32767");
    }
    const Parsed<float> single = toSingle(text);
    if (!single.ok()) {
        return numericVerdict(text, single.error, "a single-precision number");
    }
    if (rule == EntryRule::Angle && !(std::fabs(single.value) < kFullTurn)) {
        return refused(fmt::format("\"{}\" is not an angle below 360 degrees in magnitude", text));
    }
    if (rule == EntryRule::UpperAngle) {
        const Parsed<float> lower = toSingle(lowerAngleText);
        if (lower.ok() && lower.value > single.value) {
            return refused(
                fmt::format("The upper bound ({}) must not be below the lower bound "
                            "({}).",
                            formatSingle(single.value), formatSingle(lower.value)));
        }
    }
    return {};
}

std::string entryValueOf(EntryRule rule, std::string_view text) {
    switch (rule) {
        case EntryRule::Single:
        case EntryRule::Angle:
        case EntryRule::UpperAngle: {
            const Parsed<float> value = toSingle(text);
            return value.ok() ? formatSingle(value.value) : std::string(text);
        }
        case EntryRule::Count: {
            const Parsed<int16_t> value = toInt16(text);
            return value.ok() ? std::to_string(value.value) : std::string(text);
        }
        case EntryRule::LowerAngle:
        case EntryRule::Name:
            break;
    }
    return std::string(text);
}

}  // namespace lamivex::numbers
