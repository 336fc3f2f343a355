#pragma once
// Turns the libraries' errors into one line on stderr and exit status 2.

#include <functional>
#include <string_view>

namespace lamivex::cli {

inline constexpr int kExitBadInput = 2;

int reportErrors(std::string_view command, const std::function<int()>& body);

// One line on standard error, with control characters shown as escapes.
void printRefusal(std::string_view text);

}  // namespace lamivex::cli
