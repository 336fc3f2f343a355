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

// ".NAME.lamivex.PID-N.tmp" in the target's folder, NAME shortened (at a character boundary)
// so that the whole stays within nameMax bytes whatever PID and N; PID and N keep it unique.
[[nodiscard]] std::filesystem::path temporaryNameFor(const std::filesystem::path& file, pid_t pid,
                                                     unsigned serial, std::size_t nameMax);

// The process id that fileName carries when it is exactly the name of a temporary of file,
// nullopt for any other name.
[[nodiscard]] std::optional<pid_t> temporaryOwner(const std::string& fileName,
                                                  const std::filesystem::path& file,
                                                  std::size_t nameMax);

// Removes from file's folder the regular files of this user that are temporaries of file
// whose process no longer runs. Returns how many were removed.
int removeStrayTemporaries(const std::filesystem::path& file, std::size_t nameMax);

}  // namespace lamivex::output::detail
