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

ReportInputs reportInputsFor(const engine::CompletedScan& scan,
                             const engine::MainFieldTexts& fields, ReportDate date) {
    ReportInputs in;
    in.fields = fields;
    in.capturedB1 = scan.capture.overlayer.b1;
    in.capturedB2 = scan.capture.overlayer.b2;
    in.best = scan.best;
    in.azimuthAngles = scan.results.AzimuthAngles;
    in.angleBestTable = scan.AngleBestTable;
    in.angleMinVVo = scan.results.AngleMinVVo;
    in.date = date;
    return in;
}

ReportHeader reportHeader(const ReportInputs& in) {
    const engine::MainFieldTexts& f = in.fields;
    const engine::BestOrientation& b = in.best;
    const auto len = [](const std::string& text) { return rightJustify(fieldAsFixed2(text), 6); };
    const auto bound = [](const std::string& text) { return rightJustify(fieldAsFixed2(text), 7); };
    const auto cells = [](const std::string& text) { return rightJustify(fieldAsWhole(text), 3); };
    const auto value = [](double v) { return rightJustify(formatFixed2(v), 6); };

    ReportHeader h;
    h.program = programHeaderLines(in.date);
    h.substrate = " SUBSTRATE : " + f.SubName;
    h.a1 = "        a1 : " + len(f.a1) + " Angstroms";
    h.a2 = "        a2 : " + len(f.a2) + " Angstroms";
    h.alpha = "     alpha : " + len(f.alpha) + " degrees";
    h.symmetry = symmetryLine(f.hexagonal);
    h.overlayer = " OVERLAYER : " + f.OverName + "   ";
    // The captured lengths, not the fields, which showed each pass's multiplied lengths.
    h.b1 = "        b1 : " + value(engine::capturedValue(in.capturedB1)) + " Angstroms";
    h.b2 = "        b2 : " + value(engine::capturedValue(in.capturedB2)) + " Angstroms";
    h.beta = "      beta : " + len(f.beta) + " degrees";
    h.parameters = " OVERLAYER PARAMETERS";
    h.maximumMultiple = f.chkgeo ? fieldAsWhole(f.txtUplim) : std::string();
    h.geometricSearch = f.chkgeo ? "Searched for geometric solutions up to " + h.maximumMultiple
                                 : "(Not searching for geometric solutions)";
    h.m = "         m : " + cells(f.b1size) + " cells";
    h.n = "         n : " + cells(f.b2size) + " cells";
    h.lowerBound = "Lower angle bound : " + bound(f.Lowerangle) + " degrees";
    h.upperBound = "Upper angle bound : " + bound(f.Upperangle) + " degrees";
    h.increment = "  Angle increment : " + bound(f.AngleSpacing) + " degrees";
    h.matrix = "        TRANSFORMATION MATRIX";
    h.m11 = value(b.BestPx);
    h.m12 = value(b.BestQy);
    h.m21 = value(b.BestQx);
    h.m22 = value(b.BestPy);
    h.b1Multiple = "   multiple of b1 : " + rightJustify(formatWhole(b.BestB1Multiple), 6);
    h.b2Multiple = "   multiple of b2 : " + rightJustify(formatWhole(b.BestB2Multiple), 6);
    h.orientationAngle = "Orientation Angle : " + value(b.BestAngle);
    h.vvo = "           V / Vo : " + value(b.BestVVo);
    h.columns = "Px,Py,Qx,Qy,V/Vo,angle, multiple of b1, multiple of b2";
    return h;
}

std::vector<std::string> ReportHeader::fileLines() const {
    std::vector<std::string> lines = program;
    const std::vector<std::string> rest = {
        substrate,
        a1,
        a2,
        alpha,
        symmetry,
        overlayer,
        b1,
        b2,
        beta,
        parameters,
        geometricSearch,
        m,
        n,
        lowerBound,
        upperBound,
        increment,
        matrix,
        "              m11 : " + m11,
        "              m12 : " + m12,
        "              m21 : " + m21,
        "              m22 : " + m22,
        b1Multiple,
        b2Multiple,
        orientationAngle,
        vvo,
        columns,
    };
    lines.insert(lines.end(), rest.begin(), rest.end());
    return lines;
}

std::vector<std::string> reportHeaderLines(const ReportInputs& in) {
    return reportHeader(in).fileLines();
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
