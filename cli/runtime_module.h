#pragma once
// The parts of the command line that need big libraries (Qt to draw, mdbtools and glib to
// read older databases) are modules in lib/lamivex/ beside bin/, opened only by the commands
// that use them, so that every other command starts without loading those libraries.

#include <string>

namespace lamivex::cli {

// The entry point named entry of lib/lamivex/fileName, the module opened on first use and
// kept. Throws FileError naming option when it cannot be opened or lacks the entry.
[[nodiscard]] void* moduleEntry(const std::string& fileName, const char* entry,
                                const std::string& option);

}  // namespace lamivex::cli
