#pragma once
// Spots measured on a LEED screen, as an image gives them: x to the right, y downwards, in
// pixels or any other linear unit, and optionally what the user knows each spot to be.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace lamivex::fit {

enum class SpotKind { Unknown, Substrate, Overlayer };

// "", "substrate", "overlayer".
[[nodiscard]] const char* kindName(SpotKind kind);
// nullopt for a text other than those three (blanks around it ignored, case ignored).
[[nodiscard]] std::optional<SpotKind> kindFromName(std::string_view text);

struct Spot {
    double x = 0;  // to the right
    double y = 0;  // downwards
    SpotKind kind = SpotKind::Unknown;
};

// A point on the screen in the spots' own coordinates (x right, y down).
struct ScreenPoint {
    double x = 0;
    double y = 0;
};

// The spots cannot give a cell: too few of them, nothing that indexes as the substrate, or no
// lattice that explains them. The message is one line for the user.
class FitError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace lamivex::fit
