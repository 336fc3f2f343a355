#include "cli/build_command.h"

#include <array>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include <fmt/format.h>

#include "api/model_build.h"
#include "cli/cli_errors.h"
#include "cli/command_io.h"
#include "cli/interpretation_output.h"
#include "cli/json_writer.h"
#include "cli/output_files.h"
#include "cli/run_inputs.h"
#include "model/model_writers.h"
#include "numbers/input_error.h"

namespace lamivex::cli {
namespace {

struct BuildOptions {
    api::ModelRequest request;
    std::optional<std::string> matrix;     // "m11 m12 m21 m22"
    std::optional<std::string> supercell;  // "i j"
    std::optional<double> height;
    std::string out;
    bool json = false;
    const CommandIo* io = &terminalIo();
};

// "i j": two whole numbers from 1.
std::array<int, 2> multiplesFrom(const std::string& text) {
    std::istringstream in(text);
    std::array<int, 2> m{};
    std::string rest;
    if (!(in >> m[0] >> m[1]) || (in >> rest) || m[0] < 1 || m[1] < 1) {
        numbers::failInput("supercell",
                           fmt::format("expected \"i j\", the multiples of b1 and b2 (whole "
                                       "numbers from 1), got '{}'",
                                       text));
    }
    return m;
}

void vector(JsonWriter& json, std::string_view key, const model::Vec3& v) {
    json.beginArray(key);
    for (const double x : v) {
        json.number({}, x);
    }
    json.endArray();
}

void printJson(const api::ModelResult& result, const BuildOptions& options) {
    const model::StructureModel& m = result.model;
    JsonWriter json;
    json.beginObject();
    json.string("file", options.out);
    json.beginArray("cell");
    for (const model::Vec3& v : m.cell) {
        vector(json, {}, v);
    }
    json.endArray();
    json.integer("atoms", static_cast<long long>(m.atoms.size()));
    json.integer("substrate_atoms", m.substrateAtoms);
    json.integer("overlayer_atoms", m.overlayerAtoms);
    json.beginArray("substrate_matrix");
    for (const std::int64_t e : m.coincidence.substrateMatrix) {
        json.integer({}, e);
    }
    json.endArray();
    json.beginArray("multiples");
    json.integer({}, m.coincidence.b1Multiple);
    json.integer({}, m.coincidence.b2Multiple);
    json.endArray();
    json.number("azimuth", m.coincidence.azimuth);
    json.beginObject("strain");
    json.beginArray("tensor");
    for (const model::Vec2& row : m.strain.tensor) {
        json.beginArray();
        json.number({}, row[0]);
        json.number({}, row[1]);
        json.endArray();
    }
    json.endArray();
    json.beginArray("principal_percent");
    json.number({}, m.strain.principalPercent[0]);
    json.number({}, m.strain.principalPercent[1]);
    json.endArray();
    json.number("area_percent", m.strain.areaPercent);
    json.beginArray("vector_percent");
    json.number({}, m.strain.vectorPercent[0]);
    json.number({}, m.strain.vectorPercent[1]);
    json.endArray();
    json.number("rotation", m.strain.rotation);
    json.endObject();
    json.number("height", m.height);
    json.string("height_source", m.heightSource);
    json.integer("termination", m.settings.termination);
    json.beginArray("terminations");
    for (const std::string& t : m.terminations) {
        json.string({}, t);
    }
    json.endArray();
    json.integer("merged", m.merged);
    json.beginArray("close_pairs");
    for (const model::ClosePair& pair : m.closePairs) {
        json.beginObject();
        json.integer("first", static_cast<long long>(pair.first));
        json.integer("second", static_cast<long long>(pair.second));
        json.number("distance", pair.distance);
        json.number("usual", pair.usual);
        json.endObject();
    }
    json.endArray();
    if (result.scan) {
        json.beginObject("scan");
        json.number("vvo", result.scan->best.BestVVo);
        json.number("angle", result.scan->bestAngle);
        writeInterpretationJson(json, result.scan->interpretation);
        json.endObject();
    } else {
        json.null("scan");
    }
    beginInputs(json);
    for (const std::string& line : result.provenance.inputs) {
        const std::size_t colon = line.find(':');
        json.string(line.substr(0, colon), line.substr(colon + 2));
    }
    json.endObject();
    json.endObject();
    *options.io->out << json.text() << '\n';
}

int runBuild(BuildOptions& options) {
    const std::optional<model::ModelFormat> format = model::modelFormatOf(options.out);
    if (!format) {
        numbers::failInput("out", fmt::format("name the file *.cif, *.xyz, POSCAR or *.vasp, so "
                                              "that its format is known, not '{}'",
                                              options.out));
    }
    const std::array<OutputFile, 1> outputs = {OutputFile{"out", options.out, false}};
    checkOutputFiles(outputs, false);
    api::ModelRequest& request = options.request;
    if (options.supercell && !options.matrix) {
        numbers::failInput("supercell", "--supercell goes with --matrix");
    }
    if (options.matrix) {
        request.matrix = api::matrixFromText(*options.matrix, "matrix");
        const std::array<int, 2> multiples = multiplesFrom(options.supercell.value_or("1 1"));
        request.b1Multiple = multiples[0];
        request.b2Multiple = multiples[1];
    }
    request.settings.height = options.height;
    request.programVersion = programVersion();
    const api::ModelResult result = api::buildModel(request);
    writeOutputFile(outputs[0], [&](std::ostream& out) {
        model::writeModel(out, *format, result.model, result.provenance);
    });
    if (options.json) {
        printJson(result, options);
        return 0;
    }
    for (const std::string& line : result.model.description()) {
        *options.io->out << line << '\n';
    }
    for (const model::ClosePair& pair : result.model.closePairs) {
        const model::ModelAtom& p = result.model.atoms[pair.first];
        const model::ModelAtom& q = result.model.atoms[pair.second];
        *options.io->out << fmt::format(
            "  close: {} {} and {} {}, {:.3f} A apart (usual {:.3f} A)\n", p.element,
            pair.first + 1, q.element, pair.second + 1, pair.distance, pair.usual);
    }
    *options.io->out << fmt::format("Written to {}\n", options.out);
    return 0;
}

}  // namespace

void addBuildCommand(CLI::App& app, int& exitStatus) {
    addBuildCommand(app, exitStatus, terminalIo());
}

void addBuildCommand(CLI::App& app, int& exitStatus, const CommandIo& io) {
    auto options = std::make_shared<BuildOptions>();
    options->io = &io;
    api::ModelRequest& r = options->request;
    api::LatticeRequest& lattice = r.scan.lattice;
    CLI::App* build = app.add_subcommand(
        "build",
        "A structure model of an epitaxy solution: a slab of the substrate's plane with the "
        "overlayer strained on top in the coincidence cell, as CIF, POSCAR or extended XYZ.");
    build->add_option("--substrate-cif", lattice.substrateCif, "The substrate's crystal file")
        ->required()
        ->type_name("FILE.cif");
    lattice.substrateHkl = "1 1 1";
    build->add_option("--substrate-hkl", lattice.substrateHkl, "The substrate's plane \"h k l\"")
        ->type_name("\"H K L\"")
        ->capture_default_str();
    build->add_option("--overlayer-cif", lattice.overlayerCif, "The overlayer's crystal file")
        ->type_name("FILE.cif");
    lattice.overlayerHkl = "0 0 1";
    build
        ->add_option("--overlayer-hkl", lattice.overlayerHkl,
                     "The overlayer's plane \"h k l\"; its top layer is the overlayer")
        ->type_name("\"H K L\"")
        ->capture_default_str();
    build
        ->add_option("--overlayer-xyz", r.overlayerXyz,
                     "The overlayer as one layer of atoms in extended XYZ: the number of atoms, "
                     "then Lattice=\"ax ay az bx by bz cx cy cz\" whose a and b (in the xy "
                     "plane, b anticlockwise of a) are the layer's cell, then \"element x y z\" "
                     "per atom (Angstroms)")
        ->type_name("FILE.xyz");
    build->add_option("--m", lattice.m, "The scan's domain along b1, cells")->type_name("N");
    build->add_option("--n", lattice.n, "The scan's domain along b2, cells")->type_name("N");
    build->add_option("--lower", lattice.lower, "The scan's lower azimuth, degrees")
        ->type_name("NUMBER");
    build->add_option("--upper", lattice.upper, "The scan's upper azimuth, degrees")
        ->type_name("NUMBER");
    build->add_option("--spacing", lattice.spacing, "The scan's azimuth increment, degrees")
        ->type_name("NUMBER");
    build
        ->add_option("--max-multiple", lattice.maxMultiple,
                     "Search supercells of b1 and b2 up to K for a coincidence")
        ->type_name("K");
    build
        ->add_option("--registry-tolerance", r.scan.registryTolerance,
                     "How near a whole number a matrix element must be (see scan --help)")
        ->type_name("X")
        ->capture_default_str();
    build
        ->add_option("--matrix", options->matrix,
                     "No scan: the supercell (i b1, j b2) lies on A1 = m11 a1 + m12 a2, A2 = "
                     "m21 a1 + m22 a2, \"m11 m12 m21 m22\" in whole numbers")
        ->type_name("MATRIX");
    build
        ->add_option("--supercell", options->supercell,
                     "With --matrix: the multiples \"i j\" of b1 and b2 (default \"1 1\")")
        ->type_name("\"I J\"");
    build->add_option("--layers", r.settings.layers, "Atomic layers of the substrate")
        ->type_name("N")
        ->capture_default_str();
    build->add_option("--vacuum", r.settings.vacuum, "Vacuum above the overlayer, Angstroms")
        ->type_name("V")
        ->capture_default_str();
    build
        ->add_option("--height", options->height,
                     "From the top substrate layer to the overlayer's lowest atom, Angstroms "
                     "(default: the largest sum of van der Waals radii of the facing atoms)")
        ->type_name("H");
    build
        ->add_option("--termination", r.settings.termination,
                     "Which layer of the plane's period is on top, from 1 (the model lists "
                     "them)")
        ->type_name("K")
        ->capture_default_str();
    build
        ->add_option("--fix-layers", r.settings.fixLayers,
                     "The bottom layers fixed in the POSCAR's selective dynamics")
        ->type_name("N")
        ->capture_default_str();
    build
        ->add_option("--max-strain", r.settings.maxStrainPercent,
                     "Refuse a model whose overlayer is strained further, %")
        ->type_name("P")
        ->capture_default_str();
    build->add_option("--max-atoms", r.settings.maxAtoms, "Refuse a larger model")
        ->type_name("N")
        ->capture_default_str();
    build
        ->add_option("--out", options->out,
                     "The model's file: *.cif, *.xyz (extended XYZ), POSCAR or *.vasp")
        ->required()
        ->type_name("FILE");
    build->add_flag("--json", options->json,
                    "Print one JSON object: file, cell, atoms, substrate_atoms, "
                    "overlayer_atoms, substrate_matrix, multiples, azimuth, strain (tensor, "
                    "principal_percent, area_percent, vector_percent, rotation), height, "
                    "height_source, termination, terminations, merged, close_pairs, scan (vvo, "
                    "angle, interpretation; null with --matrix), lamivex_version, inputs");
    build->footer(
        "Without --matrix the command runs a scan of the two planes' meshes and builds its best "
        "solution, which must be commensurate or, with --max-multiple, coincident: else it "
        "says \"no periodic cell: choose a supercell or a tolerance\". The cell has a along x "
        "and c along the surface normal; the overlayer is strained onto the substrate's "
        "supercell and the strain is printed. Pairs of atoms nearer than 0.8 of the sum of "
        "their covalent radii are listed.\n"
        "\n"
        "Examples:\n"
        "  $ lamivex-cli build --substrate-cif Cu.cif --substrate-hkl \"1 1 1\" --overlayer-cif "
        "graphene.cif --overlayer-hkl \"0 0 1\" --matrix \"5 5 -5 10\" --supercell \"9 9\" "
        "--layers 3 --vacuum 15 --out model.cif\n"
        "  $ lamivex-cli build --substrate-cif Pt.cif --overlayer-xyz xe.xyz --matrix \"1 1 -1 "
        "2\" --layers 4 --fix-layers 2 --out POSCAR");
    build->callback([options, &exitStatus] {
        exitStatus = reportErrors(
            "build", [&] { return runBuild(*options); }, *options->io);
    });
}

}  // namespace lamivex::cli
