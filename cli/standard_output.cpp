#include "cli/standard_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include <fmt/format.h>

namespace lamivex::cli {
namespace {

using Descriptor = StandardOutputCheck::Descriptor;

ssize_t writeAll(void* cookie, const char* data, std::size_t size) {
    auto& descriptor = *static_cast<Descriptor*>(cookie);
    std::size_t left = size;
    while (left > 0) {
        const ssize_t written = ::write(STDOUT_FILENO, data, left);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (descriptor.error == 0) {
                descriptor.error = errno;
            }
            return 0;  // the C library's sign of an error for such a stream
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return static_cast<ssize_t>(size);
}

int closeDescriptor(void* cookie) {
    auto& descriptor = *static_cast<Descriptor*>(cookie);
    // A file system may report a lost write only now (NFS, quotas). A descriptor that was
    // never open (the program started with standard output closed) has nothing to lose.
    if (::close(STDOUT_FILENO) != 0 && errno != EBADF && descriptor.error == 0) {
        descriptor.error = errno;
        return -1;
    }
    return 0;
}

}  // namespace

std::string standardOutputFailure(int error) {
    if (error == 0) {
        return "standard output could not be written";
    }
    return fmt::format("standard output could not be written: {}", std::strerror(error));
}

StandardOutputCheck::StandardOutputCheck() : m_original(stdout) {
    std::fflush(stdout);
    m_file = ::fopencookie(&m_descriptor, "w", {nullptr, writeAll, nullptr, closeDescriptor});
    if (m_file == nullptr) {
        return;  // unchecked, as without this class
    }
    // As the C library buffers a terminal, so that lines appear as they are written.
    std::setvbuf(m_file, nullptr, ::isatty(STDOUT_FILENO) != 0 ? _IOLBF : _IOFBF, BUFSIZ);
    stdout = m_file;
    m_buffer = std::make_unique<__gnu_cxx::stdio_sync_filebuf<char>>(m_file);
    m_originalBuffer = std::cout.rdbuf(m_buffer.get());
}

StandardOutputCheck::~StandardOutputCheck() {
    if (m_file != nullptr) {
        (void)finish();
    }
}

std::optional<std::string> StandardOutputCheck::finish() {
    if (m_file == nullptr) {
        return std::nullopt;
    }
    std::cout.flush();
    const bool streamFailed = !std::cout;
    std::cout.rdbuf(m_originalBuffer);
    m_buffer.reset();
    stdout = m_original;
    const bool failed = std::ferror(m_file) != 0;
    const bool closeFailed = std::fclose(m_file) != 0;
    m_file = nullptr;
    if (!streamFailed && !failed && !closeFailed && m_descriptor.error == 0) {
        return std::nullopt;
    }
    return standardOutputFailure(m_descriptor.error);
}

}  // namespace lamivex::cli
