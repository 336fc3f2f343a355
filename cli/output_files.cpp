#include "cli/output_files.h"

#include <cerrno>
#include <iostream>

#include <fmt/format.h>

#include "cli/cli_errors.h"
#include "cli/standard_output.h"
#include "numbers/input_error.h"
#include "output/atomic_save.h"

namespace lamivex::cli {

void checkOutputFiles(std::span<const OutputFile> files, bool standardOutputTaken) {
    bool standardOutputUsed = standardOutputTaken;
    for (const OutputFile& file : files) {
        if (!file.requested()) {
            continue;
        }
        if (file.path->empty()) {
            numbers::failInput(file.option, "no file name was given");
        }
        if (file.toStandardOutput()) {
            if (!file.mayBeStandardOutput) {
                numbers::failInput(file.option,
                                   "'-' (standard output) is not possible here; "
                                   "give a file name");
            }
            if (standardOutputUsed) {
                numbers::failInput(file.option, standardOutputTaken
                                                    ? "standard output already carries the JSON; "
                                                      "give a file name"
                                                    : "only one output can go to standard output");
            }
            standardOutputUsed = true;
            continue;
        }
        const output::SaveResult target = output::checkSaveTarget(*file.path);
        if (!target.ok) {
            failFile(file.option, target.error);
        }
    }
}

bool anyToStandardOutput(std::span<const OutputFile> files) {
    for (const OutputFile& file : files) {
        if (file.toStandardOutput()) {
            return true;
        }
    }
    return false;
}

void writeOutputFile(const OutputFile& file, const std::function<void(std::ostream&)>& write) {
    if (file.toStandardOutput()) {
        // A failed write leaves the stream bad and its errno in place: nothing is written after.
        errno = 0;
        write(std::cout);
        if (std::cout) {
            std::cout.flush();
        }
        if (!std::cout) {
            failFile(file.option, standardOutputFailure(errno));
        }
        return;
    }
    const output::SaveResult saved = output::saveAtomically(*file.path, write);
    if (!saved.ok) {
        failFile(file.option, saved.error);
    }
}

}  // namespace lamivex::cli
