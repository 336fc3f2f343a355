#include "cli/runtime_module.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

#include <fmt/format.h>

#include "cli/cli_errors.h"

namespace lamivex::cli {

void* moduleEntry(const std::string& fileName, const char* entry, const std::string& option) {
    std::error_code ec;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    const std::filesystem::path bin = ec ? std::filesystem::path(".") : program.parent_path();
    // bin/../lib/lamivex, in the build tree and once installed; dlopen keeps each file
    // open once however often it is asked for.
    const std::filesystem::path path =
        (bin / ".." / "lib" / "lamivex" / fileName).lexically_normal();
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        failFile(option, fmt::format("{} cannot be loaded: {}", path.string(), ::dlerror()));
    }
    void* found = ::dlsym(handle, entry);
    if (found == nullptr) {
        failFile(option, fmt::format("{} is not a module of this lamivex-cli", path.string()));
    }
    return found;
}

}  // namespace lamivex::cli
