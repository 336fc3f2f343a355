#pragma once
// Where the files that come with the program lie: the painter module that writes figures
// and the starter structure database. Found beside a given file (the program or the Python
// module), so that the build tree, an installed prefix and a Python wheel all work.

#include <filesystem>

namespace lamivex::api {

struct Locations {
    std::filesystem::path painter;  // lib/lamivex/lamivex-plot.so
    std::filesystem::path starter;  // share/lamivex/structures.sqlite
};

// The first of the folders around file that holds lib/lamivex/lamivex-plot.so or
// share/lamivex/structures.sqlite: file's own folder (a Python wheel), then one to four levels
// up (bin/ and python/lamivex/ of the build tree, lib/python3/dist-packages/lamivex/ of a
// prefix). With none found, the paths beside file's parent, for the messages to name.
[[nodiscard]] Locations locationsAround(const std::filesystem::path& file);

// The running program's own: bin/../lib/lamivex and bin/../share/lamivex.
[[nodiscard]] Locations programLocations();

}  // namespace lamivex::api
