#pragma once
// The per-angle table of a run as CSV for spreadsheets and plotting tools: a header row,
// then one row per azimuth step with every number at full precision (the shortest text
// that reads back to the same value) and '.' as the decimal point; RFC 4180, lines ending in
// CR LF.

#include <ostream>
#include <span>

#include "engine/angle_best_table.h"

namespace lamivex::output {

inline constexpr const char* kAngleTableCsvHeader =
    "angle,vvo,b1_multiple,b2_multiple,m11,m12,m21,m22";

// angle in degrees; m11..m22 in the convention b1 = m11·a1 + m12·a2, b2 = m21·a1 + m22·a2.
// Throws std::invalid_argument when the two spans differ in length.
void writeAngleTableCsv(std::ostream& out, std::span<const float> azimuthAngles,
                        std::span<const engine::AngleBestRow> table);

}  // namespace lamivex::output
