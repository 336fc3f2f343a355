#include "views/plane.h"

#include <numbers>
#include <utility>

namespace lamivex::views {

PlaneMap rotation(double radians) {
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    return {c, -s, s, c};
}

PlaneMap mirror(double lineRadians) {
    const double c = std::cos(2 * lineRadians);
    const double s = std::sin(2 * lineRadians);
    return {c, s, s, -c};
}

PlaneMap operator*(const PlaneMap& a, const PlaneMap& b) {
    return {a.xx * b.xx + a.xy * b.yx, a.xx * b.xy + a.xy * b.yy, a.yx * b.xx + a.yy * b.yx,
            a.yx * b.xy + a.yy * b.yy};
}

}  // namespace lamivex::views
