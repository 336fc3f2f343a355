#include "engine/field_rules.h"

#include <array>
#include <cmath>

#include <fmt/format.h>

#include "engine/input_error.h"
#include "engine/number_text.h"
#include "engine/text_safety.h"

namespace lamivex::engine {
namespace {

using T = MainFieldTexts;

constexpr std::array kMainFields = {
    MainField{"a1", "a1", EntryRule::Single, &T::a1},
    MainField{"a2", "a2", EntryRule::Single, &T::a2},
    MainField{"alpha", "alpha", EntryRule::Angle, &T::alpha},
    MainField{"SubName", "substrate-name", EntryRule::Name, &T::SubName},
    MainField{"b1", "b1", EntryRule::Single, &T::b1},
    MainField{"b2", "b2", EntryRule::Single, &T::b2},
    MainField{"beta", "beta", EntryRule::Angle, &T::beta},
    MainField{"OverName", "overlayer-name", EntryRule::Name, &T::OverName},
    MainField{"b1size", "m", EntryRule::Count, &T::b1size},
    MainField{"b2size", "n", EntryRule::Count, &T::b2size},
    MainField{"Lowerangle", "lower", EntryRule::LowerAngle, &T::Lowerangle},
    MainField{"Upperangle", "upper", EntryRule::UpperAngle, &T::Upperangle},
    MainField{"AngleSpacing", "spacing", EntryRule::Single, &T::AngleSpacing},
    MainField{"txtUplim", "max-multiple", EntryRule::Count, &T::txtUplim},
};

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

std::span<const MainField> mainFields() {
    return kMainFields;
}

const MainField* mainFieldNamed(std::string_view objectName) {
    for (const MainField& field : kMainFields) {
        if (field.objectName == objectName) {
            return &field;
        }
    }
    return nullptr;
}

FieldVerdict checkEntry(EntryRule rule, std::string_view text, std::string_view lowerAngleText) {
    if (rule == EntryRule::Name) {
        return isValidUtf8(text) ? FieldVerdict{} : refused("the name is not valid UTF-8 text");
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
            return refused(fmt::format("The upper bound ({}) must not be below the lower bound "
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

void checkMainFieldTexts(const MainFieldTexts& fields) {
    for (const MainField& field : kMainFields) {
        if (field.text == &T::txtUplim && !fields.chkgeo) {
            continue;  // read only when the geometric search is ticked
        }
        const FieldVerdict verdict =
            checkEntry(field.rule, fields.*field.text, fields.Lowerangle);
        if (!verdict.accepted) {
            failInput(std::string(field.option), verdict.reason);
        }
    }
}

}  // namespace lamivex::engine
