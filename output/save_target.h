#pragma once
// Where an atomic save writes and what it leaves beside the target: the target with its
// symbolic links followed, the temporary file's name and the strays of killed saves.

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>

namespace lamivex::output::detail {

struct ResolvedTarget {
    std::filesystem::path file;         // the regular file the save replaces or creates
    std::optional<mode_t> permissions;  // of the file replaced; nullopt for a new file
    std::string error;                  // non-empty: the save must not go ahead

    [[nodiscard]] bool ok() const { return error.empty(); }
};

// Follows symbolic links (relative ones from the link's folder) to the file they name and
// checks that it is a regular file or does not exist yet, in a folder that can be written.
[[nodiscard]] ResolvedTarget resolveSaveTarget(const std::filesystem::path& target);

// ".NAME.PID-N.tmp" in the target's folder, the name shortened (at a character boundary)
// so that the whole stays within nameMax bytes; PID and N keep it unique.
[[nodiscard]] std::filesystem::path temporaryNameFor(const std::filesystem::path& file, pid_t pid,
                                                     unsigned serial, std::size_t nameMax);

// The process id a temporary name carries, or nullopt when the name is not of that form.
[[nodiscard]] std::optional<pid_t> temporaryOwner(const std::string& fileName);

// Removes from folder the regular files of this user named like temporaries whose process
// no longer runs. Returns how many were removed.
int removeStrayTemporaries(const std::filesystem::path& folder);

}  // namespace lamivex::output::detail
