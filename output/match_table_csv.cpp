#include "output/match_table_csv.h"

#include <string>

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
                        std::span<const std::string> matchRecords,
                        std::span<const std::string> epitaxy) {
    out << (overlayerIterated ? "match,angle,vvo,b1,b2,beta" : "match,angle,vvo,a1,a2,alpha")
        << ",m11,m12,m21,m22,area,epitaxy\n";
    for (std::size_t k = 0; k < matchRecords.size(); ++k) {
        out << k + 1 << ',';
        for (const char c : matchRecords[k]) {
            out << (c == '\t' ? ',' : c);
        }
        out << ',' << (k < epitaxy.size() ? quoted(epitaxy[k]) : std::string()) << '\n';
    }
}

}  // namespace lamivex::output
