#include "app/iteration_summary.h"

#include "numbers/number_text.h"

namespace lamivex::app {
namespace {

using iteration::Constant;
using numbers::fieldAsFixed2;
using numbers::formatFixed2;

constexpr const char* kLineEnd = "   \r\n";

}  // namespace

std::string iterationSummary(const std::string& subName, const std::string& overName,
                             const engine::MainFieldTexts& runStart,
                             const iteration::IterationRanges& ranges, bool iterover,
                             const std::array<bool, iteration::kConstantCount>& fixed) {
    const auto line = [](const std::string& text) { return text + kLineEnd; };
    const auto value = [&](const char* label, const std::string& field, const char* unit) {
        return line(label + fieldAsFixed2(field) + unit);
    };
    const auto row = [&](Constant c, const char* rangeLabel, const char* fixedLabel,
                         const std::string& field, const char* unit) {
        if (fixed[iteration::rowIndex(c)]) {
            return value(fixedLabel, field, unit);
        }
        const iteration::Range& r = ranges[c];
        return line(rangeLabel + formatFixed2(r.Low) + " - " + formatFixed2(r.High) + unit + " (" +
                    formatFixed2(r.Inc) + " increment)");
    };
    const engine::MainFieldTexts& v = runStart;
    std::string text = "\r\n";
    text += line("        Substrate : " + subName);
    if (iterover) {
        text += value("                  a1 : ", v.a1, " Angstroms");
        text += value("                  a2 : ", v.a2, " Angstroms");
        text += value("              alpha : ", v.alpha, " degrees");
        text += line("        Overlayer : " + overName);
        text += row(Constant::b1, "         b1 range : ", "         b1: ", v.b1, " Angstroms");
        text += row(Constant::b2, "         b2 range : ", "         b2: ", v.b2, " Angstroms");
        text += row(Constant::beta, "      beta range : ", "      beta: ", v.beta, " degrees");
    } else {
        text += row(Constant::a1, "         a1 range : ", "         a1: ", v.a1, " Angstroms");
        text += row(Constant::a2, "         a2 range : ", "         a2: ", v.a2, " Angstroms");
        text +=
            row(Constant::alpha, "         alpha range: ", "         alpha: ", v.alpha, " degrees");
        text += line("        Overlayer : " + overName);
        text += value("                  b1 : ", v.b1, " Angstroms");
        text += value("                  b2 : ", v.b2, " Angstroms");
        text += value("              beta : ", v.beta, " degrees");
    }
    return text;
}

}  // namespace lamivex::app
