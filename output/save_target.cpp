#include "output/save_target.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <system_error>

#include <fmt/format.h>

namespace lamivex::output::detail {
namespace {

namespace fs = std::filesystem;

// As the kernel counts them before it gives up with ELOOP.
constexpr int kMaxLinkHops = 40;

std::string kindOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "a folder";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "a device";
    }
    if (S_ISFIFO(mode)) {
        return "a named pipe";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    return "not a regular file";
}

std::string folderProblem(const fs::path& folder, const fs::path& target) {
    struct stat st {};
    const fs::path shown = folder.empty() ? fs::path(".") : folder;
    if (::stat(shown.c_str(), &st) != 0) {
        return fmt::format("Cannot write in the folder of {}: {}.", target.string(),
                           std::strerror(errno));
    }
    if (!S_ISDIR(st.st_mode)) {
        return fmt::format("Cannot write in the folder of {}: {} is not a folder.", target.string(),
                           shown.string());
    }
    if (::access(shown.c_str(), W_OK | X_OK) != 0) {
        return fmt::format("Cannot write in the folder of {}: {}.", target.string(),
                           std::strerror(errno));
    }
    return {};
}

bool allDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

bool processRuns(pid_t pid) {
    return ::kill(pid, 0) == 0 || errno != ESRCH;
}

}  // namespace

ResolvedTarget resolveSaveTarget(const fs::path& target) {
    ResolvedTarget resolved;
    if (target.empty() || !target.has_filename()) {
        resolved.error = "No file name was given.";
        return resolved;
    }
    fs::path file = target;
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (::lstat(file.c_str(), &st) != 0) {
            if (errno != ENOENT) {
                resolved.error =
                    fmt::format("Cannot save {}: {}.", target.string(), std::strerror(errno));
                return resolved;
            }
            break;  // a new file
        }
        if (S_ISLNK(st.st_mode)) {
            if (hops == kMaxLinkHops) {
                resolved.error =
                    fmt::format("Cannot save {}: too many symbolic links.", target.string());
                return resolved;
            }
            std::error_code ec;
            const fs::path link = fs::read_symlink(file, ec);
            if (ec) {
                resolved.error = fmt::format("Cannot save {}: {}.", target.string(), ec.message());
                return resolved;
            }
            file = link.is_absolute() ? link : file.parent_path() / link;
            continue;
        }
        if (!S_ISREG(st.st_mode)) {
            resolved.error =
                fmt::format("{} is {}; nothing was written.", target.string(), kindOf(st.st_mode));
            return resolved;
        }
        resolved.permissions = st.st_mode & 07777;
        break;
    }
    if (!file.has_filename()) {
        resolved.error = fmt::format("{} is a folder; nothing was written.", target.string());
        return resolved;
    }
    resolved.error = folderProblem(file.parent_path(), target);
    resolved.file = file;
    return resolved;
}

fs::path temporaryNameFor(const fs::path& file, pid_t pid, unsigned serial, std::size_t nameMax) {
    const std::string suffix = fmt::format(".{}-{}.tmp", pid, serial);
    std::string name = file.filename().string();
    const std::size_t room = nameMax > suffix.size() + 2 ? nameMax - suffix.size() - 1 : 1;
    if (name.size() > room) {
        std::size_t cut = room;
        // Never split a UTF-8 sequence: back off over its continuation bytes.
        while (cut > 1 && (static_cast<unsigned char>(name[cut]) & 0xC0U) == 0x80U) {
            --cut;
        }
        name.resize(cut);
    }
    return file.parent_path() / ("." + name + suffix);
}

std::optional<pid_t> temporaryOwner(const std::string& fileName) {
    constexpr std::string_view kTail = ".tmp";
    if (fileName.size() < 8 || fileName.front() != '.' || !fileName.ends_with(kTail)) {
        return std::nullopt;
    }
    const std::string_view body(fileName.data() + 1, fileName.size() - 1 - kTail.size());
    const std::size_t dash = body.rfind('-');
    if (dash == std::string_view::npos || !allDigits(body.substr(dash + 1))) {
        return std::nullopt;
    }
    const std::size_t dot = body.rfind('.', dash);
    if (dot == std::string_view::npos || dot == 0) {
        return std::nullopt;
    }
    const std::string_view digits = body.substr(dot + 1, dash - dot - 1);
    if (!allDigits(digits) || digits.size() > 9) {
        return std::nullopt;
    }
    const pid_t pid = static_cast<pid_t>(std::stol(std::string(digits)));
    if (pid <= 0) {
        return std::nullopt;
    }
    return pid;
}

int removeStrayTemporaries(const fs::path& folder) {
    std::error_code ec;
    fs::directory_iterator entries(folder.empty() ? fs::path(".") : folder, ec);
    if (ec) {
        return 0;
    }
    int removed = 0;
    for (const fs::directory_entry& entry : entries) {
        const std::optional<pid_t> owner = temporaryOwner(entry.path().filename().string());
        if (!owner || processRuns(*owner)) {
            continue;
        }
        struct stat st {};
        if (::lstat(entry.path().c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
            st.st_uid != ::geteuid()) {
            continue;
        }
        if (::unlink(entry.path().c_str()) == 0) {
            ++removed;
        }
    }
    return removed;
}

}  // namespace lamivex::output::detail
