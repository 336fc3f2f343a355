#include "output/atomic_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <streambuf>

#include <fmt/format.h>

#include "output/save_signals.h"
#include "output/save_target.h"

namespace lamivex::output {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kFallbackNameMax = 255;

// An output stream buffer over a file descriptor that keeps the errno of a failed write.
class DescriptorBuffer : public std::streambuf {
  public:
    explicit DescriptorBuffer(int fd) : m_fd(fd) { setp(m_buffer, m_buffer + sizeof m_buffer); }
    [[nodiscard]] int error() const { return m_error; }

  protected:
    int_type overflow(int_type c) override {
        if (!flushBuffer()) {
            return traits_type::eof();
        }
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return flushBuffer() ? 0 : -1; }

  private:
    bool flushBuffer() {
        const char* data = pbase();
        std::size_t left = static_cast<std::size_t>(pptr() - pbase());
        while (left > 0) {
            const ssize_t written = ::write(m_fd, data, left);
            if (written < 0) {
                if (errno == EINTR) {
                    continue;
                }
                m_error = errno;
                return false;
            }
            data += written;
            left -= static_cast<std::size_t>(written);
        }
        setp(m_buffer, m_buffer + sizeof m_buffer);
        return true;
    }

    int m_fd;
    int m_error = 0;
    char m_buffer[1 << 14];
};

std::size_t nameMaxOf(const fs::path& folder) {
    const long max = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    return max > 0 ? static_cast<std::size_t>(max) : kFallbackNameMax;
}

std::string writeFailure(const fs::path& target, int error) {
    if (error == 0) {
        return fmt::format("Writing {} failed: the content could not be made.", target.string());
    }
    const bool full = error == ENOSPC || error == EDQUOT || error == EFBIG;
    return fmt::format("Writing {} failed: {}{}.", target.string(), std::strerror(error),
                       full ? " (is the disk full?)" : "");
}

void syncFolder(const fs::path& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        // The file is in place already; a folder that cannot be synced changes nothing now.
        (void)::fsync(fd);
        ::close(fd);
    }
}

// The temporary file while it exists: removed unless it was renamed into place.
class Temporary {
  public:
    Temporary(fs::path path, int fd) : m_path(std::move(path)), m_fd(fd), m_guard(m_path) {}
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;
    ~Temporary() {
        closeFile();
        if (!m_renamed) {
            ::unlink(m_path.c_str());
        }
    }
    [[nodiscard]] int fd() const { return m_fd; }
    int closeFile() {
        const int status = m_fd >= 0 ? ::close(m_fd) : 0;
        m_fd = -1;
        return status;
    }
    void renamed() {
        m_renamed = true;
        m_guard.release();
    }

  private:
    fs::path m_path;
    int m_fd;
    detail::TemporaryFileGuard m_guard;
    bool m_renamed = false;
};

}  // namespace

SaveResult checkSaveTarget(const fs::path& target) {
    const detail::ResolvedTarget resolved = detail::resolveSaveTarget(target);
    return {resolved.ok(), resolved.error};
}

SaveResult saveAtomically(const fs::path& target, const std::function<void(std::ostream&)>& write) {
    const detail::ResolvedTarget resolved = detail::resolveSaveTarget(target);
    if (!resolved.ok()) {
        return {false, resolved.error};
    }
    const fs::path folder = resolved.file.parent_path();
    const std::size_t nameMax = nameMaxOf(folder);
    detail::removeStrayTemporaries(resolved.file, nameMax);

    static std::atomic<unsigned> serial{0};
    const fs::path temporaryPath =
        detail::temporaryNameFor(resolved.file, ::getpid(), serial.fetch_add(1), nameMax);
    const int fd = ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return {false, fmt::format("Cannot write in the folder of {}: {}.", target.string(),
                                   std::strerror(errno))};
    }
    Temporary temporary(temporaryPath, fd);
    if (resolved.permissions) {
        // The replaced file's permissions, not those the umask would give a new one.
        (void)::fchmod(fd, *resolved.permissions);
    }

    DescriptorBuffer buffer(fd);
    std::ostream out(&buffer);
    write(out);  // a writer that throws leaves no temporary behind (Temporary's destructor)
    out.flush();
    if (!out) {
        return {false, writeFailure(target, buffer.error())};
    }
    if (::fsync(fd) != 0 || temporary.closeFile() != 0) {
        return {false, writeFailure(target, errno)};
    }
    if (::rename(temporaryPath.c_str(), resolved.file.c_str()) != 0) {
        return {false,
                fmt::format("Cannot replace {}: {}.", target.string(), std::strerror(errno))};
    }
    temporary.renamed();
    syncFolder(folder);
    return {true, {}};
}

}  // namespace lamivex::output
