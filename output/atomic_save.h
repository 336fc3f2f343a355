#pragma once
// Saving a file so that a failure never leaves it half written: the content goes to a
// temporary file in the target folder, which then replaces the target in one rename.

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>

namespace lamivex::output {

struct SaveResult {
    bool ok = false;
    std::string error;  // why the save failed, for the user
};

[[nodiscard]] SaveResult saveAtomically(const std::filesystem::path& target,
                                        const std::function<void(std::ostream&)>& write);

}  // namespace lamivex::output
