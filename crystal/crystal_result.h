#pragma once
// A computed crystal quantity, or the reason it has no value, and the texts the result
// labels show.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace lamivex::crystal {

struct CrystalResult {
    std::optional<double> value;  // nullopt when the formula is undefined for the input
    std::string reason;           // why undefined, short: "plane (0 0 0) has no spacing"

    [[nodiscard]] bool defined() const { return value.has_value(); }

    [[nodiscard]] static CrystalResult of(double v) { return {v, {}}; }
    [[nodiscard]] static CrystalResult undefined(std::string why) {
        return {std::nullopt, std::move(why)};
    }
};

// The label of a shown result: the value as "0.00", or "undefined: " and the reason.
// Never "nan" or "inf".
[[nodiscard]] std::string resultLabelText(const CrystalResult& result);

// An unticked result box blanks its label to this single blank.
inline constexpr std::string_view kBlankResultText = " ";

enum class ResultKind { PlaneSpacing, InterplanarAngle, DirectionAngle, Volume };

// The controls of one result: its check box, caption, result label and unit label.
struct ResultControls {
    std::string_view checkBox;
    std::string_view caption;
    std::string_view label;
    std::string_view unit;
};

[[nodiscard]] ResultControls resultControls(ResultKind kind);

// Recalculate re-ticks the ticked boxes in this order.
inline constexpr std::array<ResultKind, 4> kRecalculateOrder{
    ResultKind::Volume, ResultKind::PlaneSpacing, ResultKind::DirectionAngle,
    ResultKind::InterplanarAngle};

// The messages of the two plane "Enter" buttons when a plane text does not parse. The
// interplanar message is shown for a failed parse only: parallel planes have a defined
// angle (0 or 180 degrees) and any other undefined angle says why in its label.
inline constexpr std::string_view kIncorrectPlaneMessage = "Incorrect Miller plane";
inline constexpr std::string_view kIncorrectPlanesMessage = "Incorrect or coplanar Miller planes";

}  // namespace lamivex::crystal
