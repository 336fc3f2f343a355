#include "cli/cli_errors.h"

#include <exception>

#include <fmt/format.h>

#include "engine/input_error.h"

namespace lamivex::cli {

int reportErrors(std::string_view command, const std::function<int()>& body) {
    try {
        return body();
    } catch (const engine::InputError& e) {
        fmt::print(stderr, "lamivex-cli {}: --{}: {}\n", command, e.field(), e.what());
    } catch (const std::exception& e) {
        fmt::print(stderr, "lamivex-cli {}: {}\n", command, e.what());
    }
    return kExitBadInput;
}

}  // namespace lamivex::cli
