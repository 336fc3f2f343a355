#include "api/crystal.h"

#include <stdexcept>

#include <fmt/format.h>

#include "crystal/cell_rules.h"
#include "crystal/crystal_file.h"
#include "crystal/geometry.h"
#include "numbers/input_error.h"
#include "numbers/number_text.h"

namespace lamivex::api {
namespace {

using crystal::CellField;
using crystal::CrystalSystem;

std::string systemList() {
    std::string list;
    for (const CrystalSystem system : crystal::kAllSystems) {
        list += (list.empty() ? "" : ", ") + std::string(crystal::systemName(system));
    }
    return list;
}

CrystalSystem systemOf(const std::string& name) {
    const auto system = crystal::systemFromName(name);
    if (!system) {
        numbers::failInput("system", fmt::format("unknown crystal system \"{}\": use one of {}",
                                                 name, systemList()));
    }
    return *system;
}

void checkCellText(CellField field, const std::string& text) {
    if (crystal::isAcceptedEntry(field, text)) {
        return;
    }
    const std::string name(crystal::fieldShortName(field));
    const numbers::Parsed<double> parsed = numbers::toDouble(text);
    if (parsed.ok()) {
        numbers::failInput(
            name, fmt::format("{}: {} is above {} degrees", crystal::kInvalidDataMessage, text,
                              crystal::kMaxAlphaDegrees));
    }
    numbers::failInput(
        name, fmt::format("{}: \"{}\" {}", crystal::kInvalidDataMessage, text,
                          parsed.error == numbers::NumberError::OutOfRange ? "is too large"
                                                                           : "is not a number"));
}

// Why a given value did not count: the system fixes that field.
std::string fixedFieldNote(CrystalSystem system, CellField field) {
    const std::string_view name = crystal::fieldShortName(field);
    const std::string_view systemName = crystal::systemName(system);
    if (!crystal::isAngleField(field)) {
        return fmt::format("--{} ignored: a {} cell takes {} = a", name, systemName, name);
    }
    const crystal::FieldRule rule = crystal::fieldRule(system, field);
    if (rule.written) {
        return fmt::format("--{} ignored: a {} cell has {} = {} degrees", name, systemName, name,
                           *rule.written);
    }
    return fmt::format("--{} ignored: a {} cell takes {} = alpha", name, systemName, name);
}

// The cell fields as the window holds them after choosing the system and typing the given
// values into the fields the system leaves free.
crystal::CellFieldTexts cellFields(CrystalSystem system, const CrystalRequest& request,
                                   std::vector<std::string>& notes) {
    crystal::CellFieldTexts fields;
    crystal::applySystemSelection(system, fields);
    for (const CellField field : crystal::kCellFields) {
        const auto& given = request.cell[static_cast<std::size_t>(field)];
        if (!given) {
            continue;
        }
        checkCellText(field, *given);
        if (crystal::fieldRule(system, field).fixed) {
            notes.push_back(fixedFieldNote(system, field));
            continue;
        }
        fields[field] = *given;
        [[maybe_unused]] const crystal::EntryOutcome outcome =
            crystal::applyCellEntry(system, field, fields);
    }
    return fields;
}

crystal::MillerPlane planeOf(std::string_view option, const std::string& text) {
    const crystal::IndexReading<crystal::MillerPlane> plane = crystal::readWholeMillerPlane(text);
    if (!plane.indices) {
        numbers::failInput(std::string(option),
                           fmt::format("{}: {}", crystal::kIncorrectPlaneMessage, plane.problem));
    }
    return *plane.indices;
}

// Not the window's lenient reading: no field shows here what "1 1 1 1" or "1,1,1" became.
crystal::Direction directionOf(std::string_view option, const std::string& text) {
    const crystal::IndexReading<crystal::Direction> direction = crystal::readDirectionExactly(text);
    if (!direction.indices) {
        numbers::failInput(std::string(option), direction.problem);
    }
    return *direction.indices;
}

std::string planeText(const crystal::MillerPlane& p) {
    return fmt::format("({} {} {})", p.h, p.k, p.l);
}

std::string directionText(const crystal::Direction& d) {
    return fmt::format("[{} {} {}]", numbers::formatDouble(d.u), numbers::formatDouble(d.v),
                       numbers::formatDouble(d.w));
}

}  // namespace

CrystalOutcome computeCrystal(const CrystalRequest& request) {
    CrystalOutcome out;
    out.system = systemOf(request.system);
    out.fields = cellFields(out.system, request, out.notes);
    if (request.plane) {
        out.plane = planeOf("plane", *request.plane);
    }
    if (request.plane1 || request.plane2) {
        out.plane1 =
            planeOf("plane1", request.plane1.value_or(std::string(crystal::kDefaultPlane1Text)));
        out.plane2 =
            planeOf("plane2", request.plane2.value_or(std::string(crystal::kDefaultPlane2Text)));
    }
    if (request.dir1 || request.dir2) {
        out.dir1 = directionOf("dir1",
                               request.dir1.value_or(std::string(crystal::kDefaultDirection1Text)));
        out.dir2 = directionOf("dir2",
                               request.dir2.value_or(std::string(crystal::kDefaultDirection2Text)));
    }
    const crystal::CrystalCell cell = crystal::cellForCalculation(out.system, out.fields);
    if (out.plane) {
        out.answers.push_back({"spacing", "Plane spacing d" + planeText(*out.plane), "Angstroms",
                               crystal::planeSpacing(out.system, cell, *out.plane)});
    }
    if (out.plane1) {
        out.answers.push_back(
            {"interplanar_angle",
             "Interplanar angle " + planeText(*out.plane1) + " / " + planeText(*out.plane2),
             "degrees", crystal::interplanarAngle(out.system, cell, *out.plane1, *out.plane2)});
    }
    if (out.dir1) {
        out.answers.push_back({"direction_angle",
                               "Angle between directions " + directionText(*out.dir1) + " / " +
                                   directionText(*out.dir2),
                               "degrees", crystal::directionAngle(cell, *out.dir1, *out.dir2)});
    }
    if (request.volume) {
        out.answers.push_back(
            {"volume", "Cell volume", "cubic Angstroms", crystal::cellVolume(out.system, cell)});
    }
    for (const CrystalAnswer& answer : out.answers) {
        if (!answer.result.defined()) {
            out.notes.push_back(fmt::format("{} undefined: {}", answer.key, answer.result.reason));
        }
    }
    return out;
}

crystal::CrystalResult planeSpacing(const CrystalRequest& request) {
    if (!request.plane) {
        numbers::failInput("plane", "give the plane \"h k l\" whose spacing is asked for");
    }
    const CrystalSystem system = systemOf(request.system);
    std::vector<std::string> notes;
    const crystal::CellFieldTexts fields = cellFields(system, request, notes);
    return crystal::planeSpacing(system, crystal::cellForCalculation(system, fields),
                                 planeOf("plane", *request.plane));
}

MeshFromFile surfaceMesh(const std::string& path, const std::string& hkl,
                         const std::string& fileOption, const std::string& hklOption) {
    const crystal::IndexReading<crystal::MillerPlane> reading = crystal::readWholeMillerPlane(hkl);
    if (!reading.indices) {
        numbers::failInput(hklOption, reading.problem);
    }
    const crystal::MillerPlane& plane = *reading.indices;
    if (plane.h == 0 && plane.k == 0 && plane.l == 0) {
        numbers::failInput(hklOption, "the plane 0 0 0 is no plane: give h k l not all 0");
    }
    MeshFromFile out;
    try {
        out.bulk = crystal::readCrystalFile(path);
        out.mesh = crystal::surfaceMesh(out.bulk, {plane.h, plane.k, plane.l});
    } catch (const std::invalid_argument& error) {
        numbers::failInput(fileOption, error.what());
    }
    out.name = crystal::meshName(out.bulk, out.mesh);
    return out;
}

}  // namespace lamivex::api
