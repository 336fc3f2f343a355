#include "gemmi_reader.h"

#define USE_STD_SNPRINTF
#include <gemmi/cif.hpp>
#include <gemmi/smcif.hpp>

namespace lamivex::testing {

GemmiStructure readCifWithGemmi(const std::string& text) {
    const gemmi::cif::Document document = gemmi::cif::read_string(text);
    const gemmi::SmallStructure small =
        gemmi::make_small_structure_from_block(document.blocks.at(0));
    GemmiStructure structure;
    structure.cell = {small.cell.a,     small.cell.b,    small.cell.c,
                      small.cell.alpha, small.cell.beta, small.cell.gamma};
    structure.spaceGroup = small.spacegroup_hm;
    for (const gemmi::SmallStructure::Site& site : small.sites) {
        structure.atoms.push_back(
            {site.element.name(), {site.fract.x, site.fract.y, site.fract.z}});
    }
    return structure;
}

}  // namespace lamivex::testing
