#pragma once
// The printout of an iteration run: the header and lattices as the data file has them
// (the substrate lengths in the report's wording), the iterated ranges, a heading with a
// "Match" column and one numbered line per match record. Pages are display lists in
// points on the printable area of the other printouts; tabs become aligned columns.

#include <string>
#include <vector>

#include "output/display_list.h"
#include "output/iteration_data_file.h"

namespace lamivex::output {

inline constexpr int kIterationTabWidth = 8;  // characters between column starts

// Every line in order, tabs kept; blank lines are empty strings.
[[nodiscard]] std::vector<std::string> iterationPrintoutLines(const IterationDataInputs& in);

// Tabs replaced by blanks up to the next multiple of kIterationTabWidth characters.
[[nodiscard]] std::string expandTabs(const std::string& line);

// The lines a page holds, from the page height and the line spacing of the printouts.
[[nodiscard]] int iterationLinesPerPage();

// The printout's pages; a full page continues on the next, without a repeated heading.
[[nodiscard]] Pages iterationPrintoutPages(const IterationDataInputs& in);

}  // namespace lamivex::output
