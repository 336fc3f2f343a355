// The structure store on any file: the input's bytes are written to a file, which is opened
// as a store and, when it opens, listed and searched like the database window does.

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "database/structure_store.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

namespace fs = std::filesystem;
using namespace lamivex::database;
using lamivex::fuzz::require;

// A folder of this process's own under TMPDIR; SQLite may add a journal or WAL files
// beside the database, so the whole folder is emptied after each input.
const fs::path& scratchFolder() {
    static const fs::path folder = [] {
        fs::path f =
            fs::temp_directory_path() / ("lamivex-store-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(f);
        std::atexit([] { fs::remove_all(scratchFolder()); });
        return f;
    }();
    return folder;
}

bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

void checkTable(const StructureStore& store, TableKind kind) {
    const DbResult<std::vector<std::string>> names = store.names(kind);
    const DbResult<RecordListing> listing = store.listRecords(kind, RecordOrder::Name);
    const DbResult<std::vector<StructureRecord>> records = store.records(kind);
    if (!names.ok() || !listing.ok()) {
        return;
    }
    const RecordListing& l = listing.value;
    // A record without a name (only a foreign file can hold one) is listed but not named.
    require(names.value.size() <= l.readable.size() + l.unreadable.size(),
            "every named record is listed, readable or not");
    require(records.ok() == l.unreadable.empty(), "records fail exactly when one cannot be read");
    for (const StructureRecord& record : l.readable) {
        require(std::isfinite(record.length1) && std::isfinite(record.length2) &&
                    std::isfinite(record.angle),
                "a readable record holds finite values", record.name);
    }
    if (!names.value.empty()) {
        for (const std::string& name : {names.value.front(), names.value.back()}) {
            const DbResult<std::optional<StructureRecord>> found = store.findFirst(kind, name);
            require(found.ok()
                        ? found.value.has_value() && sameNameIgnoringCase(found.value->name, name)
                        : !found.error.empty(),
                    "a listed name is found, or its record is named as unreadable", name);
        }
    }
    (void)store.findFirst(kind, "Au(111)");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const fs::path file = scratchFolder() / "structures.sqlite";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    {
        const DbResult<StructureStore> opened = StructureStore::open(file);
        require(opened.ok() == opened.value.isOpen(), "a store opens or says why not");
        if (opened.ok()) {
            checkTable(opened.value, TableKind::Substrate);
            checkTable(opened.value, TableKind::Overlayer);
        } else {
            require(!opened.error.empty(), "a refused file has a message");
        }
    }
    std::error_code ignored;
    for (const fs::directory_entry& entry : fs::directory_iterator(scratchFolder(), ignored)) {
        fs::remove(entry.path(), ignored);
    }
    return 0;
}
