#pragma once
// Saving a file so that a failure never leaves it half written: the content goes to a
// temporary file beside the target, which then replaces the target in one rename.
//
// A symbolic link is written through to the file it names; a target that exists but is
// not a regular file (a folder, a device, a named pipe, a socket) is refused. A file that
// is replaced keeps its permission bits. The temporary file (".NAME.lamivex.PID-N.tmp") is
// synced before the rename and the folder after it; it is removed when the writer throws or a
// catchable signal ends the process, and a save removes the temporaries of the same target
// left by processes that no longer run (no other file).

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>

namespace lamivex::output {

struct SaveResult {
    bool ok = false;
    std::string error;  // why the save failed, for the user
};

// Whether a save to target could go ahead, checked without writing anything: a file name
// is given, the target is not something other than a regular file, and its folder exists
// and can be written. Front ends check every output this way before the first is written.
[[nodiscard]] SaveResult checkSaveTarget(const std::filesystem::path& target);

[[nodiscard]] SaveResult saveAtomically(const std::filesystem::path& target,
                                        const std::function<void(std::ostream&)>& write);

}  // namespace lamivex::output
