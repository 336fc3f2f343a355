#include "crystal/crystal_cell.h"

#include <limits>

#include "numbers/number_text.h"

namespace lamivex::crystal {
namespace {

bool isIgnoredInField(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The longest leading number of text with the ignored characters taken out; empty if the
// text does not start with one.
std::string leadingNumber(std::string_view text) {
    std::string squeezed;
    for (const char c : text) {
        if (!isIgnoredInField(c)) {
            squeezed += c;
        }
    }
    std::size_t pos = 0;
    if (pos < squeezed.size() && (squeezed[pos] == '+' || squeezed[pos] == '-')) {
        ++pos;
    }
    int mantissaDigits = 0;
    bool seenPoint = false;
    for (; pos < squeezed.size(); ++pos) {
        if (isDigit(squeezed[pos])) {
            ++mantissaDigits;
        } else if (squeezed[pos] == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0) {
        return {};
    }
    std::size_t end = pos;
    // An exponent counts only when it has digits: "2e" is 2, "2e3" is 2000.
    if (pos < squeezed.size() && (squeezed[pos] == 'e' || squeezed[pos] == 'E')) {
        std::size_t exp = pos + 1;
        if (exp < squeezed.size() && (squeezed[exp] == '+' || squeezed[exp] == '-')) {
            ++exp;
        }
        const std::size_t firstDigit = exp;
        while (exp < squeezed.size() && isDigit(squeezed[exp])) {
            ++exp;
        }
        if (exp > firstDigit) {
            end = exp;
        }
    }
    return squeezed.substr(0, end);
}

}  // namespace

double degreesToRadians(double degrees) {
    return degrees * kPi / 180;
}

double readFieldValue(std::string_view text) {
    const std::string number = leadingNumber(text);
    if (number.empty()) {
        return 0;
    }
    const numbers::Parsed<double> parsed = numbers::toDouble(number);
    if (parsed.ok()) {
        return parsed.value;
    }
    // The only failure left for a well-formed number is overflow.
    const double huge = std::numeric_limits<double>::infinity();
    return number.front() == '-' ? -huge : huge;
}

bool isAngleField(CellField field) {
    return field == CellField::Alpha || field == CellField::Beta || field == CellField::Gamma;
}

std::string_view fieldObjectName(CellField field) {
    switch (field) {
        case CellField::A:
            return "txtavalue";
        case CellField::B:
            return "txtbvalue";
        case CellField::C:
            return "txtcvalue";
        case CellField::Alpha:
            return "txtalpha";
        case CellField::Beta:
            return "txtbeta";
        case CellField::Gamma:
            return "txtgamma";
    }
    return {};
}

std::string_view fieldShortName(CellField field) {
    switch (field) {
        case CellField::A:
            return "a";
        case CellField::B:
            return "b";
        case CellField::C:
            return "c";
        case CellField::Alpha:
            return "alpha";
        case CellField::Beta:
            return "beta";
        case CellField::Gamma:
            return "gamma";
    }
    return {};
}

CrystalCell readCell(const CellFieldTexts& fields) {
    CrystalCell cell;
    cell.a = readFieldValue(fields[CellField::A]);
    cell.b = readFieldValue(fields[CellField::B]);
    cell.c = readFieldValue(fields[CellField::C]);
    cell.alpha = degreesToRadians(readFieldValue(fields[CellField::Alpha]));
    cell.beta = degreesToRadians(readFieldValue(fields[CellField::Beta]));
    cell.gamma = degreesToRadians(readFieldValue(fields[CellField::Gamma]));
    return cell;
}

}  // namespace lamivex::crystal
