#pragma once
// "From crystal file…" in the Substrate and Overlayer blocks: a CIF file, then the plane
// (h k l); the surface mesh is shown, and on Yes fills the block's name and lattice fields
// (a substrate's symmetry too) with the shortest texts that read back as the mesh's singles.

class QWidget;

namespace lamivex::app {

struct MainFormControls;
class Services;

enum class LatticeBlock { Substrate, Overlayer };

// Returns whether the fields were filled.
bool fillFromCrystalFile(const MainFormControls& controls, Services& services, QWidget* window,
                         LatticeBlock block);

}  // namespace lamivex::app
