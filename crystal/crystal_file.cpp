#include "crystal/crystal_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string_view>

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
            // Only the whole numbers 1 to 230 name a space group: 0 is not P 1, 225.7 not 225.
            if (!(number >= 1 && number <= 230 && number == std::floor(number))) {
                throw std::invalid_argument(
                    fmt::format("{} gives the space group number {}, which is not a whole "
                                "number from 1 to 230.",
                                name, *value));
            }
            const gemmi::SpaceGroup* group =
                gemmi::find_spacegroup_by_number(static_cast<int>(number));
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

// The six items a cell needs; gemmi would take 1 Å and 90° for any that is missing.
constexpr std::array<const char*, 6> kCellItems = {"_cell_length_a",   "_cell_length_b",
                                                   "_cell_length_c",   "_cell_angle_alpha",
                                                   "_cell_angle_beta", "_cell_angle_gamma"};

bool hasCellItem(const gemmi::cif::Block& block) {
    return std::any_of(kCellItems.begin(), kCellItems.end(),
                       [&block](const char* tag) { return block.find_value(tag) != nullptr; });
}

void checkCellItems(const gemmi::cif::Block& block, const std::string& name) {
    for (const char* tag : kCellItems) {
        const std::string* value = block.find_value(tag);
        if (value == nullptr) {
            throw std::invalid_argument(fmt::format(
                "{} gives no {}; the cell needs its three lengths and three angles.", name, tag));
        }
        if (gemmi::cif::is_null(*value)) {
            throw std::invalid_argument(fmt::format(
                "{} gives {} as '{}' (not known); the cell needs every length and angle.", name,
                tag, *value));
        }
        if (!std::isfinite(gemmi::cif::as_number(*value))) {
            throw std::invalid_argument(
                fmt::format("{} gives {} as '{}', which is not a number.", name, tag, *value));
        }
    }
}

// The file's text without a leading UTF-8 byte-order mark, which editors on some systems
// write and the CIF grammar does not allow.
std::string textWithoutByteOrderMark(const std::string& path, const std::string& name) {
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        throw std::invalid_argument(fmt::format("{} cannot be read.", name));
    }
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0) {
        text.erase(0, kByteOrderMark.size());
    }
    return text;
}

}  // namespace

BulkLattice readCrystalFile(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    if (!std::filesystem::is_regular_file(path)) {
        throw std::invalid_argument(fmt::format("{} is not a file that can be read.", path));
    }
    gemmi::cif::Document document;
    try {
        const std::string text = textWithoutByteOrderMark(path, name);
        document = gemmi::cif::read_memory(text.data(), text.size(), name.c_str());
    } catch (const std::exception& error) {
        throw std::invalid_argument(fmt::format("{} is not a CIF file: {}", name, error.what()));
    }
    if (document.blocks.empty()) {
        throw std::invalid_argument(fmt::format("{} holds no data block.", name));
    }
    // The first block that has a cell, so that a file of several blocks still reads.
    for (const gemmi::cif::Block& block : document.blocks) {
        if (!hasCellItem(block)) {
            continue;
        }
        checkCellItems(block, name);
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
