#include "api/painter.h"

#include <dlfcn.h>

#include <fmt/format.h>

#include "api/file_error.h"

namespace lamivex::api {

const cli::PlotModule& painterModule(const Locations& locations, const std::string& option) {
    // dlopen keeps each file open once however often it is asked for.
    void* handle = ::dlopen(locations.painter.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        throw FileError(option, fmt::format("{} cannot be loaded: {}", locations.painter.string(),
                                            ::dlerror()));
    }
    using Entry = const cli::PlotModule* (*)();
    const auto entry = reinterpret_cast<Entry>(::dlsym(handle, cli::kPlotModuleEntry));
    if (entry == nullptr || entry()->version != cli::kPlotModuleVersion) {
        throw FileError(option, fmt::format("{} is not the picture writer of this Lamivex",
                                            locations.painter.string()));
    }
    return *entry();
}

}  // namespace lamivex::api
