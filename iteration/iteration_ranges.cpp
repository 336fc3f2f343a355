#include "iteration/iteration_ranges.h"

#include <cmath>

#include "numbers/number_text.h"

namespace lamivex::iteration {

std::string_view constantName(Constant c) {
    static constexpr std::array<std::string_view, kConstantCount> kNames = {"b1", "b2", "beta",
                                                                            "a1", "a2", "alpha"};
    return kNames[rowIndex(c)];
}

std::string rangeFieldName(Constant c) {
    return std::string(constantName(c)) + "-range";
}

int64_t stepCount(float low, float high, float inc) {
    constexpr double kSaturation = 2147483648.0;
    const float difference = high - low;
    const float quotient = difference / inc;
    if (std::isnan(quotient)) {
        return static_cast<int64_t>(kSaturation);
    }
    const double whole = std::floor(static_cast<double>(quotient));
    if (whole >= kSaturation || whole <= -kSaturation) {
        return static_cast<int64_t>(whole > 0 ? kSaturation : -kSaturation);
    }
    auto steps = static_cast<int64_t>(whole);
    const float leftover = difference - static_cast<float>(steps) * inc;
    if (std::fabs(leftover) >= 0.5F) {
        ++steps;
    }
    return steps;
}

float trialValue(const Range& range, int step) {
    const float offset = static_cast<float>(step) * range.Inc;
    return range.Low + offset;
}

void fillIterationDefaults(const engine::MainFieldTexts& fields, double SelectionCriterion,
                           IterationWindowFields& window) {
    const auto fill = [&](Constant c, const std::string& text) {
        const double x = numbers::toSingle(text).value;
        RangeRowTexts& row = window.row(c);
        row.from = numbers::formatFixed2(x * 0.95);
        row.to = numbers::formatFixed2(x * 1.05);
        row.increment = numbers::formatFixed2(x * 0.10000000000000009 / 10);
    };
    fill(Constant::b1, fields.b1);
    fill(Constant::b2, fields.b2);
    fill(Constant::beta, fields.beta);
    window.itercrit = numbers::formatFixed2(SelectionCriterion);
    fill(Constant::a1, fields.a1);
    fill(Constant::a2, fields.a2);
    fill(Constant::alpha, fields.alpha);
}

}  // namespace lamivex::iteration
