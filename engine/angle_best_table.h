#pragma once
// Condenses a scan's tables to one row per azimuth step: the lowest V/Vo over all pairs
// of multiples, with its multiples and matrix. The graph, the report file and the
// printout read this table.

#include <vector>

#include "engine/scan_results.h"

namespace lamivex::engine {

struct AngleBestRow {
    double minVVo = kNoValue;  // stays 10 when no pair is below it
    double b1Multiple = 0;     // the other columns stay empty (0) then
    double b2Multiple = 0;
    double m11 = 0;
    double m12 = 0;
    double m21 = 0;
    double m22 = 0;

    static constexpr double kNoValue = 10;
};

using AngleBestTable = std::vector<AngleBestRow>;

// Per step k, pairs in the order j outer, i inner; only a strictly lower value replaces
// the row, so among equal values the smaller j, then the smaller i, stays.
[[nodiscard]] AngleBestTable buildAngleBestTable(const ScanResults& results);

// AngleMinVVo(k) = the table's lowest V/Vo of step k.
void fillAngleMinVVo(ScanResults& results, const AngleBestTable& table);

}  // namespace lamivex::engine
