#pragma once
// The value of an option that takes one finite number, as every command reads it.

#include <string>

namespace lamivex::cli {

// Throws InputError naming option ("'x' is not a number") for a text that is not one.
[[nodiscard]] double numberOption(const std::string& option, const std::string& text);

}  // namespace lamivex::cli
