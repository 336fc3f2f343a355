#pragma once
// A CIF text read back by gemmi, as another program would read the model's file.

#include <array>
#include <string>
#include <vector>

namespace lamivex::testing {

struct GemmiAtom {
    std::string element;
    std::array<double, 3> fraction;
};

struct GemmiStructure {
    std::array<double, 6> cell;  // a, b, c, alpha, beta, gamma
    std::string spaceGroup;
    std::vector<GemmiAtom> atoms;
};

[[nodiscard]] GemmiStructure readCifWithGemmi(const std::string& text);

}  // namespace lamivex::testing
