#pragma once
// The main window's lattice and scan fields as command-line options, shared by the
// commands that run scans.

#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "engine/lattice.h"

namespace lamivex::cli {

struct LatticeOptions {
    engine::MainFieldTexts fields;
    std::optional<std::string> maxMultiple;  // not given: no geometric search
    std::string substrateFrom;  // FILE:NAME of a structure database, empty when not given
    std::string overlayerFrom;
    std::string substrateCif;  // a crystal file and the plane whose mesh is the substrate
    std::string substrateHkl;
    std::string overlayerCif;
    std::string overlayerHkl;
    bool nonHexagonal = false;  // --non-hexagonal: keep a hexagonal record non-hexagonal
    std::string symmetryTaken;  // set when a record turned the hexagonal choice on
};

// --a1 --a2 --alpha --hexagonal --b1 --b2 --beta --m --n --lower --upper --spacing
// --max-multiple --substrate-name --overlayer-name, bound to options.
void addLatticeOptions(CLI::App& command, LatticeOptions& options);

// --substrate-from FILE:NAME and --overlayer-from FILE:NAME, and --substrate-cif FILE with
// --substrate-hkl "h k l" (and the overlayer's), bound to options.
void addDatabasePickOptions(CLI::App& command, LatticeOptions& options);

// A record taken from a database, or a crystal file's surface mesh, fills the lattice fields as a
// pick fills the window's fields; a lattice option given explicitly on the command line wins over
// the record. A substrate record with a1 = a2 and alpha = 60 turns the hexagonal choice on, unless
// --non-hexagonal is given.
void applyDatabasePicks(const CLI::App& command, LatticeOptions& options);

// The fields as the main window holds them, with the geometric search ticked when
// --max-multiple was given. Its text must be a whole number, as the help says (the window's
// field rounds 2.5 to 2); InputError otherwise.
[[nodiscard]] engine::MainFieldTexts fieldsFrom(const LatticeOptions& options);

}  // namespace lamivex::cli
