#pragma once
// A structure model seen from above, as a display list: the atoms of its top substrate layer
// and of its overlayer in the outline of the cell. Lengths in Angstroms, x to the right and
// y up as in the model.

#include <span>
#include <string>

#include "output/display_list.h"

namespace lamivex::output {

struct TopViewAtom {
    double x = 0;  // Angstroms
    double y = 0;
    bool substrate = true;
    std::string element;
};

// The cell's vectors a and b (Angstroms, in the surface plane). Substrate atoms are grey
// discs, the overlayer's are coloured by element (the first element blue, then red, green,
// ...), each labelled once in a legend beneath.
[[nodiscard]] DisplayList modelTopView(std::span<const TopViewAtom> atoms, Point a, Point b);

}  // namespace lamivex::output
