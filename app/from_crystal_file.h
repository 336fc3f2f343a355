#pragma once
// "From crystal file…" in the Substrate and Overlayer blocks: a CIF file, then the plane
// (h k l); the surface mesh is shown, and on Yes fills the block's name and lattice fields
// (a substrate's symmetry too).

class QWidget;

namespace lamivex::app {

struct MainFormControls;
class Services;

enum class LatticeBlock { Substrate, Overlayer };

void fillFromCrystalFile(const MainFormControls& controls, Services& services, QWidget* window,
                         LatticeBlock block);

}  // namespace lamivex::app
