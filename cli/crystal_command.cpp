#include "cli/crystal_command.h"

#include <iostream>
#include <limits>
#include <memory>
#include <string_view>
#include <vector>

#include <fmt/format.h>

#include "api/crystal.h"
#include "cli/cli_errors.h"
#include "cli/command_io.h"
#include "cli/json_writer.h"
#include "cli/run_inputs.h"
#include "crystal/cell_rules.h"
#include "crystal/index_parse.h"
#include "numbers/number_text.h"

namespace lamivex::cli {
namespace {

using crystal::CellField;
using Computed = api::CrystalOutcome;

void writeIndices(JsonWriter& json, std::string_view key, const crystal::MillerPlane& p) {
    json.beginArray(key);
    json.integer({}, p.h);
    json.integer({}, p.k);
    json.integer({}, p.l);
    json.endArray();
}

void writeIndices(JsonWriter& json, std::string_view key, const crystal::Direction& d) {
    json.beginArray(key);
    json.number({}, d.u);
    json.number({}, d.v);
    json.number({}, d.w);
    json.endArray();
}

// The options as given (null where left to their default), which repeat the calculation.
void writeInputs(JsonWriter& json, const CrystalRequest& request) {
    const auto optional = [&json](std::string_view key, const std::optional<std::string>& text) {
        if (text) {
            json.string(key, *text);
        } else {
            json.null(key);
        }
    };
    beginInputs(json);
    json.string("system", request.system);
    json.beginObject("cell");
    for (const CellField field : crystal::kCellFields) {
        optional(crystal::fieldShortName(field), request.cell[static_cast<std::size_t>(field)]);
    }
    json.endObject();
    optional("plane", request.plane);
    optional("plane1", request.plane1);
    optional("plane2", request.plane2);
    optional("dir1", request.dir1);
    optional("dir2", request.dir2);
    json.boolean("volume", request.volume);
    json.endObject();
}

void printJson(const Computed& computed, const CrystalRequest& request, std::ostream& out) {
    JsonWriter json;
    json.beginObject();
    json.string("system", crystal::systemName(computed.system));
    json.beginObject("cell");
    for (const CellField field : crystal::kCellFields) {
        json.number(crystal::fieldShortName(field),
                    crystal::readFieldValue(computed.fields[field]));
    }
    json.endObject();
    if (computed.plane) {
        writeIndices(json, "plane", *computed.plane);
    }
    if (computed.plane1) {
        writeIndices(json, "plane1", *computed.plane1);
        writeIndices(json, "plane2", *computed.plane2);
    }
    if (computed.dir1) {
        writeIndices(json, "dir1", *computed.dir1);
        writeIndices(json, "dir2", *computed.dir2);
    }
    for (const api::CrystalAnswer& answer : computed.answers) {
        // The writer turns a non-finite number into null, which is what an undefined
        // result is in the output.
        json.number(answer.key,
                    answer.result.value.value_or(std::numeric_limits<double>::quiet_NaN()));
    }
    json.beginArray("notes");
    for (const std::string& note : computed.notes) {
        json.string({}, note);
    }
    json.endArray();
    writeInputs(json, request);
    json.endObject();
    out << json.text() << '\n';
}

void printText(const Computed& computed, std::ostream& out) {
    const auto value = [&](CellField field) {
        return numbers::formatDouble(crystal::readFieldValue(computed.fields[field]));
    };
    out << fmt::format("Crystal system: {}\n", crystal::systemName(computed.system));
    out << fmt::format(
        "Cell: a = {}, b = {}, c = {} Angstroms; alpha = {}, beta = {}, gamma = {} "
        "degrees\n",
        value(CellField::A), value(CellField::B), value(CellField::C), value(CellField::Alpha),
        value(CellField::Beta), value(CellField::Gamma));
    for (const api::CrystalAnswer& answer : computed.answers) {
        if (answer.result.defined()) {
            out << fmt::format("{} = {} {}\n", answer.heading,
                               numbers::formatFixed(*answer.result.value, 4), answer.unit);
        } else {
            out << fmt::format("{} = undefined: {}\n", answer.heading, answer.result.reason);
        }
    }
    for (const std::string& note : computed.notes) {
        out << "Note: " << note << '\n';
    }
}

struct CrystalOptionTexts {
    std::string system = "Cubic";
    std::array<std::string, 6> cell{"10", "10", "10", "90", "90", "90"};
    std::string plane;
    std::string plane1{crystal::kDefaultPlane1Text};
    std::string plane2{crystal::kDefaultPlane2Text};
    std::string dir1{crystal::kDefaultDirection1Text};
    std::string dir2{crystal::kDefaultDirection2Text};
    bool volume = false;
    bool json = false;
};

std::optional<std::string> ifGiven(const CLI::Option* option, const std::string& text) {
    return option->count() > 0 ? std::optional<std::string>(text) : std::nullopt;
}

}  // namespace

int runCrystal(const CrystalRequest& request, std::ostream& out) {
    const Computed computed = api::computeCrystal(request);
    if (request.json) {
        printJson(computed, request, out);
    } else {
        printText(computed, out);
    }
    return 0;
}

void addCrystalCommand(CLI::App& app, int& exitStatus) {
    addCrystalCommand(app, exitStatus, terminalIo());
}

void addCrystalCommand(CLI::App& app, int& exitStatus, const CommandIo& io) {
    auto texts = std::make_shared<CrystalOptionTexts>();
    CLI::App* cmd = app.add_subcommand(
        "crystal",
        "Plane spacing, interplanar angle, angle between directions and volume of a unit cell.");
    cmd->add_option("--system", texts->system,
                    "Crystal system: Cubic, Hexagonal, Monoclinic, Orthorhombic, Tetragonal, "
                    "Triclinic or Trigonal (exact spelling)")
        ->type_name("NAME")
        ->capture_default_str();
    std::array<CLI::Option*, 6> cellOptions{};
    const std::array<std::string_view, 6> cellHelp{
        "Cell length a, Angstroms",
        "Cell length b, Angstroms (Orthorhombic, Monoclinic, Triclinic; others take b = a)",
        "Cell length c, Angstroms (not Cubic or Trigonal, which take c = a)",
        "Cell angle alpha between b and c, degrees, at most 360 (Trigonal, Triclinic; others "
        "90)",
        "Cell angle beta between a and c, degrees (Monoclinic, Triclinic; Trigonal takes alpha; "
        "others 90)",
        "Cell angle gamma between a and b, degrees (Triclinic; Trigonal takes alpha; Hexagonal "
        "120; others 90)"};
    for (const CellField field : crystal::kCellFields) {
        const auto i = static_cast<std::size_t>(field);
        cellOptions[i] = cmd->add_option(fmt::format("--{}", crystal::fieldShortName(field)),
                                         texts->cell[i], std::string(cellHelp[i]))
                             ->type_name("NUMBER")
                             ->capture_default_str();
    }
    CLI::Option* plane = cmd->add_option(
        "--plane", texts->plane,
        "Compute the spacing d of the plane \"h k l\", Angstroms: whole numbers separated by "
        "single blanks (default: not computed)");
    plane->type_name("\"H K L\"");
    CLI::Option* plane1 = cmd->add_option("--plane1", texts->plane1,
                                          "First plane of the interplanar angle, degrees; giving "
                                          "--plane1 or --plane2 computes it")
                              ->type_name("\"H K L\"")
                              ->capture_default_str();
    CLI::Option* plane2 =
        cmd->add_option("--plane2", texts->plane2, "Second plane of the interplanar angle")
            ->type_name("\"H K L\"")
            ->capture_default_str();
    CLI::Option* dir1 = cmd->add_option("--dir1", texts->dir1,
                                        "First direction \"u v w\" of the angle between "
                                        "directions, degrees: numbers separated by single "
                                        "blanks; giving --dir1 or --dir2 computes it")
                            ->type_name("\"U V W\"")
                            ->capture_default_str();
    CLI::Option* dir2 =
        cmd->add_option("--dir2", texts->dir2, "Second direction of the angle between directions")
            ->type_name("\"U V W\"")
            ->capture_default_str();
    cmd->add_flag("--volume", texts->volume, "Compute the cell volume, cubic Angstroms");
    cmd->add_flag("--json", texts->json,
                  "Print one JSON object: system, cell (Angstroms, degrees), the asked results at "
                  "full precision (null when undefined) and notes");
    cmd->footer(
        "The system's rules apply as in the window: a field the system fixes keeps its fixed "
        "value (b = c = a and 90-degree angles for Cubic) and the option is noted as ignored. "
        "A plane \"h k l\" is three whole numbers separated by single blanks (\"1.5 1 1\" is "
        "refused, not rounded). A direction \"u v w\" is one to three numbers separated by "
        "single blanks, read as the window reads them (\"1 1\" is [1 0 1], \"1\" is [0 0 1]); "
        "four or more numbers, commas or other separators are refused. A result the formula cannot "
        "give (a zero plane or direction, a length not above 0, an angle not between 0 and 180 "
        "degrees, angles that give no cell) is printed as undefined with the reason. Numbers "
        "use '.' as the decimal point whatever the locale. Exit status 2 with one line on "
        "standard error when an input is refused. The manual: share/doc/lamivex/manual.md.\n"
        "\n"
        "Examples:\n"
        "  $ lamivex-cli crystal --system Cubic --a 5.431 --plane \"1 1 1\" --volume\n"
        "  $ lamivex-cli crystal --system Hexagonal --a 2.464 --c 6.711 --plane1 \"0 0 1\" "
        "--plane2 \"1 0 1\" --json");
    cmd->callback([texts, cellOptions, plane, plane1, plane2, dir1, dir2, &exitStatus, &io] {
        CrystalRequest request;
        request.system = texts->system;
        for (std::size_t i = 0; i < cellOptions.size(); ++i) {
            request.cell[i] = ifGiven(cellOptions[i], texts->cell[i]);
        }
        request.plane = ifGiven(plane, texts->plane);
        request.plane1 = ifGiven(plane1, texts->plane1);
        request.plane2 = ifGiven(plane2, texts->plane2);
        request.dir1 = ifGiven(dir1, texts->dir1);
        request.dir2 = ifGiven(dir2, texts->dir2);
        request.volume = texts->volume;
        request.json = texts->json;
        exitStatus = reportErrors(
            "crystal", [&] { return runCrystal(request, *io.out); }, io);
    });
}

}  // namespace lamivex::cli
