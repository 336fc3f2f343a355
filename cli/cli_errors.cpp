#include "cli/cli_errors.h"

#include <exception>

#include <fmt/format.h>

#include "api/file_error.h"
#include "cli/command_io.h"
#include "numbers/input_error.h"
#include "numbers/text_safety.h"

namespace lamivex::cli {

void printRefusal(std::string_view text) {
    // User text inside the message (a name, a path) may hold newlines or escape sequences.
    fmt::print(stderr, "{}\n", numbers::visiblyEscaped(text));
}

namespace {

std::string fileRefusal(std::string_view command, const std::string& option, const char* what) {
    return option.empty() ? fmt::format("lamivex-cli {}: {}", command, what)
                          : fmt::format("lamivex-cli {}: --{}: {}", command, option, what);
}

}  // namespace

int reportErrors(std::string_view command, const std::function<int()>& body) {
    return reportErrors(command, body, terminalIo());
}

int reportErrors(std::string_view command, const std::function<int()>& body, const CommandIo& io) {
    std::string line;
    try {
        return body();
    } catch (const numbers::InputError& e) {
        line = fmt::format("lamivex-cli {}: --{}: {}", command, e.field(), e.what());
    } catch (const FileError& e) {
        line = fileRefusal(command, e.option(), e.what());
    } catch (const api::FileError& e) {
        line = fileRefusal(command, e.option(), e.what());
    } catch (const std::exception& e) {
        line = fmt::format("lamivex-cli {}: {}", command, e.what());
    }
    if (io.refusal != nullptr) {
        *io.refusal = numbers::visiblyEscaped(line);
    } else {
        printRefusal(line);
    }
    return kExitBadInput;
}

}  // namespace lamivex::cli
