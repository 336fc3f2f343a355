#include "output/angle_table_csv.h"

#include <stdexcept>

#include <fmt/format.h>

namespace lamivex::output {

void writeAngleTableCsv(std::ostream& out, std::span<const float> azimuthAngles,
                        std::span<const engine::AngleBestRow> table) {
    if (azimuthAngles.size() != table.size()) {
        throw std::invalid_argument(
            fmt::format("{} angles but {} table rows.", azimuthAngles.size(), table.size()));
    }
    // RFC 4180: every line ends in CR LF.
    out << kAngleTableCsvHeader << "\r\n";
    for (std::size_t k = 0; k < table.size(); ++k) {
        const engine::AngleBestRow& r = table[k];
        // fmt writes the shortest round-trip form, independent of the locale.
        out << fmt::format("{},{},{},{},{},{},{},{}\r\n", azimuthAngles[k], r.minVVo, r.b1Multiple,
                           r.b2Multiple, r.m11, r.m12, r.m21, r.m22);
    }
}

}  // namespace lamivex::output
