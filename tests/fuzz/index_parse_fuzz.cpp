// The index fields of the crystal tool: two plane texts, two direction texts, the six cell
// field texts and the system name, one per line, read and put through every formula.

#include <cmath>
#include <optional>
#include <string>

#include <fmt/format.h>

#include "crystal/crystal_cell.h"
#include "crystal/crystal_system.h"
#include "crystal/geometry.h"
#include "crystal/index_parse.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using namespace lamivex::crystal;
using lamivex::fuzz::require;

// The tool's arccos adds 1.5708 for a right angle, so an angle near 180 degrees comes out up
// to 0.0002 above it.
constexpr double kLargestAngle = 180.001;

std::optional<MillerPlane> readPlane(std::string_view text) {
    const std::optional<MillerPlane> plane = parseMillerPlane(text);
    if (plane) {
        // A plane written back as the field shows it reads as the same plane.
        const std::string written = fmt::format("{} {} {}", plane->h, plane->k, plane->l);
        require(parseMillerPlane(written) == plane, "a plane written back reads the same", text);
    }
    return plane;
}

Direction readDirection(std::string_view text) {
    const Direction d = parseDirection(text);
    require(!std::isnan(d.u) && !std::isnan(d.v) && !std::isnan(d.w),
            "a direction index is a number or an infinity", text);
    return d;
}

// A result is a finite value or has a reason, and its label never shows nan or inf.
void checkResult(const CrystalResult& result, double low, double high) {
    if (result.defined()) {
        require(std::isfinite(*result.value) && *result.value >= low && *result.value <= high,
                "a defined result is a finite value in its range",
                fmt::format("{}", *result.value));
    } else {
        require(!result.reason.empty(), "an undefined result says why");
    }
    const std::string label = resultLabelText(result);
    require(label.find("nan") == std::string::npos && label.find("inf") == std::string::npos &&
                label.find("NaN") == std::string::npos &&
                label.find("Infinity") == std::string::npos,
            "a result label never shows nan or inf", label);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::vector<std::string> input = lamivex::fuzz::lines(lamivex::fuzz::asText(data, size));
    std::string plane1(kDefaultPlane1Text);
    std::string plane2(kDefaultPlane2Text);
    std::string direction1(kDefaultDirection1Text);
    std::string direction2(kDefaultDirection2Text);
    CellFieldTexts cellTexts;
    std::string systemText(systemName(CrystalSystem::Cubic));
    std::vector<std::string*> fields{&plane1, &plane2, &direction1, &direction2};
    for (std::string& text : cellTexts.texts) {
        fields.push_back(&text);
    }
    fields.push_back(&systemText);
    lamivex::fuzz::assignLines(input, 0, fields);

    const std::optional<MillerPlane> p1 = readPlane(plane1);
    const std::optional<MillerPlane> p2 = readPlane(plane2);
    const Direction d1 = readDirection(direction1);
    const Direction d2 = readDirection(direction2);
    const CrystalSystem system =
        systemFromName(systemText).value_or(kAllSystems[systemText.size() % kAllSystems.size()]);
    const CrystalCell cell = readCell(cellTexts);

    checkResult(cellVolume(system, cell), 0, HUGE_VAL);
    if (p1) {
        checkResult(planeSpacing(system, cell, *p1), 0, HUGE_VAL);
    }
    if (p1 && p2) {
        checkResult(interplanarAngle(system, cell, *p1, *p2), 0, kLargestAngle);
    }
    checkResult(directionAngle(cell, d1, d2), 0, kLargestAngle);
    return 0;
}
