#include "database/user_library.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include <fmt/format.h>

#include "database/temp_files.h"

namespace lamivex::database {
namespace {

namespace fs = std::filesystem;

fs::path homeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') {
        return home;
    }
    if (const passwd* user = ::getpwuid(::geteuid()); user != nullptr && user->pw_dir != nullptr) {
        return user->pw_dir;
    }
    return {};
}

}  // namespace

fs::path userLibraryPath() {
    // The XDG rule: a relative XDG_DATA_HOME is ignored.
    const char* data = std::getenv("XDG_DATA_HOME");
    fs::path folder;
    if (data != nullptr && *data == '/') {
        folder = data;
    } else if (const fs::path home = homeFolder(); !home.empty()) {
        folder = home / ".local" / "share";
    } else {
        return {};
    }
    return folder / "lamivex" / "structures.sqlite";
}

DbResult<fs::path> ensureUserLibrary(const fs::path& starter) {
    using Result = DbResult<fs::path>;
    const fs::path library = userLibraryPath();
    if (library.empty()) {
        return Result::failure(
            "There is no home folder for your structure database; set "
            "XDG_DATA_HOME or HOME.");
    }
    std::error_code ec;
    if (fs::exists(library, ec)) {
        return Result::success(library);
    }
    if (!fs::is_regular_file(starter, ec)) {
        return Result::failure(
            fmt::format("The starter structure database {} is missing, so "
                        "your own ({}) cannot be made from it.",
                        starter.string(), library.string()));
    }
    fs::create_directories(library.parent_path(), ec);
    if (ec) {
        return Result::failure(fmt::format("Cannot make the folder {}: {}.",
                                           library.parent_path().string(), ec.message()));
    }
    // Copied under a temporary name and linked into place, so that a copy made meanwhile by
    // another run is kept and a failed copy leaves nothing.
    const fs::path temporary = temporaryBeside(library, "copy");
    fs::copy_file(starter, temporary, fs::copy_options::overwrite_existing, ec);
    if (!ec) {
        fs::permissions(temporary,
                        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                            fs::perms::others_read,
                        ec);
    }
    if (ec) {
        removeDatabaseFile(temporary);
        return Result::failure(fmt::format("Cannot copy {} to {}: {}.", starter.string(),
                                           library.string(), ec.message()));
    }
    const bool linked = ::link(temporary.c_str(), library.c_str()) == 0 || errno == EEXIST;
    const int linkError = errno;
    removeDatabaseFile(temporary);
    if (!linked) {
        return Result::failure(
            fmt::format("Cannot make {}: {}.", library.string(), std::strerror(linkError)));
    }
    syncFolder(library);
    return Result::success(library);
}

bool isStarterDatabase(const fs::path& file, const fs::path& starter) {
    std::error_code ec;
    return fs::equivalent(file, starter, ec) && !ec;
}

}  // namespace lamivex::database
