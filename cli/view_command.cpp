#include "cli/view_command.h"

#include <algorithm>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include <fmt/format.h>

#include "api/views.h"
#include "cli/argument_checks.h"
#include "cli/cli_errors.h"
#include "cli/command_io.h"
#include "cli/figure_options.h"
#include "cli/interpretation_output.h"
#include "cli/json_writer.h"
#include "cli/lattice_options.h"
#include "cli/matrix_option.h"
#include "cli/number_option.h"
#include "cli/plot_output.h"
#include "cli/run_inputs.h"
#include "numbers/entry_rule.h"
#include "numbers/input_error.h"
#include "numbers/lattice_rules.h"
#include "numbers/number_text.h"
#include "output/picture_format.h"
#include "output/view_output.h"
#include "output/view_pictures.h"
#include "views/leed.h"
#include "views/real_space.h"
#include "views/view_subject.h"

namespace lamivex::cli {
namespace {

enum class ViewKind { RealSpace, Leed };

struct ViewOptions {
    LatticeOptions lattice;
    std::optional<std::string> matrix;
    std::optional<std::string> angle;
    std::optional<std::string> b1Multiple;
    std::optional<std::string> b2Multiple;
    std::optional<std::string> out;
    FigureOptions figure;  // by default 800 pixels wide at 96 dpi, as high as the picture asks
    std::string zoom = "1";
    bool json = false;
    // LEED
    std::string energy = "60";
    std::string domains = "all";
    bool noMirror = false;
    bool multipleScattering = false;
    bool oneColour = false;
    bool overlayerOrRangeGiven = false;
    const CommandIo* io = &terminalIo();
};

int wholeOption(const std::string& option, const std::string& text, int low, int high) {
    const double value = numberOption(option, text);
    if (value != std::floor(value) || value < low || value > high) {
        numbers::failInput(option, fmt::format("must be a whole number from {} to {} (it is {})",
                                               low, high, text));
    }
    return static_cast<int>(value);
}

constexpr double kViewDpi = 96;
constexpr const char* kDefaultViewWidth = "800";

// The size asked for, or 800 pixels wide in the picture's own proportions.
Figure viewFigure(const FigureOptions& options, const output::DisplayList& picture) {
    std::string size;
    if (!options.size) {
        const output::CoordinateSystem& cs = picture.coordinates;
        size = fmt::format("{}x{}", kDefaultViewWidth,
                           std::lround(800 * std::fabs(cs.height() / cs.width())));
    }
    return figureFrom(options, size, kViewDpi);
}

// The lattices and the orientation the picture shows: the matrix's, the angle given, or the
// best orientation of the scan these options describe.
views::ViewSubject subjectOf(const ViewOptions& options) {
    engine::MainFieldTexts fields = fieldsFrom(options.lattice);
    std::optional<double> angle;
    if (options.angle) {
        angle = numberOption("angle", *options.angle);
        if (const numbers::FieldVerdict verdict = numbers::checkAzimuth("The angle", *angle);
            !verdict.accepted) {
            numbers::failInput("angle", verdict.reason);
        }
    }
    std::optional<engine::Matrix2> matrix;
    if (options.matrix) {
        matrix = parseMatrix(*options.matrix, "matrix");
    }
    views::ViewSubject subject =
        api::viewSubject(fields, matrix, angle, options.overlayerOrRangeGiven);
    if (options.b1Multiple) {
        subject.b1Multiple = wholeOption("b1-multiple", *options.b1Multiple, 1, 1000);
    }
    if (options.b2Multiple) {
        subject.b2Multiple = wholeOption("b2-multiple", *options.b2Multiple, 1, 1000);
    }
    return subject;
}

// The options that repeat the picture: the lattices and settings as given, and the view's own.
void writeViewInputs(JsonWriter& json, const ViewOptions& options, const char* view) {
    beginInputs(json);
    json.string("view", view);
    writeLatticeInputs(json, fieldsFrom(options.lattice));
    const auto optional = [&json](std::string_view key, const std::optional<std::string>& text) {
        if (text) {
            json.string(key, *text);
        } else {
            json.null(key);
        }
    };
    optional("matrix", options.matrix);
    optional("angle", options.angle);
    optional("b1_multiple", options.b1Multiple);
    optional("b2_multiple", options.b2Multiple);
    json.string("zoom", options.zoom);
    if (std::string_view(view) == "leed") {
        json.string("energy", options.energy);
        json.string("domains", options.domains);
        json.boolean("mirror", !options.noMirror);
        json.boolean("multiple_scattering", options.multipleScattering);
        json.boolean("one_colour", options.oneColour);
    }
    json.endObject();
}

std::string angleText(double angle) {
    return numbers::formatFixed2(angle);
}

void writePicture(const ViewOptions& options, const output::DisplayList& picture,
                  const std::string& title) {
    const Figure figure = viewFigure(options.figure, picture);
    writeViewPicture("out", *options.out, picture, figure.style.widthPt, figure.style.heightPt,
                     figure.dpi, title);
}

int showRealSpace(const ViewOptions& options, const views::ViewSubject& subject, double zoom) {
    const views::RealSpaceScene scene =
        views::realSpaceScene(subject.substrate(), subject.overlayer(), subject.realSpaceOptions());
    const std::string caption = fmt::format("Real space at {}°", angleText(subject.lattices.angle));
    if (options.out) {
        writePicture(options, output::realSpacePicture(scene, {zoom, caption}), caption);
    }
    if (options.json) {
        JsonWriter json;
        json.beginObject();
        output::writeRealSpaceJson(json, subject, scene);
        writeViewInputs(json, options, "real-space");
        json.endObject();
        *options.io->out << json.text() << '\n';
    } else if (!options.out) {
        output::writeRealSpaceText(*options.io->out, subject, scene);
    }
    return 0;
}

int showLeed(const ViewOptions& options, const views::ViewSubject& subject, double zoom) {
    if (options.domains != "all" && options.domains != "one") {
        numbers::failInput("domains",
                           fmt::format("expected all or one, got '{}'", options.domains));
    }
    views::LeedOptions leed;
    leed.energyEv = numberOption("energy", options.energy);
    if (!(leed.energyEv > 0)) {
        numbers::failInput("energy", fmt::format("the energy must be greater than 0 eV (it is {})",
                                                 options.energy));
    }
    leed.allDomains = options.domains == "all";
    leed.mirrors = !options.noMirror;
    leed.multipleScattering = options.multipleScattering;
    views::LeedPattern pattern;
    try {
        pattern = views::leedPattern(subject.substrate(), subject.overlayer(), leed);
    } catch (const std::invalid_argument& e) {
        numbers::failInput("energy", e.what());
    }
    const std::string caption =
        fmt::format("LEED at {}°, {:g} eV", angleText(subject.lattices.angle), pattern.energyEv);
    if (options.out) {
        output::LeedPictureOptions picture;
        picture.zoom = zoom;
        picture.caption = caption;
        picture.oneColour = options.oneColour;
        writePicture(options, output::leedPicture(pattern, picture), caption);
    }
    const std::size_t orientations =
        leed.allDomains ? views::orientationCount(subject.substrate(), leed.mirrors) : 1;
    if (options.json) {
        JsonWriter json;
        json.beginObject();
        output::writeLeedJson(json, subject, pattern, orientations);
        writeViewInputs(json, options, "leed");
        json.endObject();
        *options.io->out << json.text() << '\n';
    } else if (!options.out) {
        output::writeLeedText(*options.io->out, pattern, orientations, leed.multipleScattering);
    }
    return 0;
}

int runView(ViewKind kind, const ViewOptions& options) {
    (void)viewFigure(options.figure, {});  // a wrong size or resolution stops before the run
    const double zoom = numberOption("zoom", options.zoom);
    if (!(zoom >= 1) || zoom > 1000) {
        numbers::failInput("zoom", fmt::format("must be from 1 to 1000 (it is {})", options.zoom));
    }
    if (options.out && !output::pictureFormatFor(*options.out)) {
        numbers::failInput("out", fmt::format("cannot tell the file type of '{}': use a name "
                                              "ending in .png, .svg or .pdf",
                                              *options.out));
    }
    const views::ViewSubject subject = subjectOf(options);
    return kind == ViewKind::RealSpace ? showRealSpace(options, subject, zoom)
                                       : showLeed(options, subject, zoom);
}

CLI::App* addViewSubcommand(CLI::App& view, ViewKind kind, int& exitStatus, const CommandIo& io) {
    auto options = std::make_shared<ViewOptions>();
    options->io = &io;
    const bool leed = kind == ViewKind::Leed;
    CLI::App* sub = view.add_subcommand(
        leed ? "leed" : "real-space",
        leed ? "The LEED pattern of the overlayer on the substrate at normal incidence, with "
               "every domain the substrate's symmetry makes."
             : "The overlayer points on the substrate sites at one azimuth, each coloured by its "
               "registry (its distance to the nearest substrate site).");
    addLatticeOptions(*sub, options->lattice);
    addDatabasePickOptions(*sub, options->lattice);
    sub->add_option("--matrix", options->matrix,
                    "The overlayer from a transformation matrix \"m11 m12 m21 m22\" (b1 = m11 a1 "
                    "+ m12 a2, b2 = m21 a1 + m22 a2), shown at its own azimuth")
        ->type_name("MATRIX");
    sub->add_option("--angle", options->angle,
                    "The azimuth to show, degrees (default: the best orientation of the scan "
                    "these options describe, with its multiples)")
        ->type_name("DEG");
    sub->add_option("--b1-multiple", options->b1Multiple,
                    "Outline the supercell (i b1, j b2) with i = this (default: the best "
                    "orientation's multiple, else 1)")
        ->type_name("I");
    sub->add_option("--b2-multiple", options->b2Multiple, "j of the supercell (i b1, j b2)")
        ->type_name("J");
    if (leed) {
        sub->add_option("--energy", options->energy, "Electron energy, eV")
            ->type_name("EV")
            ->capture_default_str();
        sub->add_option("--domains", options->domains,
                        "all: every domain of the substrate's rotations and mirrors; one: the "
                        "overlayer as it lies")
            ->type_name("all|one")
            ->capture_default_str();
        sub->add_flag("--no-mirror", options->noMirror, "Leave out the mirrored domains");
        sub->add_flag("--multiple-scattering", options->multipleScattering,
                      "Add the double-diffraction spots G_s + G_o of two spots on the screen");
        sub->add_flag("--one-colour", options->oneColour,
                      "Every overlayer spot in one colour instead of a colour per domain");
    }
    sub->add_option("--out", options->out,
                    "Write the picture to FILE; the type follows the name: .png, .svg or .pdf")
        ->type_name("FILE");
    addFigureOptions(*sub, options->figure, "800 pixels wide, as high as the picture", kViewDpi,
                     false);
    sub->add_option("--zoom", options->zoom,
                    "Show the middle of the picture this many times larger (1: everything)")
        ->type_name("Z")
        ->capture_default_str();
    sub->add_flag("--json", options->json,
                  leed ? "Print one JSON object: energy_ev, k0, substrate_kind, orientations, "
                         "domains (rotation_deg, mirrored, matrix), spots (source, domain, h, k, "
                         "kx, ky in 1/Angstrom)"
                       : "Print one JSON object: angle, multiples, matrix, the bases, spacing, "
                         "largest_registry and points (p, q, x, y in Angstroms, registry)");
    sub->footer(
        "Without --out and --json a short summary is printed. The registry of a point is its "
        "distance to the nearest substrate site in substrate spacings (nearest-neighbour "
        "distances): 0 on a site, 0.5 half-way to the next. Exit status 2 with one line on "
        "standard error when an input is refused. The manual: share/doc/lamivex/manual.md.\n"
        "\n"
        "Examples:\n"
        "  $ lamivex-cli view real-space --hexagonal --a1 2.8836 --a2 2.8836 --alpha 60 --b1 "
        "4.9945 --b2 4.9945 --beta 60 --out sqrt3.svg\n"
        "  $ lamivex-cli view leed --a1 2.5562 --a2 2.5562 --alpha 90 --matrix \"4 4 -5 5\" "
        "--energy 40 --out ptcda.png");
    sub->callback([sub, options, kind, &exitStatus] {
        const char* name = kind == ViewKind::Leed ? "view leed" : "view real-space";
        exitStatus = reportErrors(
            name,
            [&] {
                refuseEmptyValues(*sub);
                options->overlayerOrRangeGiven = sub->count("--b1") + sub->count("--b2") +
                                                     sub->count("--beta") + sub->count("--lower") +
                                                     sub->count("--upper") >
                                                 0;
                applyDatabasePicks(*sub, options->lattice);
                return runView(kind, *options);
            },
            *options->io);
    });
    return sub;
}

}  // namespace

void addViewCommand(CLI::App& app, int& exitStatus) {
    addViewCommand(app, exitStatus, terminalIo());
}

void addViewCommand(CLI::App& app, int& exitStatus, const CommandIo& io) {
    CLI::App* view = app.add_subcommand(
        "view", "The pictures of a solution: the overlayer in real space, or its LEED pattern.");
    view->require_subcommand(1);
    addViewSubcommand(*view, ViewKind::RealSpace, exitStatus, io);
    addViewSubcommand(*view, ViewKind::Leed, exitStatus, io);
}

}  // namespace lamivex::cli
