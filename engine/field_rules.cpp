#include "engine/field_rules.h"

#include <array>

#include <fmt/format.h>

#include "numbers/input_error.h"

namespace lamivex::engine {
namespace {

using numbers::EntryRule;
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

void checkMainFieldTexts(const MainFieldTexts& fields) {
    for (const MainField& field : kMainFields) {
        if (field.text == &T::txtUplim && !fields.chkgeo) {
            continue;  // read only when the geometric search is ticked
        }
        const numbers::FieldVerdict verdict =
            numbers::checkEntry(field.rule, fields.*field.text, fields.Lowerangle);
        if (!verdict.accepted) {
            numbers::failInput(std::string(field.option), verdict.reason);
        }
    }
}

}  // namespace lamivex::engine
