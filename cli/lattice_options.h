#pragma once
// The main window's lattice and scan fields as command-line options, shared by the
// commands that run scans.

#include <string>

#include <CLI/CLI.hpp>

#include "engine/lattice.h"

namespace lamivex::cli {

struct LatticeOptions {
    engine::MainFieldTexts fields;
    std::string maxMultiple;  // empty: no geometric search
};

// --a1 --a2 --alpha --hexagonal --b1 --b2 --beta --m --n --lower --upper --spacing
// --max-multiple --substrate-name --overlayer-name, bound to options.
void addLatticeOptions(CLI::App& command, LatticeOptions& options);

// The fields as the main window holds them, with the geometric search ticked when
// --max-multiple was given.
[[nodiscard]] engine::MainFieldTexts fieldsFrom(const LatticeOptions& options);

}  // namespace lamivex::cli
