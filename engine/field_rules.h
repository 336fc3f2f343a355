#pragma once
// The entry rules of the main window's fields as plain data: which rule each field applies
// when it is left (numbers/entry_rule.h gives the verdict). The window binds its controls to
// these; the capture step and the command line apply them to the same texts.

#include <span>
#include <string>
#include <string_view>

#include "engine/lattice.h"
#include "numbers/entry_rule.h"

namespace lamivex::engine {

struct MainField {
    std::string_view objectName;  // the control: "a1", "Lowerangle", "txtUplim", ...
    std::string_view option;      // the command line's option without "--": "lower", ...
    numbers::EntryRule rule;
    std::string MainFieldTexts::*text;
};

// Every field of the main window that applies a rule, in the window's order.
[[nodiscard]] std::span<const MainField> mainFields();
// nullptr when no field has that object name.
[[nodiscard]] const MainField* mainFieldNamed(std::string_view objectName);

// Every field's rule over a whole set of texts (txtUplim only when chkgeo is ticked).
// Throws InputError naming the option of the first field refused.
void checkMainFieldTexts(const MainFieldTexts& fields);

}  // namespace lamivex::engine
