#pragma once
// Radii of the elements, Angstroms, as gemmi tabulates them: covalent radii of Cordero et
// al., Dalton Trans. 2008, 2832; van der Waals radii of Mantina et al., J. Phys. Chem. A
// 113 (2009) 5806, and Bondi, J. Phys. Chem. 68 (1964) 441.

#include <string>
#include <string_view>

namespace lamivex::model {

[[nodiscard]] bool isKnownElement(std::string_view symbol);  // "Cu", "C"; not "X" or "Qq"
// The symbol as the periodic table writes it: "cu" and "CU" become "Cu".
[[nodiscard]] std::string elementSymbol(std::string_view symbol);
[[nodiscard]] double covalentRadius(std::string_view symbol);
[[nodiscard]] double vanDerWaalsRadius(std::string_view symbol);

}  // namespace lamivex::model
