#pragma once
// The Miller planes of a crystal up to a largest index, one of each set the space group makes
// equivalent. A plane and its opposite face, (h k l) and (-h -k -l), have the same surface
// mesh, so they count as one set also in groups without a centre of symmetry.

#include <array>
#include <string>
#include <vector>

namespace lamivex::screening {

using Miller = std::array<int, 3>;

// The planes with every |index| <= maxIndex, not all 0 and without a common factor (the
// (2 0 0) mesh is the (1 0 0) mesh). Each set is named by a member with the smallest largest
// index, the largest of those in the order of (h, k, l): (1 1 0) on hexagonal axes, not its
// equivalent (2 -1 0). The sets come in the order of their names, largest first: a cubic
// crystal gives (1 1 1), (1 1 0), (1 0 0). spaceGroup is a Hermann-Mauguin symbol as gemmi
// knows it; throws std::invalid_argument for one it does not know.
[[nodiscard]] std::vector<Miller> distinctPlanes(const std::string& spaceGroup, int maxIndex);

}  // namespace lamivex::screening
