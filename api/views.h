#pragma once
// The real-space picture and the LEED pattern of an orientation: the subject (the lattices and
// the azimuth, from a matrix, an angle or the best orientation of the scan the lattices
// describe), the computed scene or pattern and the picture as a display list.

#include <optional>
#include <string>

#include "api/lattice_request.h"
#include "api/locations.h"
#include "engine/interpretation.h"
#include "output/display_list.h"
#include "views/leed.h"
#include "views/real_space.h"
#include "views/view_subject.h"

namespace lamivex::api {

struct ViewRequest {
    LatticeRequest lattice;
    std::optional<engine::Matrix2> matrix;  // the overlayer at the matrix's own azimuth
    std::optional<double> angle;            // degrees; unset: the scan's best orientation
    std::optional<double> b1Multiple;       // the supercell outlined, 1..1000
    std::optional<double> b2Multiple;
    double zoom = 1;  // 1..1000
};

struct LeedRequest {
    ViewRequest view;
    double energyEv = 60;
    bool allDomains = true;  // false: the overlayer as it lies, one domain
    bool mirrors = true;
    bool multipleScattering = false;
    bool oneColour = false;
};

struct RealSpaceView {
    views::ViewSubject subject;
    views::RealSpaceScene scene;
    output::DisplayList picture;
    std::string caption;  // "Real space at 30.00°"
    engine::Matrix2 matrix;
};

struct LeedView {
    views::ViewSubject subject;
    views::LeedPattern pattern;
    std::size_t orientations = 1;  // of the substrate's symmetry, 1 for one domain
    output::DisplayList picture;
    std::string caption;  // "LEED at 30.00°, 60 eV"
    engine::Matrix2 matrix;
};

// The lattices and orientation a picture shows, from the main window's fields: the matrix's
// (refused when the overlayer or the range is given as well), the angle, or the best
// orientation of the scan the fields describe.
[[nodiscard]] views::ViewSubject viewSubject(const engine::MainFieldTexts& fields,
                                             const std::optional<engine::Matrix2>& matrix,
                                             std::optional<double> angle,
                                             bool overlayerOrRangeGiven);

// Throw numbers::InputError naming the option for a refused value.
[[nodiscard]] RealSpaceView viewRealSpace(const ViewRequest& request,
                                          const Locations& locations = {});
[[nodiscard]] LeedView viewLeed(const LeedRequest& request, const Locations& locations = {});

}  // namespace lamivex::api
