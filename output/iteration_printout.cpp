#include "output/iteration_printout.h"

#include <cmath>

#include "numbers/number_text.h"
#include "output/printed_report.h"

namespace lamivex::output {
namespace {

// Positions of the data file's header lines (0-based).
constexpr std::size_t kDateLine = 3;
constexpr std::size_t kSubstrateLine = 4;
constexpr std::size_t kSymmetryLine = 8;
constexpr std::size_t kOverlayerLine = 9;
constexpr std::size_t kIterationParametersLine = 13;

std::string f6(const std::string& fieldText) {
    return numbers::rightJustify(numbers::fieldAsFixed2(fieldText), 6);
}

}  // namespace

std::vector<std::string> iterationPrintoutLines(const IterationDataInputs& in) {
    const std::vector<std::string> file = iterationDataHeaderLines(in);
    const engine::MainFieldTexts& f = in.fields;
    std::vector<std::string> lines = {
        "",
        file[0],
        file[1],
        file[2],
        "",
        file[kDateLine],
        "",
        file[kSubstrateLine],
        "        a1 : " + f6(f.a1) + " Angstroms",
        "        a2 : " + f6(f.a2) + " Angstroms",
        "     alpha : " + f6(f.alpha) + " degrees",
    };
    for (std::size_t n = kSymmetryLine; n < kIterationParametersLine; ++n) {
        lines.push_back(file[n]);
    }
    lines.emplace_back();
    // The Iteration Parameters line and the range lines; the heading is last in the file.
    for (std::size_t n = kIterationParametersLine; n + 1 < file.size(); ++n) {
        lines.push_back(file[n]);
    }
    lines.emplace_back();
    lines.push_back("Match\t" + file.back());
    lines.emplace_back();
    int k = 0;
    for (const std::string& record : in.matchRecords) {
        lines.push_back("  " + std::to_string(++k) + "\t" + record);
    }
    return lines;
}

std::string expandTabs(const std::string& line) {
    std::string out;
    out.reserve(line.size() + 16);
    for (const char c : line) {
        if (c == '\t') {
            do {
                out.push_back(' ');
            } while (out.size() % kIterationTabWidth != 0);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

int iterationLinesPerPage() {
    return static_cast<int>(std::floor(kPageCoordinates.height() / kPrintLineHeight));
}

Pages iterationPrintoutPages(const IterationDataInputs& in) {
    const std::vector<std::string> lines = iterationPrintoutLines(in);
    const auto perPage = static_cast<std::size_t>(iterationLinesPerPage());
    Pages pages;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        if (n % perPage == 0) {
            pages.emplace_back().coordinates = kPageCoordinates;
        }
        if (!lines[n].empty()) {
            pages.back().addText({0, static_cast<double>(n % perPage) * kPrintLineHeight},
                                 expandTabs(lines[n]), kPrintFontSize, TextFont::Monospace);
        }
    }
    return pages;
}

}  // namespace lamivex::output
