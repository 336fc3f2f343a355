#include "cli/surface_command.h"

#include <iostream>
#include <memory>
#include <string>

#include <fmt/format.h>

#include "cli/cli_errors.h"
#include "cli/command_io.h"
#include "cli/crystal_mesh_options.h"
#include "cli/json_writer.h"
#include "cli/run_inputs.h"

namespace lamivex::cli {
namespace {

struct SurfaceOptions {
    std::string file;
    std::string hkl = "1 1 1";
    bool json = false;
    const CommandIo* io = &terminalIo();
};

void vector(JsonWriter& json, const char* key, const crystal::Vector3& v) {
    json.beginArray(key);
    for (const double x : v) {
        json.number({}, x);
    }
    json.endArray();
}

std::string vectorText(const crystal::Vector3& v, int decimals) {
    return fmt::format("({:.{}f}, {:.{}f}, {:.{}f})", v[0], decimals, v[1], decimals, v[2],
                       decimals);
}

int runSurface(const SurfaceOptions& options) {
    crystal::BulkLattice bulk;
    const crystal::SurfaceMesh mesh =
        meshFromCrystalFile(options.file, options.hkl, "file", "hkl", &bulk);
    if (options.json) {
        JsonWriter json;
        json.beginObject();
        json.string("name", crystal::meshName(bulk, mesh));
        json.string("space_group", bulk.spaceGroup);
        json.beginArray("hkl");
        for (const int i : mesh.hkl) {
            json.integer({}, i);
        }
        json.endArray();
        json.string("mesh_type", crystal::meshTypeName(mesh.type));
        json.boolean("hexagonal", mesh.hexagonal);
        json.number("a1", mesh.a1);
        json.number("a2", mesh.a2);
        json.number("alpha", mesh.alpha);
        vector(json, "v1", mesh.v1);
        vector(json, "v2", mesh.v2);
        vector(json, "v1_uvw", mesh.v1Fractional);
        vector(json, "v2_uvw", mesh.v2Fractional);
        json.number("spacing", mesh.spacing);
        if (mesh.conventional) {
            json.beginObject("conventional");
            json.number("a", (*mesh.conventional)[0]);
            json.number("b", (*mesh.conventional)[1]);
            json.number("alpha", 90.0);
            json.endObject();
        } else {
            json.null("conventional");
        }
        json.beginObject("cell");
        json.number("a", bulk.a);
        json.number("b", bulk.b);
        json.number("c", bulk.c);
        json.number("alpha", bulk.alpha);
        json.number("beta", bulk.beta);
        json.number("gamma", bulk.gamma);
        json.endObject();
        beginInputs(json);
        json.string("file", options.file);
        json.string("hkl", options.hkl);
        json.endObject();
        json.endObject();
        *options.io->out << json.text() << '\n';
        return 0;
    }
    fmt::print("{} ({}, a = {:g}, b = {:g}, c = {:g} Å, {:g}°, {:g}°, {:g}°)\n",
               crystal::meshName(bulk, mesh), bulk.spaceGroup, bulk.a, bulk.b, bulk.c, bulk.alpha,
               bulk.beta, bulk.gamma);
    fmt::print("  {} mesh: a1 = {:.4f} Å, a2 = {:.4f} Å, alpha = {:.3f}°\n",
               crystal::meshTypeName(mesh.type), mesh.a1, mesh.a2, mesh.alpha);
    if (mesh.conventional) {
        fmt::print("  Centred rectangular cell: {:.4f} Å × {:.4f} Å\n", (*mesh.conventional)[0],
                   (*mesh.conventional)[1]);
    }
    fmt::print("  v1 = {} Å = {} of the cell\n", vectorText(mesh.v1, 4),
               vectorText(mesh.v1Fractional, 3));
    fmt::print("  v2 = {} Å = {} of the cell\n", vectorText(mesh.v2, 4),
               vectorText(mesh.v2Fractional, 3));
    fmt::print("  Plane spacing: {:.4f} Å\n", mesh.spacing);
    return 0;
}

}  // namespace

void addSurfaceCommand(CLI::App& app, int& exitStatus) {
    addSurfaceCommand(app, exitStatus, terminalIo());
}

void addSurfaceCommand(CLI::App& app, int& exitStatus, const CommandIo& io) {
    auto options = std::make_shared<SurfaceOptions>();
    options->io = &io;
    CLI::App* surface = app.add_subcommand(
        "surface",
        "The surface mesh of a plane (h k l) of a bulk crystal read from a CIF file: every "
        "lattice translation in the plane, the centring ones included, on its shortest basis.");
    surface->add_option("file", options->file, "The CIF file (cell and space group are read)")
        ->required()
        ->type_name("FILE.cif");
    surface
        ->add_option("--hkl", options->hkl,
                     "The plane \"h k l\" of the conventional cell: three whole numbers "
                     "separated by single blanks (\"1.5 1 1\" is refused, not rounded)")
        ->type_name("\"H K L\"")
        ->capture_default_str();
    surface->add_flag("--json", options->json,
                      "Print one JSON object: name, space_group, hkl, mesh_type (hexagonal, "
                      "square, rectangular, centred rectangular, oblique), hexagonal, a1, a2, "
                      "alpha (the reduced mesh as scan takes it: a1 <= a2, alpha 60..90), v1 and "
                      "v2 (Angstroms, a along x, b in the xy plane), v1_uvw and v2_uvw (fractions "
                      "of the cell), spacing, conventional (a, b, alpha of a centred rectangular "
                      "mesh, else null), cell, lamivex_version, inputs");
    surface->footer(
        "scan, iterate and view take the same mesh with --substrate-cif FILE --substrate-hkl "
        "\"h k l\" (and --overlayer-cif, --overlayer-hkl); a hexagonal mesh sets --hexagonal.\n"
        "\n"
        "Examples:\n"
        "  $ lamivex-cli surface Cu.cif --hkl \"1 1 1\"\n"
        "  $ lamivex-cli scan --substrate-cif Cu.cif --substrate-hkl \"1 1 1\" --b1 4.43 --b2 "
        "4.43 --beta 60");
    surface->callback([options, &exitStatus] {
        exitStatus = reportErrors(
            "surface", [&] { return runSurface(*options); }, *options->io);
    });
}

}  // namespace lamivex::cli
