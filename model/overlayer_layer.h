#pragma once
// The overlayer as one layer of atoms in its own 2D cell: the top layer of a crystal's
// plane, or the atoms of an XYZ file that gives the cell.
//
// The XYZ layer file is extended XYZ as ASE writes it:
//     line 1   the number of atoms N
//     line 2   Lattice="ax ay az bx by bz cx cy cz" (Angstroms; other key=value pairs are
//              ignored); a and b are the layer's cell and lie in the xy plane, b
//              anticlockwise of a; c is not used
//     N lines  element x y z (Cartesian, Angstroms); further columns are ignored
// The atoms' heights are counted from the lowest, which faces the substrate.

#include <istream>
#include <string>
#include <vector>

#include "model/plane_layers.h"

namespace lamivex::model {

struct OverlayerLayer {
    std::string name;  // "graphene(001)", the XYZ file's name
    double b1 = 0;     // Angstroms
    double b2 = 0;
    double beta = 0;               // degrees, from b1 to b2
    std::vector<LayerAtom> atoms;  // heights from 0 up
};

// The top layer of the plane's stack.
[[nodiscard]] OverlayerLayer overlayerFromPlane(const PlaneLayers& plane);

// Throws std::invalid_argument naming the line of name that is wrong.
[[nodiscard]] OverlayerLayer readOverlayerXyz(std::istream& in, const std::string& name);
[[nodiscard]] OverlayerLayer readOverlayerXyzFile(const std::string& path);

}  // namespace lamivex::model
