#include "output/report_file.h"

#include <ctime>

#include <fmt/format.h>

#include "numbers/number_text.h"

namespace lamivex::output {

using numbers::fieldAsFixed2;
using numbers::fieldAsWhole;
using numbers::formatDouble;
using numbers::formatFixed2;
using numbers::formatSingle;
using numbers::formatWhole;
using numbers::reportRowNumber;
using numbers::rightJustify;

ReportDate today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::vector<std::string> programHeaderLines(ReportDate date) {
    return {"Lamivex Version 5.0", "Epitaxy Calculation", "July 1999",
            fmt::format("{:02d}/{}/{}", date.year % 100, date.month, date.day)};
}

std::string symmetryLine(bool hexagonal) {
    return hexagonal ? "         Hexagonal substrate symmetry"
                     : "     Non-hexagonal substrate symmetry";
}

ReportInputs reportInputsFor(const engine::CapturedRun& run, const engine::ScanResults& results,
                             const engine::BestOrientation& best,
                             const engine::AngleBestTable& table, ReportDate date) {
    ReportInputs in;
    in.fields = run.fields;
    in.capturedB1 = run.overlayer.b1;
    in.capturedB2 = run.overlayer.b2;
    in.best = best;
    in.azimuthAngles = results.AzimuthAngles;
    in.angleBestTable = table;
    in.angleMinVVo = results.AngleMinVVo;
    in.date = date;
    return in;
}

std::vector<std::string> reportHeaderLines(const ReportInputs& in) {
    const engine::MainFieldTexts& f = in.fields;
    const engine::BestOrientation& b = in.best;
    const auto len = [](const std::string& text) { return rightJustify(fieldAsFixed2(text), 6); };
    const auto bound = [](const std::string& text) {
        return rightJustify(fieldAsFixed2(text), 7);
    };
    const auto cells = [](const std::string& text) { return rightJustify(fieldAsWhole(text), 3); };
    const auto value = [](double v) { return rightJustify(formatFixed2(v), 6); };

    std::vector<std::string> lines = programHeaderLines(in.date);
    const std::vector<std::string> rest = {
        " SUBSTRATE : " + f.SubName,
        "        a1 : " + len(f.a1) + " Angstroms",
        "        a2 : " + len(f.a2) + " Angstroms",
        "     alpha : " + len(f.alpha) + " degrees",
        symmetryLine(f.hexagonal),
        " OVERLAYER : " + f.OverName + "   ",
        "        b1 : " + len(in.capturedB1) + " Angstroms",
        "        b2 : " + len(in.capturedB2) + " Angstroms",
        "      beta : " + len(f.beta) + " degrees",
        " OVERLAYER PARAMETERS",
        f.chkgeo ? "Searched for geometric solutions up to " + fieldAsWhole(f.txtUplim)
                 : "(Not searching for geometric solutions)",
        "         m : " + cells(f.b1size) + " cells",
        "         n : " + cells(f.b2size) + " cells",
        "Lower angle bound : " + bound(f.Lowerangle) + " degrees",
        "Upper angle bound : " + bound(f.Upperangle) + " degrees",
        "  Angle increment : " + bound(f.AngleSpacing) + " degrees",
        "        TRANSFORMATION MATRIX",
        "              m11 : " + value(b.BestPx),
        "              m12 : " + value(b.BestQy),
        "              m21 : " + value(b.BestQx),
        "              m22 : " + value(b.BestPy),
        "   multiple of b1 : " + rightJustify(formatWhole(b.BestB1Multiple), 6),
        "   multiple of b2 : " + rightJustify(formatWhole(b.BestB2Multiple), 6),
        "Orientation Angle : " + value(b.BestAngle),
        "           V / Vo : " + value(b.BestVVo),
        "Px,Py,Qx,Qy,V/Vo,angle, multiple of b1, multiple of b2",
    };
    lines.insert(lines.end(), rest.begin(), rest.end());
    return lines;
}

std::string reportDataRow(const ReportInputs& in, std::size_t k) {
    const engine::AngleBestRow& row = in.angleBestTable[k];
    std::string line;
    for (const double v : {row.m11, row.m12, row.m21, row.m22, in.angleMinVVo[k]}) {
        line += reportRowNumber(formatDouble(v));
    }
    line += reportRowNumber(formatSingle(in.azimuthAngles[k]));
    line += reportRowNumber(formatDouble(row.b1Multiple));
    line += reportRowNumber(formatDouble(row.b2Multiple));
    return line;
}

void writeReport(std::ostream& out, const ReportInputs& in) {
    for (const std::string& line : reportHeaderLines(in)) {
        out << line << "\r\n";
    }
    for (std::size_t k = 0; k < in.azimuthAngles.size(); ++k) {
        out << reportDataRow(in, k) << "\r\n";
    }
}

}  // namespace lamivex::output
