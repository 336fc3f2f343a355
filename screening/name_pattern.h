#pragma once
// Record names picked by a pattern, as a shell picks file names: '*' any run of characters,
// '?' any one character, everything else itself, the letters A-Z in either case (as the
// structure database matches names).

#include <string_view>

namespace lamivex::screening {

[[nodiscard]] bool matchesPattern(std::string_view name, std::string_view pattern);

}  // namespace lamivex::screening
