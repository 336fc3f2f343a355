#include "crystal/crystal_result.h"

#include "numbers/number_text.h"

namespace lamivex::crystal {

std::string resultLabelText(const CrystalResult& result) {
    if (!result.value) {
        return "undefined: " + result.reason;
    }
    return numbers::formatFixed2(*result.value);
}

ResultControls resultControls(ResultKind kind) {
    switch (kind) {
        case ResultKind::PlaneSpacing:
            return {"ChkPlaneSpace", "Plane Spacing (hkl)", "LblSpacing", "Angstroms"};
        case ResultKind::InterplanarAngle:
            return {"ChkPlaneangle", "Interplanar Angles", "LblPlaneAngle", "degrees"};
        case ResultKind::DirectionAngle:
            return {"ChkMillerangle", "Angle between Miller directions", "LblDirAngle", "degrees"};
        case ResultKind::Volume:
            return {"ChkVolume", "Cell Volume", "LblVol", "cubic Angstroms"};
    }
    return {};
}

}  // namespace lamivex::crystal
