#include "output/iteration_data_file.h"

#include "numbers/number_text.h"

namespace lamivex::output {
namespace {

using numbers::fieldAsFixed2;
using numbers::formatFixed2;
using numbers::rightJustify;

std::string f6(const std::string& fieldText) {
    return rightJustify(fieldAsFixed2(fieldText), 6);
}
std::string f6(float value) {
    return rightJustify(formatFixed2(value), 6);
}

}  // namespace

std::vector<std::string> iterationDataHeaderLines(const IterationDataInputs& in) {
    const engine::MainFieldTexts& f = in.fields;
    std::vector<std::string> lines = programHeaderLines(in.date);
    const std::vector<std::string> lattices = {
        " SUBSTRATE : " + f.SubName,
        " a1 : " + f6(f.a1) + " Angstroms",
        " a2 : " + f6(f.a2) + " Angstroms",
        " alpha : " + f6(f.alpha) + " degrees",
        symmetryLine(f.hexagonal),
        " OVERLAYER : " + f.OverName + "   ",
        "  b1   = " + f6(f.b1) + " Angstroms",
        "  b2   = " + f6(f.b2) + " Angstroms",
        "  beta = " + f6(f.beta) + " degrees",
        " Iteration Parameters ",
    };
    lines.insert(lines.end(), lattices.begin(), lattices.end());
    struct RangeLabel {
        const char* label;
        const char* unit;
    };
    static constexpr std::array<RangeLabel, 6> kLabels = {{
        {"  b1 range : ", " Angstroms"},
        {"  b2 range : ", " Angstroms"},
        {"beta range : ", " degrees"},
        {"  a1 range : ", " Angstroms"},
        {"  a2 range : ", " Angstroms"},
        {"alpha range : ", " degrees"},
    }};
    const std::size_t first = in.overlayerIterated ? 0 : 3;
    for (std::size_t row = first; row < first + 3; ++row) {
        const IterationRangeLine& range = in.ranges[row];
        if (!range.fixed) {
            lines.push_back(kLabels[row].label + f6(range.low) + " - " + f6(range.high) +
                            kLabels[row].unit);
        }
    }
    lines.push_back(in.overlayerIterated
                        ? "Angle\tV/Vo\t  b1\t  b2\tbeta\t m11\t m12\t m21\tm22\tArea"
                        : "Angle\tV/Vo\t  a1\t  a2\talpha\t m11\t m12\t m21\tm22\tArea");
    return lines;
}

void writeIterationData(std::ostream& out, const IterationDataInputs& in) {
    for (const std::string& line : iterationDataHeaderLines(in)) {
        out << line << "\r\n";
    }
    for (const std::string& record : in.matchRecords) {
        out << record << "\r\n";
    }
}

SaveResult saveIterationData(const std::filesystem::path& target, const IterationDataInputs& in) {
    return saveAtomically(target, [&in](std::ostream& out) { writeIterationData(out, in); });
}

}  // namespace lamivex::output
