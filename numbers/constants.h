#pragma once
// The constants the program's formulas are written with. pi is the 12-digit value the
// program has always used, not the full-precision one, so that results repeat to the digit.

namespace lamivex::numbers {

inline constexpr double kPi = 3.14159265359;
inline constexpr double kDegree = 0.017453292519944444;  // kPi / 180, degrees to radians

}  // namespace lamivex::numbers
