#pragma once
// "From matrix…" in the Overlayer block: asks for a transformation matrix, fills b1, b2 and
// beta with the overlayer it describes on the substrate typed in the window, and centres the
// azimuth range on its angle.

class QWidget;

namespace lamivex::app {

struct MainFormControls;
class Services;

// Returns whether the fields were filled.
bool fillOverlayerFromMatrix(const MainFormControls& controls, Services& services, QWidget* window);

}  // namespace lamivex::app
