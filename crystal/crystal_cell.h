#pragma once
// The three-dimensional unit cell and how it is read from the six cell fields.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "numbers/constants.h"

namespace lamivex::crystal {

using numbers::kPi;  // for degrees to radians and back

struct CrystalCell {
    double a = 0;      // Angstroms
    double b = 0;      // Angstroms
    double c = 0;      // Angstroms
    double alpha = 0;  // radians, the angle between b and c
    double beta = 0;   // radians, between a and c
    double gamma = 0;  // radians, between a and b
};

// degrees × kPi / 180, in that order.
[[nodiscard]] double degreesToRadians(double degrees);

// Lenient reading of a cell field: blanks, tabs and line feeds anywhere are ignored and the
// longest leading decimal number (sign, digits, one point, exponent) is taken; text without
// one reads as 0, so "10 " is 10 and "1 2" is 12. A number beyond the range of a double
// reads as an infinity of its sign, which every result then reports as undefined.
[[nodiscard]] double readFieldValue(std::string_view text);

enum class CellField { A, B, C, Alpha, Beta, Gamma };

inline constexpr std::array<CellField, 6> kCellFields{
    CellField::A, CellField::B, CellField::C, CellField::Alpha, CellField::Beta, CellField::Gamma};

[[nodiscard]] bool isAngleField(CellField field);
// The window control: "txtavalue", "txtbvalue", "txtcvalue", "txtalpha", "txtbeta", "txtgamma".
[[nodiscard]] std::string_view fieldObjectName(CellField field);
// The short name used by the command line and in messages: "a", "b", "c", "alpha", ...
[[nodiscard]] std::string_view fieldShortName(CellField field);

// The texts of the six cell fields, as the window holds them.
struct CellFieldTexts {
    std::array<std::string, 6> texts{"10 ", "10 ", "10 ", "90", "90", "90"};

    [[nodiscard]] std::string& operator[](CellField field) {
        return texts[static_cast<std::size_t>(field)];
    }
    [[nodiscard]] const std::string& operator[](CellField field) const {
        return texts[static_cast<std::size_t>(field)];
    }
};

// Lengths read as they stand, angles read in degrees and held in radians.
[[nodiscard]] CrystalCell readCell(const CellFieldTexts& fields);

}  // namespace lamivex::crystal
