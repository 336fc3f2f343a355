// The number text rules: any text read as a double, a single and a 16-bit integer, and any
// value (the input's first bytes as raw bits, and each value read) written in every picture
// and read back.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "numbers/number_text.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using namespace lamivex::numbers;
using lamivex::fuzz::require;

// Above this a double's 15-digit text rounds past the largest double and cannot be read back.
constexpr double kLargestReadableAt15 = 1.797693134862315e308;

// Within which a text of a picture must read back: the picture's own rounding plus the
// rounding of the 15 digits it starts from.
bool near(double back, double value, double absolute, double relative) {
    return std::fabs(back - value) <= absolute + relative * std::fabs(value);
}

void checkGeneral(double value) {
    const std::string text = formatDouble(value);
    if (std::isnan(value)) {
        require(text == "NaN", "NaN is written NaN", text);
        return;
    }
    if (std::isinf(value)) {
        require(text == (value < 0 ? "-Infinity" : "Infinity"), "infinity written by name", text);
        return;
    }
    require(isNumeric(text), "a double's text is a number", text);
    const Parsed<double> back = toDouble(text);
    if (std::fabs(value) > kLargestReadableAt15) {
        return;
    }
    require(back.ok(), "a double's text reads back", text);
    require(near(back.value, value, 0, 1e-14), "a double's text reads back to it", text);
}

void checkGeneral(float value) {
    const std::string text = formatSingle(value);
    if (!std::isfinite(value)) {
        require(text == formatDouble(value), "a single names NaN and infinity as a double does");
        return;
    }
    require(isNumeric(text), "a single's text is a number", text);
    const Parsed<float> back = toSingle(text);
    require(back.ok(), "a single's text reads back", text);
    require(near(back.value, value, 0, 1e-6), "a single's text reads back to it", text);
}

void checkPictures(double value) {
    if (!std::isfinite(value)) {
        require(formatFixed2(value) == formatDouble(value), "a picture names NaN and infinity");
        return;
    }
    for (const int decimals : {0, 2, 3}) {
        const std::string text = formatFixed(value, decimals);
        require(isNumeric(text), "a fixed picture is a number", text);
        const std::size_t point = text.find('.');
        require(decimals == 0 ? point == std::string::npos
                              : point != std::string::npos &&
                                    text.size() - point - 1 == static_cast<std::size_t>(decimals),
                "a fixed picture has its decimals", text);
        const Parsed<double> back = toDouble(text);
        if (std::fabs(value) < 1e307) {
            require(back.ok() && near(back.value, value,
                                      0.5 * std::pow(10.0, -decimals) * (1 + 1e-9), 2e-14),
                    "a fixed picture reads back to its value", text);
        }
    }
    for (const int decimals : {3, 4}) {
        const std::string text = formatScientific(value, decimals);
        require(isNumeric(text), "a scientific picture is a number", text);
        const std::size_t e = text.find('E');
        require(e != std::string::npos && e + 4 <= text.size() &&
                    (text[e + 1] == '+' || text[e + 1] == '-'),
                "a scientific picture has a signed exponent", text);
        const Parsed<double> back = toDouble(text);
        if (std::fabs(value) < 1e307) {
            require(back.ok() && near(back.value, value, 0,
                                      (0.5 * std::pow(10.0, -decimals) + 1e-13) * 1.0001),
                    "a scientific picture reads back to its value", text);
        }
    }
}

void checkReading(std::string_view text) {
    const bool numeric = isNumeric(text);
    const Parsed<double> asDouble = toDouble(text);
    const Parsed<float> asSingle = toSingle(text);
    const Parsed<int16_t> asInt16 = toInt16(text);
    require((asDouble.error == NumberError::NotNumeric) == !numeric,
            "a double is refused as not numeric exactly when the text is not");
    require((asSingle.error == NumberError::NotNumeric) == !numeric,
            "a single is refused as not numeric exactly when the text is not");
    require((asInt16.error == NumberError::NotNumeric) == !numeric,
            "an integer is refused as not numeric exactly when the text is not");
    if (asDouble.error == NumberError::OutOfRange) {
        require(asSingle.error == NumberError::OutOfRange,
                "too big for a double is too big for a single");
    }

    const std::optional<std::string> normalised = normaliseSingleText(text);
    require(normalised.has_value() == asSingle.ok(), "a text normalises when a single holds it");
    if (asSingle.ok()) {
        require(std::isfinite(asSingle.value), "a single read is finite");
        require(normaliseSingleText(*normalised).has_value(), "a normalised text is a single");
        checkGeneral(asSingle.value);
    }
    if (asInt16.ok()) {
        require(asDouble.ok() && std::nearbyint(asDouble.value) == asInt16.value,
                "an integer is the double rounded half to even");
    }

    const std::string fixed2 = fieldAsFixed2(text);
    const std::string whole = fieldAsWhole(text);
    if (asDouble.ok()) {
        require(std::isfinite(asDouble.value), "a double read is finite");
        require(fixed2 == formatFixed2(asDouble.value) && whole == formatWhole(asDouble.value),
                "a numeric field takes the picture");
        checkGeneral(asDouble.value);
        checkPictures(asDouble.value);
    } else {
        require(fixed2 == text && whole == text, "a field that is no number is kept as typed");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view text = lamivex::fuzz::asText(data, size);
    checkReading(text);

    // The first bytes as a value's bits reach NaN, infinities and subnormals too.
    if (size >= sizeof(double)) {
        double value = 0;
        std::memcpy(&value, data, sizeof value);
        checkGeneral(value);
        checkPictures(value);
    }
    if (size >= sizeof(float)) {
        float value = 0;
        std::memcpy(&value, data, sizeof value);
        checkGeneral(value);
    }

    const int width = size > 0 ? data[0] % 32 : 0;
    const std::string justified = rightJustify(text, width);
    require(justified.size() == std::max(text.size(), static_cast<std::size_t>(width)) &&
                justified.ends_with(text),
            "right-justified text keeps the text at the right");
    return 0;
}
