#include "screening/equivalent_planes.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <numeric>
#include <set>
#include <stdexcept>

#include <gemmi/symmetry.hpp>

namespace lamivex::screening {
namespace {

int largestIndex(const Miller& hkl) {
    return std::max({std::abs(hkl[0]), std::abs(hkl[1]), std::abs(hkl[2])});
}

// A set is named by a member with the smallest largest index (on hexagonal axes (1 1 0), not
// its equivalent (2 -1 0)), and among those by the largest in the order of (h, k, l).
bool simplerName(const Miller& candidate, const Miller& name) {
    const int c = largestIndex(candidate);
    const int n = largestIndex(name);
    return c != n ? c < n : candidate > name;
}

}  // namespace

std::vector<Miller> distinctPlanes(const std::string& spaceGroup, int maxIndex) {
    const gemmi::SpaceGroup* group = gemmi::find_spacegroup_by_name(spaceGroup);
    if (group == nullptr) {
        throw std::invalid_argument("the space group '" + spaceGroup + "' is not known");
    }
    // Reciprocal vectors turn with the rotation parts only; the translations do not matter.
    const gemmi::GroupOps ops = group->operations();
    std::set<Miller, std::greater<>> names;
    for (int h = -maxIndex; h <= maxIndex; ++h) {
        for (int k = -maxIndex; k <= maxIndex; ++k) {
            for (int l = -maxIndex; l <= maxIndex; ++l) {
                if (std::gcd(std::gcd(h, k), l) != 1) {
                    continue;  // 0 0 0, or a multiple of a plane already counted
                }
                Miller name{h, k, l};
                for (const gemmi::Op& op : ops.sym_ops) {
                    const Miller image = op.apply_to_hkl({h, k, l});
                    for (const Miller& member : {image, Miller{-image[0], -image[1], -image[2]}}) {
                        if (simplerName(member, name)) {
                            name = member;
                        }
                    }
                }
                names.insert(name);
            }
        }
    }
    return {names.begin(), names.end()};
}

}  // namespace lamivex::screening
