#pragma once
// The real-space and LEED views as the command line prints them: the JSON members before the
// inputs that repeat the picture, and a short summary as text.

#include <cstddef>
#include <ostream>

#include "output/json_writer.h"
#include "views/leed.h"
#include "views/real_space.h"
#include "views/view_subject.h"

namespace lamivex::output {

// "angle", the multiples, "matrix", the substrate, overlayer and supercell bases, the
// registry and one object per overlayer point.
void writeRealSpaceJson(JsonWriter& json, const views::ViewSubject& subject,
                        const views::RealSpaceScene& scene);
// The points, the sites and the registry in two lines.
void writeRealSpaceText(std::ostream& out, const views::ViewSubject& subject,
                        const views::RealSpaceScene& scene);

// "angle", the multiples, "matrix", the energy, the orientations, the distinct domains and
// every spot with its source, domain and indices.
void writeLeedJson(JsonWriter& json, const views::ViewSubject& subject,
                   const views::LeedPattern& pattern, std::size_t orientations);
// The pattern's domains and how many spots each gives.
void writeLeedText(std::ostream& out, const views::LeedPattern& pattern, std::size_t orientations,
                   bool multipleScattering);

// A spot's "domain" (null for the substrate's), "h" and "k".
void writeSpotIndexJson(JsonWriter& json, int domain, int h, int k);

}  // namespace lamivex::output
