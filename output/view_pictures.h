#pragma once
// The two pictures of a solution as display lists: the overlayer on the substrate in real
// space, coloured by registry, with a colour scale; and the LEED pattern with a colour per
// domain. Both keep the same scale along x and y (Angstroms, 1/Angstrom), y upward.

#include <string>

#include "output/display_list.h"
#include "views/leed.h"
#include "views/real_space.h"

namespace lamivex::output {

struct ViewPictureOptions {
    double zoom = 1;      // 1 shows everything; 2 shows the middle half across
    std::string caption;  // one line above the picture
};

// The registry colour scale: 0 (on a site) dark blue to 0.5 and beyond (half-way or more to
// the next site) yellow.
[[nodiscard]] Rgb registryColour(double registry);

// The colour of domain d (0, 1, ...), or of every overlayer spot when one colour is wanted.
[[nodiscard]] Rgb domainColour(int domain);
inline constexpr Rgb kOneOverlayerColour{200, 30, 30};

// The zoom at which the real-space picture opens: the cells around the origin (two of the
// supercell, or of the overlayer cell, across each way, at least three substrate spacings)
// rather than the whole domain, which zoom 1 shows; 1 when the domain is no larger.
[[nodiscard]] double realSpaceOpeningZoom(const views::RealSpaceScene& scene);

// The sites in one group per colour, the cells outlined, the vectors a1, a2, b1 and b2 drawn
// and named where they are long enough to read, a registry colour scale and a scale bar in
// Angstroms; a footnote when the domain was cropped.
[[nodiscard]] DisplayList realSpacePicture(const views::RealSpaceScene& scene,
                                           const ViewPictureOptions& options = {});

// The spots, with a legend of the energy, the substrate's spots and each domain by its
// azimuth, and a scale bar in inverse Angstroms.
struct LeedPictureOptions : ViewPictureOptions {
    bool oneColour = false;
};
[[nodiscard]] DisplayList leedPicture(const views::LeedPattern& pattern,
                                      const LeedPictureOptions& options = {});

// A view on a printed page: across the page's width, at its top, in its own proportions.
[[nodiscard]] DisplayList viewPrintPage(const DisplayList& picture);

// "+19.1°", "−19.1° mirrored": the azimuth of the domain's b1 from a1 within (−90°, 90°], a
// tenth of a degree, and whether it is a mirror image of the overlayer as it lies.
[[nodiscard]] std::string domainLabel(const views::Domain& domain);

}  // namespace lamivex::output
