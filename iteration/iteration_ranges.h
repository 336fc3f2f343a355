#pragma once
// The ranges of an iteration run: the Iteration window's rows as texts, their values as
// 32-bit floats, and the step rule that turns a range into trial values.
// Lengths in Angstroms, angles in degrees.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/lattice.h"

namespace lamivex::iteration {

// The six rows of the Iteration window, in their order.
enum class Constant { b1, b2, beta, a1, a2, alpha };
inline constexpr int kConstantCount = 6;

[[nodiscard]] constexpr std::size_t rowIndex(Constant c) {
    return static_cast<std::size_t>(c);
}
[[nodiscard]] std::string_view constantName(Constant c);  // "b1", ..., "alpha"
// The name errors carry for a row: "b1-range", ..., "alpha-range" (the command line's options).
[[nodiscard]] std::string rangeFieldName(Constant c);

struct RangeRowTexts {
    std::string from;
    std::string to;
    std::string increment;
    bool fixed = false;  // "Fixed": the constant keeps its run-start value
};

// The Iteration window's state as a run reads it.
struct IterationWindowFields {
    std::array<RangeRowTexts, kConstantCount> rows;
    bool iterover = true;    // "Iterate Overlayer"; otherwise the substrate is iterated
    bool rigidSubs = false;  // "Require a1=a2" (substrate runs)
    std::string itercrit = "0.8";

    [[nodiscard]] RangeRowTexts& row(Constant c) { return rows[rowIndex(c)]; }
    [[nodiscard]] const RangeRowTexts& row(Constant c) const { return rows[rowIndex(c)]; }
};

struct Range {
    float Low = 0;
    float High = 0;
    float Inc = 0;
};

// The 18 values read when a run starts; a Fixed row's Low is the run-start value.
struct IterationRanges {
    std::array<Range, kConstantCount> rows;

    [[nodiscard]] Range& operator[](Constant c) { return rows[rowIndex(c)]; }
    [[nodiscard]] const Range& operator[](Constant c) const { return rows[rowIndex(c)]; }
};

// The number of the last step, all in 32-bit floats: floor((High - Low) / Inc), plus one when
// the leftover |(High - Low) - steps * Inc| is at least 0.5. The threshold is absolute, so
// the last trial can lie beyond High (0..10 by 3 gives 4: 0, 3, 6, 9, 12). Negative when
// High is below Low (the row then has no trial value). Saturates at +-2^31 for huge quotients.
[[nodiscard]] int64_t stepCount(float low, float high, float inc);

// Low + step * Inc in 32-bit floats.
[[nodiscard]] float trialValue(const Range& range, int step);

// FillIterationDefaults: every row from the main window's values read as 32-bit floats,
// From = x * 0.95, To = x * 1.05, Increment = x / 100, each as "0.00"; itercrit = the
// criterion as "0.00". Fixed boxes and options are left as they are.
void fillIterationDefaults(const engine::MainFieldTexts& fields, double SelectionCriterion,
                           IterationWindowFields& window);

}  // namespace lamivex::iteration
