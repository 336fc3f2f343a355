#pragma once
// Number text rules shared by every field, writer and window.
// The decimal separator is always '.', whatever the user's locale.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lamivex::numbers {

enum class NumberError { None, NotNumeric, OutOfRange };

template <typename T>
struct Parsed {
    T value{};
    NumberError error = NumberError::None;
    [[nodiscard]] bool ok() const { return error == NumberError::None; }
};

// Optional sign, digits with at most one '.', at least one digit, an optional exponent
// (e or E, optional sign, digits), surrounded by any number of blanks or tabs.
[[nodiscard]] bool isNumeric(std::string_view text);

// Nearest value of the type; OutOfRange when the magnitude exceeds the type.
[[nodiscard]] Parsed<double> toDouble(std::string_view text);
[[nodiscard]] Parsed<float> toSingle(std::string_view text);
// Rounds halves to the even integer (2.5 -> 2, 3.5 -> 4); range -32768..32767.
[[nodiscard]] Parsed<int16_t> toInt16(std::string_view text);

// General number format: the shortest text with at most 7 (single) or 15 (double)
// significant digits that reads back to the value, else the value rounded to that many.
// No leading zero below 1 (.5, -.5); exponent form (1.74532933480453E-05) when the
// decimal exponent is below -4 or reaches the digit limit.
[[nodiscard]] std::string formatSingle(float value);
[[nodiscard]] std::string formatDouble(double value);
// The shortest text that toSingle reads back as exactly value (at most 9 significant digits,
// "2.556191" for the single nearest 2.5561910139893693): what a field that reads singles
// is filled with when its value comes from a calculation.
[[nodiscard]] std::string formatShortestSingle(float value);

// Fixed pictures, rounding half away from zero on the value's 15-digit decimal form. A
// negative value keeps its minus sign in "0.00" even when it rounds to zero (-0.001 gives
// "-0.00"); "0" writes such a value as "0".
[[nodiscard]] std::string formatFixed(double value, int decimals);  // "0.00" is decimals = 2
[[nodiscard]] std::string formatFixed2(double value);               // "0.00"
[[nodiscard]] std::string formatWhole(double value);                // "0"
// Scientific pictures: "0.000E+00" (decimals = 3) and "0.0000E+00" (decimals = 4).
[[nodiscard]] std::string formatScientific(double value, int decimals);

// Pads on the left with blanks to width characters; a longer text is kept whole.
[[nodiscard]] std::string rightJustify(std::string_view text, int width);

// A field's text formatted with a picture when it is a number, else unchanged.
[[nodiscard]] std::string fieldAsFixed2(std::string_view text);
[[nodiscard]] std::string fieldAsWhole(std::string_view text);

// Report-row form of a general-format number: a blank before it unless it starts
// with '-', and one blank after it.
[[nodiscard]] std::string reportRowNumber(std::string_view generalText);

// Text of a single read back and rewritten in the general format (10 stays 10,
// 3.14159265 becomes 3.141593); nullopt when the text is not a number a single can hold.
[[nodiscard]] std::optional<std::string> normaliseSingleText(std::string_view text);

}  // namespace lamivex::numbers
