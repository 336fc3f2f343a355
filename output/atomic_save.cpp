#include "output/atomic_save.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include <fmt/format.h>

namespace lamivex::output {
namespace {

std::filesystem::path temporaryBeside(const std::filesystem::path& target) {
    static std::atomic<unsigned> counter{0};
    const std::string name = fmt::format(".{}.{}-{}.tmp", target.filename().string(), getpid(),
                                         counter.fetch_add(1));
    return target.parent_path() / name;
}

}  // namespace

SaveResult saveAtomically(const std::filesystem::path& target,
                          const std::function<void(std::ostream&)>& write) {
    if (target.empty() || !target.has_filename()) {
        return {false, "No file name was given."};
    }
    const std::filesystem::path temporary = temporaryBeside(target);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            return {false, fmt::format("Cannot write in the folder of {}: {}.", target.string(),
                                       std::strerror(errno))};
        }
        write(out);
        out.flush();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return {false, fmt::format("Writing {} failed (is the disk full?).", target.string())};
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, target, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return {false, fmt::format("Cannot replace {}: {}.", target.string(), ec.message())};
    }
    return {true, {}};
}

}  // namespace lamivex::output
