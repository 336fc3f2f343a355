#include "output/match_table_csv.h"

#include <string>

#include <fmt/format.h>

namespace lamivex::output {
namespace {

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return out + '"';
}

}  // namespace

void writeMatchTableCsv(std::ostream& out, bool overlayerIterated,
                        std::span<const MatchCsvRow> rows) {
    out << (overlayerIterated ? "match,angle,vvo,b1,b2,beta" : "match,angle,vvo,a1,a2,alpha")
        << ",m11,m12,m21,m22,area,epitaxy,b1_multiple,b2_multiple\r\n";
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const MatchCsvRow& r = rows[k];
        // fmt writes the shortest text that reads back to the same value, in any locale.
        out << fmt::format("{},{},{},{},{},{},{},{},{},{},{},{},{},{}\r\n", k + 1, r.angle, r.vvo,
                           r.constants[0], r.constants[1], r.constants[2], r.m11, r.m12, r.m21,
                           r.m22, r.area, quoted(r.epitaxy), r.b1Multiple, r.b2Multiple);
    }
}

}  // namespace lamivex::output
