#include "output/save_target.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstring>
#include <limits>
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

// A temporary is ".STEM.lamivex.PID-N.tmp": the mark keeps users' own ".x.1-2.tmp" files out
// of the pattern, and the stem is the target's name cut to a length that depends only on
// nameMax, so that a later save of the same target finds the temporaries of earlier ones.
constexpr std::string_view kTemporaryMark = ".lamivex.";
constexpr std::string_view kTemporaryTail = ".tmp";
constexpr std::size_t kMaxDigits = 10;  // of a pid_t or an unsigned counter

std::string temporaryStem(const fs::path& file, std::size_t nameMax) {
    constexpr std::size_t kFixed =
        1 + kTemporaryMark.size() + kMaxDigits + 1 + kMaxDigits + kTemporaryTail.size();
    const std::size_t room = nameMax > kFixed + 1 ? nameMax - kFixed : 1;
    std::string name = file.filename().string();
    if (name.size() > room) {
        std::size_t cut = room;
        // Never split a UTF-8 sequence: back off over its continuation bytes.
        while (cut > 1 && (static_cast<unsigned char>(name[cut]) & 0xC0U) == 0x80U) {
            --cut;
        }
        name.resize(cut);
    }
    return name;
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
    return file.parent_path() / fmt::format(".{}{}{}-{}{}", temporaryStem(file, nameMax),
                                            kTemporaryMark, pid, serial, kTemporaryTail);
}

std::optional<pid_t> temporaryOwner(const std::string& fileName, const fs::path& file,
                                    std::size_t nameMax) {
    const std::string head = "." + temporaryStem(file, nameMax) + std::string(kTemporaryMark);
    if (fileName.size() < head.size() + kTemporaryTail.size() || !fileName.starts_with(head) ||
        !fileName.ends_with(kTemporaryTail)) {
        return std::nullopt;
    }
    const std::string_view numbers(fileName.data() + head.size(),
                                   fileName.size() - head.size() - kTemporaryTail.size());
    const std::size_t dash = numbers.find('-');
    if (dash == std::string_view::npos || dash > kMaxDigits ||
        !allDigits(numbers.substr(0, dash)) || !allDigits(numbers.substr(dash + 1)) ||
        numbers.size() - dash - 1 > kMaxDigits) {
        return std::nullopt;
    }
    long long pid = 0;
    std::from_chars(numbers.data(), numbers.data() + dash, pid);
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max()) {
        return std::nullopt;
    }
    return static_cast<pid_t>(pid);
}

int removeStrayTemporaries(const fs::path& file, std::size_t nameMax) {
    const fs::path folder = file.parent_path();
    std::error_code ec;
    fs::directory_iterator entries(folder.empty() ? fs::path(".") : folder, ec);
    if (ec) {
        return 0;
    }
    int removed = 0;
    for (const fs::directory_entry& entry : entries) {
        const std::optional<pid_t> owner =
            temporaryOwner(entry.path().filename().string(), file, nameMax);
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
