#pragma once
// The files a command writes, named by their options: all checked before the first is
// written, so that a refusal leaves nothing behind, and "-" for standard output where the
// option allows it.

#include <functional>
#include <optional>
#include <ostream>
#include <span>
#include <string>

namespace lamivex::cli {

struct OutputFile {
    std::string option;                // "report", "dat", "plot"
    std::optional<std::string> path;   // nullopt: not asked for
    bool mayBeStandardOutput = false;  // "-" writes the file to standard output

    [[nodiscard]] bool requested() const { return path.has_value(); }
    [[nodiscard]] bool toStandardOutput() const { return path && *path == "-"; }
};

// Refuses, with an InputError naming the option, an empty name and "-" where the option
// does not allow it, for two outputs, or when standardOutputTaken (--json prints there); with
// a FileError a target a save could not replace (a folder, a device, a missing or protected
// folder).
void checkOutputFiles(std::span<const OutputFile> files, bool standardOutputTaken);

// Whether one of the files goes to standard output (the command then prints nothing else).
[[nodiscard]] bool anyToStandardOutput(std::span<const OutputFile> files);

// Writes the file through a temporary file, or to standard output for "-". Throws FileError
// naming the option when the save fails.
void writeOutputFile(const OutputFile& file, const std::function<void(std::ostream&)>& write);

}  // namespace lamivex::cli
