#include "output/match_table_csv.h"

namespace lamivex::output {

void writeMatchTableCsv(std::ostream& out, bool overlayerIterated,
                        std::span<const std::string> matchRecords) {
    out << (overlayerIterated ? "match,angle,vvo,b1,b2,beta" : "match,angle,vvo,a1,a2,alpha")
        << ",m11,m12,m21,m22,area\n";
    int k = 0;
    for (const std::string& record : matchRecords) {
        out << ++k << ',';
        for (const char c : record) {
            out << (c == '\t' ? ',' : c);
        }
        out << '\n';
    }
}

}  // namespace lamivex::output
