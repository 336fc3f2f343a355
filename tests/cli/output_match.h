#pragma once
// Compares what a command printed with the output a document shows for it.
//
// Shown numbers with fewer than 12 significant digits (rounded figures such as "0.00" or
// "-5.000E-01") must match exactly; full-precision numbers (JSON) may differ by 1e-9
// relative, the spread between the fast and the reference kernel. A shown line "..." stands
// for any number of lines; a shown line ending in "..." must begin the printed line.

#include <string>
#include <string_view>
#include <vector>

namespace lamivex::testing {

[[nodiscard]] bool lineMatches(std::string_view shown, std::string_view printed);

// Empty when the output matches; otherwise what differs, for the failure message.
[[nodiscard]] std::string outputMismatch(const std::vector<std::string>& shown,
                                         const std::vector<std::string>& printed);

[[nodiscard]] std::vector<std::string> splitLines(std::string_view text);

}  // namespace lamivex::testing
