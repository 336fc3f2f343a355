#include "model/crystal_atoms.h"

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

#include "crystal/crystal_file.h"

namespace lamivex::model {
namespace {

double wrapped(double x) {
    x -= std::floor(x);
    return x >= 1 - 1e-9 ? 0 : x;  // 0.9999999999 is the atom at 0
}

}  // namespace

CrystalAtoms readCrystalAtoms(const std::string& path) {
    CrystalAtoms crystal;
    // The cell, space group and centring as every other command reads them; this refuses
    // files that are not there or not CIF with the crystal reader's own messages.
    crystal.bulk = crystal::readCrystalFile(path);
    crystal.fileName = std::filesystem::path(path).filename().string();
    gemmi::SmallStructure structure;
    try {
        const gemmi::cif::Document document = gemmi::cif::read_file(path);
        for (const gemmi::cif::Block& block : document.blocks) {
            if (block.name == crystal.bulk.name) {
                structure = gemmi::make_small_structure_from_block(block);
                break;
            }
        }
    } catch (const std::exception& error) {
        throw std::invalid_argument(
            fmt::format("{} has atoms gemmi cannot read: {}", crystal.fileName, error.what()));
    }
    if (structure.sites.empty()) {
        throw std::invalid_argument(
            fmt::format("{} lists no atoms (_atom_site_fract_x, _y, _z): a plane without atoms "
                        "gives no slab",
                        crystal.fileName));
    }
    const gemmi::SpaceGroup* group = gemmi::find_spacegroup_by_name(
        crystal.bulk.spaceGroup, structure.cell.alpha, structure.cell.gamma);
    structure.cell.set_cell_images_from_spacegroup(group);
    for (const gemmi::SmallStructure::Site& site : structure.get_all_unit_cell_sites()) {
        if (site.element == gemmi::El::X) {
            throw std::invalid_argument(fmt::format("{}: the atom {} is of no known element",
                                                    crystal.fileName, site.label));
        }
        crystal.atoms.push_back(
            {site.element.name(),
             {wrapped(site.fract.x), wrapped(site.fract.y), wrapped(site.fract.z)}});
    }
    return crystal;
}

}  // namespace lamivex::model
