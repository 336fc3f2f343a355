#pragma once
// The matches of an iteration run as a CSV table for spreadsheets: a header row, then one
// row per match record with its number first.

#include <ostream>
#include <span>
#include <string>

namespace lamivex::output {

// angle in degrees, lengths in Angstroms, area in square Angstroms. The header names the iterated
// lattice's constants (b1, b2, beta or a1, a2, alpha). The records' tab-separated "0.00" fields
// become comma-separated columns; a last column "epitaxy" says what each match means (one text
// per record, quoted as RFC 4180 quotes text).
void writeMatchTableCsv(std::ostream& out, bool overlayerIterated,
                        std::span<const std::string> matchRecords,
                        std::span<const std::string> epitaxy);

}  // namespace lamivex::output
