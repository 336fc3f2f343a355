#include "api/locations.h"

#include <array>
#include <system_error>

namespace lamivex::api {
namespace {

Locations under(const std::filesystem::path& root) {
    return {(root / "lib" / "lamivex" / "lamivex-plot.so").lexically_normal(),
            (root / "share" / "lamivex" / "structures.sqlite").lexically_normal()};
}

}  // namespace

Locations locationsAround(const std::filesystem::path& file) {
    const std::filesystem::path folder = file.parent_path();
    const std::array<std::filesystem::path, 5> roots = {folder, folder / "..", folder / ".." / "..",
                                                        folder / ".." / ".." / "..",
                                                        folder / ".." / ".." / ".." / ".."};
    for (const std::filesystem::path& root : roots) {
        const Locations found = under(root);
        std::error_code ec;
        if (std::filesystem::exists(found.painter, ec) ||
            std::filesystem::exists(found.starter, ec)) {
            return found;
        }
    }
    return under(folder / "..");
}

Locations programLocations() {
    std::error_code ec;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    return under((ec ? std::filesystem::path("./program") : program).parent_path() / "..");
}

}  // namespace lamivex::api
