#include "cli/number_option.h"

#include <cmath>

#include <fmt/format.h>

#include "numbers/input_error.h"
#include "numbers/number_text.h"

namespace lamivex::cli {

double numberOption(const std::string& option, const std::string& text) {
    const numbers::Parsed<double> parsed = numbers::toDouble(text);
    if (!parsed.ok() || !std::isfinite(parsed.value)) {
        numbers::failInput(option, fmt::format("'{}' is not a number", text));
    }
    return parsed.value;
}

}  // namespace lamivex::cli
