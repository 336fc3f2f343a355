#include "numbers/number_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <span>
#include <string_view>
#include <system_error>

#include <fmt/format.h>

namespace lamivex::numbers {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The numeric core of a text that passed isNumeric, without blanks or a leading '+',
// which std::from_chars does not take.
std::string_view numericCore(std::string_view text) {
    text = trimBlanks(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    return text;
}

template <typename T>
Parsed<T> parseFloating(std::string_view text) {
    if (!isNumeric(text)) {
        return {T{}, NumberError::NotNumeric};
    }
    const std::string_view core = numericCore(text);
    T value{};
    const auto [end, ec] = std::from_chars(core.data(), core.data() + core.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Tell overflow from underflow: a value too small for the type reads as zero.
        long double wide = 0;
        const auto wideResult = std::from_chars(core.data(), core.data() + core.size(), wide);
        const bool tiny = wideResult.ec == std::errc{}
                              ? std::fabs(wide) < 1
                              : core.find("e-") != std::string_view::npos ||
                                    core.find("E-") != std::string_view::npos;
        if (tiny) {
            return {core.front() == '-' ? -T{0} : T{0}, NumberError::None};
        }
        return {T{}, NumberError::OutOfRange};
    }
    if (ec != std::errc{} || end != core.data() + core.size()) {
        return {T{}, NumberError::NotNumeric};
    }
    return {value, NumberError::None};
}

// A finite value as 15 significant decimal digits d0.d1...d14 times 10^exponent.
struct DecimalDigits {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

// The correctly rounded "d.ddde±x" form of value with significant digits, in buffer.
std::string_view scientificText(double value, int significant, std::span<char> buffer) {
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                         std::chars_format::scientific, significant - 1);
    return ec == std::errc{} ? std::string_view(buffer.data(), end) : std::string_view();
}

// Written without a formatting library's parsing and allocations: an iteration writes ten
// numbers for each of thousands of matches.
DecimalDigits decimalDigits(double value, int significant) {
    std::array<char, 64> buffer{};
    const std::string_view text = scientificText(value, significant, buffer);
    DecimalDigits result;
    std::size_t pos = 0;
    if (text[pos] == '-') {
        result.negative = true;
        ++pos;
    }
    for (; pos < text.size() && text[pos] != 'e'; ++pos) {
        if (isDigit(text[pos])) {
            result.digits.push_back(text[pos]);
        }
    }
    const std::size_t sign = pos + 1;
    const std::size_t digits = text[sign] == '+' ? sign + 1 : sign;  // from_chars takes no '+'
    std::from_chars(text.data() + digits, text.data() + text.size(), result.exponent);
    return result;
}

// Rounds a digit string half away from zero to keep digits; true when the carry
// ran out of the front (999 -> 1000), in which case the result has keep + 1 digits.
bool roundDigits(std::string& digits, std::size_t keep) {
    if (keep >= digits.size()) {
        digits.append(keep - digits.size(), '0');
        return false;
    }
    const bool roundUp = digits[keep] >= '5';
    digits.resize(keep);
    if (!roundUp) {
        return false;
    }
    for (std::size_t i = keep; i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
    return true;
}

std::string exponentText(int exponent) {
    return fmt::format("E{}{:02d}", exponent < 0 ? '-' : '+', std::abs(exponent));
}

template <typename T>
std::string formatGeneral(T value, int maxDigits) {
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-Infinity" : "Infinity";
    }
    if (value == 0) {
        return "0";
    }
    DecimalDigits dec;
    for (int digits = 1; digits <= maxDigits; ++digits) {
        dec = decimalDigits(static_cast<double>(value), digits);
        std::array<char, 64> buffer{};
        const std::string_view text = scientificText(static_cast<double>(value), digits, buffer);
        T back{};
        std::from_chars(text.data(), text.data() + text.size(), back);
        if (back == value) {
            break;
        }
    }
    while (dec.digits.size() > 1 && dec.digits.back() == '0') {
        dec.digits.pop_back();
    }
    std::string out = dec.negative ? "-" : "";
    const int exponent = dec.exponent;
    const auto count = static_cast<int>(dec.digits.size());
    if (exponent < -4 || exponent >= maxDigits) {
        out += dec.digits.front();
        if (count > 1) {
            out += '.';
            out += dec.digits.substr(1);
        }
        out += exponentText(exponent);
    } else if (exponent < 0) {
        out += '.';
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += dec.digits;
    } else {
        const int integerDigits = exponent + 1;
        if (count <= integerDigits) {
            out += dec.digits;
            out.append(static_cast<std::size_t>(integerDigits - count), '0');
        } else {
            out += dec.digits.substr(0, static_cast<std::size_t>(integerDigits));
            out += '.';
            out += dec.digits.substr(static_cast<std::size_t>(integerDigits));
        }
    }
    return out;
}

constexpr int kPictureDigits = 15;

}  // namespace

bool isNumeric(std::string_view text) {
    text = trimBlanks(text);
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        ++pos;
    }
    int mantissaDigits = 0;
    bool seenPoint = false;
    for (; pos < text.size(); ++pos) {
        if (isDigit(text[pos])) {
            ++mantissaDigits;
        } else if (text[pos] == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0) {
        return false;
    }
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
            ++pos;
        }
        int exponentDigits = 0;
        for (; pos < text.size() && isDigit(text[pos]); ++pos) {
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return false;
        }
    }
    return pos == text.size();
}

Parsed<double> toDouble(std::string_view text) {
    return parseFloating<double>(text);
}

Parsed<float> toSingle(std::string_view text) {
    return parseFloating<float>(text);
}

Parsed<int16_t> toInt16(std::string_view text) {
    const Parsed<double> parsed = toDouble(text);
    if (!parsed.ok()) {
        return {0, parsed.error};
    }
    const double rounded = std::nearbyint(parsed.value);  // default mode: halves to even
    if (!(rounded >= std::numeric_limits<int16_t>::min() &&
          rounded <= std::numeric_limits<int16_t>::max())) {
        return {0, NumberError::OutOfRange};
    }
    return {static_cast<int16_t>(rounded), NumberError::None};
}

std::string formatSingle(float value) {
    return formatGeneral(value, 7);
}

std::string formatDouble(double value) {
    return formatGeneral(value, 15);
}

std::string formatShortestSingle(float value) {
    char text[64];
    const std::to_chars_result written = std::to_chars(std::begin(text), std::end(text), value);
    return {std::begin(text), written.ptr};
}

std::string formatFixed(double value, int decimals) {
    if (!std::isfinite(value)) {
        return formatDouble(value);
    }
    std::string units;  // the value times 10^decimals, rounded, as digits
    bool negative = false;
    if (value != 0) {
        DecimalDigits dec = decimalDigits(value, kPictureDigits);
        negative = dec.negative;
        const int keep = dec.exponent + 1 + decimals;
        if (keep < 0) {
            units = "0";
        } else if (keep == 0) {
            units = dec.digits.front() >= '5' ? "1" : "0";
        } else {
            units = dec.digits;
            roundDigits(units, static_cast<std::size_t>(keep));
        }
    } else {
        units = "0";
    }
    if (decimals == 0 && units.find_first_not_of('0') == std::string::npos) {
        negative = false;  // a whole number rounded to nothing is "0"
    }
    // With decimals a negative value keeps its sign even when it rounds to zero ("-0.00"),
    // as the picture's rule and older report files have it.
    const auto minLength = static_cast<std::size_t>(decimals) + 1;
    if (units.size() < minLength) {
        units.insert(0, minLength - units.size(), '0');
    }
    std::string out = negative ? "-" : "";
    out += units.substr(0, units.size() - static_cast<std::size_t>(decimals));
    if (decimals > 0) {
        out += '.';
        out += units.substr(units.size() - static_cast<std::size_t>(decimals));
    }
    return out;
}

std::string formatFixed2(double value) {
    return formatFixed(value, 2);
}

std::string formatWhole(double value) {
    return formatFixed(value, 0);
}

std::string formatScientific(double value, int decimals) {
    if (!std::isfinite(value)) {
        return formatDouble(value);
    }
    std::string digits(static_cast<std::size_t>(decimals + 1), '0');
    int exponent = 0;
    bool negative = false;
    if (value != 0) {
        DecimalDigits dec = decimalDigits(value, kPictureDigits);
        negative = dec.negative;
        exponent = dec.exponent;
        digits = dec.digits;
        if (roundDigits(digits, static_cast<std::size_t>(decimals) + 1)) {
            digits.pop_back();
            ++exponent;
        }
    }
    std::string out = negative ? "-" : "";
    out += digits.front();
    if (decimals > 0) {
        out += '.';
        out += digits.substr(1);
    }
    out += exponentText(exponent);
    return out;
}

std::string rightJustify(std::string_view text, int width) {
    std::string out;
    if (static_cast<int>(text.size()) < width) {
        out.assign(static_cast<std::size_t>(width) - text.size(), ' ');
    }
    out += text;
    return out;
}

std::string fieldAsFixed2(std::string_view text) {
    const Parsed<double> parsed = toDouble(text);
    return parsed.ok() ? formatFixed2(parsed.value) : std::string(text);
}

std::string fieldAsWhole(std::string_view text) {
    const Parsed<double> parsed = toDouble(text);
    return parsed.ok() ? formatWhole(parsed.value) : std::string(text);
}

std::string reportRowNumber(std::string_view generalText) {
    std::string out = (!generalText.empty() && generalText.front() == '-') ? "" : " ";
    out += generalText;
    out += ' ';
    return out;
}

std::optional<std::string> normaliseSingleText(std::string_view text) {
    const Parsed<float> parsed = toSingle(text);
    if (!parsed.ok()) {
        return std::nullopt;
    }
    return formatSingle(parsed.value);
}

}  // namespace lamivex::numbers
