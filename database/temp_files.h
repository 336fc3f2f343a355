#pragma once
// The steps every new database file goes through: it is built under a temporary name in the
// target's folder and only then given its name, so a failure never leaves a partial file.

#include <filesystem>
#include <string_view>

namespace lamivex::database {

// A name no other build uses: ".<target name>.<process>-<count>.<suffix>" beside target.
[[nodiscard]] std::filesystem::path temporaryBeside(const std::filesystem::path& target,
                                                    std::string_view suffix);

// Removes a database file and its rollback journal, ignoring failures.
void removeDatabaseFile(const std::filesystem::path& file);

// Makes a finished rename or link in the folder of file survive a power cut.
void syncFolder(const std::filesystem::path& file);

}  // namespace lamivex::database
