#include "crystal/crystal_file.h"

#include <cmath>
#include <exception>
#include <filesystem>
#include <stdexcept>

// gemmi's number printing needs a header Debian leaves out; reading needs none of it.
#define USE_STD_SNPRINTF
#include <gemmi/cif.hpp>
#include <gemmi/smcif.hpp>
#include <gemmi/symmetry.hpp>

#include <fmt/format.h>

namespace lamivex::crystal {
namespace {

const gemmi::SpaceGroup* spaceGroupOf(const gemmi::cif::Block& block,
                                      const gemmi::SmallStructure& structure,
                                      const std::string& name) {
    if (!structure.spacegroup_hm.empty()) {
        const gemmi::SpaceGroup* group = structure.find_spacegroup();
        if (group == nullptr) {
            throw std::invalid_argument(
                fmt::format("{} names the space group '{}', which is not known.", name,
                            structure.spacegroup_hm));
        }
        return group;
    }
    for (const char* tag : {"_space_group_IT_number", "_symmetry_Int_Tables_number"}) {
        if (const std::string* value = block.find_value(tag)) {
            const double number = gemmi::cif::as_number(*value);
            const gemmi::SpaceGroup* group =
                std::isfinite(number) ? gemmi::find_spacegroup_by_number(static_cast<int>(number))
                                      : nullptr;
            if (group == nullptr) {
                throw std::invalid_argument(fmt::format(
                    "{} gives the space group number {}, which is not known.", name, *value));
            }
            return group;
        }
    }
    throw std::invalid_argument(fmt::format(
        "{} gives no space group (_space_group_name_H-M_alt, _symmetry_space_group_name_H-M or "
        "_space_group_IT_number).",
        name));
}

}  // namespace

BulkLattice readCrystalFile(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    if (!std::filesystem::is_regular_file(path)) {
        throw std::invalid_argument(fmt::format("{} is not a file that can be read.", path));
    }
    gemmi::cif::Document document;
    try {
        document = gemmi::cif::read_file(path);
    } catch (const std::exception& error) {
        throw std::invalid_argument(fmt::format("{} is not a CIF file: {}", name, error.what()));
    }
    if (document.blocks.empty()) {
        throw std::invalid_argument(fmt::format("{} holds no data block.", name));
    }
    // The first block that has a cell, so that a file of several blocks still reads.
    for (const gemmi::cif::Block& block : document.blocks) {
        const bool hasCell = block.find_value("_cell_length_a") != nullptr &&
                             block.find_value("_cell_length_b") != nullptr &&
                             block.find_value("_cell_length_c") != nullptr;
        if (!hasCell) {
            continue;
        }
        gemmi::SmallStructure structure;
        try {
            structure = gemmi::make_small_structure_from_block(block);
        } catch (const std::exception& error) {
            // gemmi refuses cells it cannot compute with (an angle of 0°) by throwing.
            throw std::invalid_argument(
                fmt::format("{} gives no usable cell: {}", name, error.what()));
        }
        const gemmi::SpaceGroup* group = spaceGroupOf(block, structure, name);
        BulkLattice bulk;
        bulk.a = structure.cell.a;
        bulk.b = structure.cell.b;
        bulk.c = structure.cell.c;
        bulk.alpha = structure.cell.alpha;
        bulk.beta = structure.cell.beta;
        bulk.gamma = structure.cell.gamma;
        bulk.spaceGroup = group->hm;
        bulk.name = block.name;
        for (const gemmi::Op::Tran& t : group->operations().cen_ops) {
            if (t != gemmi::Op::Tran{0, 0, 0}) {
                bulk.centring.push_back({t[0], t[1], t[2]});
            }
        }
        return bulk;
    }
    throw std::invalid_argument(fmt::format(
        "{} gives no cell (_cell_length_a, _cell_length_b, _cell_length_c and the angles).", name));
}

}  // namespace lamivex::crystal
