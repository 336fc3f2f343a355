#pragma once
// The matches of an iteration run as a CSV table for spreadsheets and notebooks: RFC 4180
// (a header row, lines ending in CR LF, text quoted), '.' as the decimal point and every
// number at full precision, one row per match with its number first.

#include <array>
#include <ostream>
#include <span>
#include <string>

namespace lamivex::output {

struct MatchCsvRow {
    float angle = 0;  // degrees
    double vvo = 0;
    // The iterated lattice's constants as the trial read them (b1, b2, beta or a1, a2,
    // alpha), before any multiple, Angstroms and degrees.
    std::array<float, 3> constants{};
    double m11 = 0;
    double m12 = 0;
    double m21 = 0;
    double m22 = 0;
    double area = 0;      // square Angstroms
    std::string epitaxy;  // what the match means, one line
    int b1Multiple = 1;   // the supercell (i·b1, j·b2) of a geometric run
    int b2Multiple = 1;
};

// The header names the iterated lattice's constants; every number is written as the
// shortest text that reads back to it (a trial value as the single the run read).
void writeMatchTableCsv(std::ostream& out, bool overlayerIterated,
                        std::span<const MatchCsvRow> rows);

}  // namespace lamivex::output
