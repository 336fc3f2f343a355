#pragma once
// The records a run reads: the two lattices and the run settings.
// Lengths in Angstroms, angles in degrees. Matrix convention everywhere:
// b1 = m11·a1 + m12·a2, b2 = m21·a1 + m22·a2, azimuth measured from a1 to b1.

#include <cstdint>
#include <string>

namespace lamivex::engine {

// The lattices as the capture step reads the fields: the single-precision values of the
// normalised field texts. A run computes with capturedValue() of each.
struct SubstrateLattice {
    float a1 = 0;
    float a2 = 0;
    float alpha = 0;
    bool hexagonal = false;
};

struct OverlayerLattice {
    float b1 = 0;
    float b2 = 0;
    float beta = 0;
};

// The double a run computes with from a captured single: the capture step rewrites the field
// as the single's text with at most 7 significant digits, and every calculation reads that
// text as a double (so 3.141593, not the single's 3.1415929794311523).
[[nodiscard]] double capturedValue(float single);

struct CalcSettings {
    int16_t b1Size = 0;  // m: the domain spans cells -m..+m along b1
    int16_t b2Size = 0;  // n: the domain spans cells -n..+n along b2
    float lowerAngle = 0;
    float upperAngle = 0;
    float angleSpacing = 0;
    int16_t maxMultiple = 1;  // 1 without the geometric search
};

// The main window's fields as texts, named after their controls, with the values the
// window writes when it is loaded.
struct MainFieldTexts {
    std::string SubName = "Substrate";
    std::string a1 = "10";
    std::string a2 = "10";
    std::string alpha = "90";
    bool hexagonal = false;
    std::string OverName = "Overlayer";
    std::string b1 = "10";
    std::string b2 = "10";
    std::string beta = "90";
    std::string b1size = "25";
    std::string b2size = "25";
    std::string Lowerangle = "0";
    std::string Upperangle = "60";
    std::string AngleSpacing = "0.25";
    bool chkgeo = false;
    std::string txtUplim = "4";
};

}  // namespace lamivex::engine
