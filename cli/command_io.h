#pragma once
// Where a command's output, refusal and progress go: the terminal for lamivex-cli, strings
// and a callback for the Python module, which runs the same commands.

#include <functional>
#include <iostream>
#include <string>

namespace lamivex::cli {

struct CommandIo {
    std::ostream* out = &std::cout;
    std::string* refusal = nullptr;  // set: the refusal line goes here, not to standard error
    std::function<void(double fraction)> progress;  // set: instead of the terminal's line
};

// Standard output and standard error.
[[nodiscard]] inline const CommandIo& terminalIo() {
    static const CommandIo terminal;
    return terminal;
}

}  // namespace lamivex::cli
