#include "cli/cli_errors.h"

#include <exception>

#include <fmt/format.h>

#include "engine/input_error.h"
#include "engine/text_safety.h"

namespace lamivex::cli {

void printRefusal(std::string_view text) {
    // User text inside the message (a name, a path) may hold newlines or escape sequences.
    fmt::print(stderr, "{}\n", engine::visiblyEscaped(text));
}

int reportErrors(std::string_view command, const std::function<int()>& body) {
    try {
        return body();
    } catch (const engine::InputError& e) {
        printRefusal(fmt::format("lamivex-cli {}: --{}: {}", command, e.field(), e.what()));
    } catch (const std::exception& e) {
        printRefusal(fmt::format("lamivex-cli {}: {}", command, e.what()));
    }
    return kExitBadInput;
}

}  // namespace lamivex::cli
