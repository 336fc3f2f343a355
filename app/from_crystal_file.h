#pragma once
// "From crystal file…" in the Substrate and Overlayer blocks: a CIF file, then the plane
// (h k l); the surface mesh is shown, and on Yes fills the block's name and lattice fields
// (a substrate's symmetry too) with the shortest texts that read back as the mesh's singles.

#include <optional>
#include <string>

class QWidget;

namespace lamivex::app {

struct MainFormControls;
class Services;

enum class LatticeBlock { Substrate, Overlayer };

// The crystal file and plane a block was filled from, for the structure model of a solution.
struct CrystalFileChoice {
    std::string file;
    std::string hkl;   // "h k l"
    std::string name;  // the name the block was given: "Pt(111)"
};

// The file and plane when the fields were filled, else nullopt.
std::optional<CrystalFileChoice> fillFromCrystalFile(const MainFormControls& controls,
                                                     Services& services, QWidget* window,
                                                     LatticeBlock block);

}  // namespace lamivex::app
