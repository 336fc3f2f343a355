#include "database/temp_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <system_error>

#include <fmt/format.h>

namespace lamivex::database {

std::filesystem::path temporaryBeside(const std::filesystem::path& target,
                                      std::string_view suffix) {
    static std::atomic<unsigned> counter{0};
    return target.parent_path() / fmt::format(".{}.{}-{}.{}", target.filename().string(), getpid(),
                                              counter.fetch_add(1), suffix);
}

void removeDatabaseFile(const std::filesystem::path& file) {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
    std::filesystem::remove(file.string() + "-journal", ignored);
}

void syncFolder(const std::filesystem::path& file) {
    const std::filesystem::path folder =
        file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

}  // namespace lamivex::database
