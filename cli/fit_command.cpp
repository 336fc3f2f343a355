#include "cli/fit_command.h"

#include <cmath>
#include <fstream>
#include <limits>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "api/fit.h"
#include "api/locations.h"
#include "cli/cli_errors.h"
#include "cli/lattice_options.h"
#include "cli/number_option.h"
#include "cli/plot_output.h"
#include "engine/capture.h"
#include "fit/image_levels.h"
#include "fit/leed_fit.h"
#include "fit/spot_finder.h"
#include "numbers/input_error.h"
#include "numbers/number_text.h"
#include "output/atomic_save.h"
#include "output/display_list.h"
#include "output/leed_fit_output.h"
#include "output/view_pictures.h"
#include "views/leed.h"

namespace lamivex::cli {
namespace {

struct FitCommandOptions {
    LatticeOptions lattice;
    std::string spotsFile;
    std::optional<std::string> image;
    std::optional<std::string> spotsOut;
    std::optional<std::string> threshold;
    std::optional<std::string> centre;
    std::optional<std::string> energy;
    std::string domains = "all";
    bool noMirror = false;
    bool affine = false;
    bool json = false;
    std::optional<std::string> out;
};

std::vector<std::string> splitCsvLine(const std::string& line) {
    std::vector<std::string> cells;
    std::string cell;
    std::istringstream in(line);
    while (std::getline(in, cell, ',')) {
        while (!cell.empty() && (cell.back() == '\r' || cell.back() == ' ')) {
            cell.pop_back();
        }
        while (!cell.empty() && cell.front() == ' ') {
            cell.erase(cell.begin());
        }
        cells.push_back(cell);
    }
    if (!line.empty() && line.back() == ',') {
        cells.emplace_back();
    }
    return cells;
}

// The spots of a CSV file whose first line names the columns x, y and, optionally, kind.
std::vector<fit::Spot> readSpots(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        failFile("", fmt::format("cannot read the spots file '{}'", path));
    }
    std::string line;
    std::getline(in, line);
    const std::vector<std::string> header = splitCsvLine(line);
    std::optional<std::size_t> xColumn;
    std::optional<std::size_t> yColumn;
    std::optional<std::size_t> kindColumn;
    for (std::size_t i = 0; i < header.size(); ++i) {
        if (header[i] == "x") {
            xColumn = i;
        } else if (header[i] == "y") {
            yColumn = i;
        } else if (header[i] == "kind") {
            kindColumn = i;
        }
    }
    if (!xColumn || !yColumn) {
        throw fit::FitError(fmt::format(
            "'{}' has no columns x and y: its first line must name them, as in \"x,y\" or "
            "\"x,y,kind\"",
            path));
    }
    std::vector<fit::Spot> spots;
    int lineNumber = 1;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (line.find_first_not_of(" \t\r") == std::string::npos) {
            continue;
        }
        const std::vector<std::string> cells = splitCsvLine(line);
        const auto cell = [&](std::size_t column) {
            return column < cells.size() ? cells[column] : std::string();
        };
        const auto coordinate = [&](std::size_t column, const char* name) {
            const numbers::Parsed<double> parsed = numbers::toDouble(cell(column));
            if (!parsed.ok() || !std::isfinite(parsed.value)) {
                throw fit::FitError(fmt::format("'{}' line {}: {} '{}' is not a number", path,
                                                lineNumber, name, cell(column)));
            }
            return parsed.value;
        };
        fit::Spot spot{coordinate(*xColumn, "x"), coordinate(*yColumn, "y")};
        if (kindColumn) {
            const std::optional<fit::SpotKind> kind = fit::kindFromName(cell(*kindColumn));
            if (!kind) {
                throw fit::FitError(
                    fmt::format("'{}' line {}: kind '{}' is none of substrate, overlayer or empty",
                                path, lineNumber, cell(*kindColumn)));
            }
            spot.kind = *kind;
        }
        spots.push_back(spot);
    }
    return spots;
}

// The measured spots and the fitted pattern on the screen, y downward as the image.
std::optional<output::FoundSpotsSummary> summaryOf(const std::optional<api::ImageSpots>& found) {
    if (!found) {
        return std::nullopt;
    }
    return output::FoundSpotsSummary{found->picture.width, found->picture.height,
                                     found->search.spots.size(), found->search.threshold,
                                     found->search.noise};
}

// The found spots as a spots file the fit reads back: a user may mark the kinds and refit.
void writeFoundSpots(const std::string& path, const fit::SpotSearch& search) {
    const output::SaveResult saved = output::saveAtomically(path, [&](std::ostream& out) {
        out << "x,y,kind,height\n";
        for (const fit::FoundSpot& s : search.spots) {
            out << fmt::format("{:.3f},{:.3f},,{:.6g}\n", s.x, s.y, s.height);
        }
    });
    if (!saved.ok) {
        failFile("spots-out", saved.error);
    }
}

// Over the image when there is one: pixel centres lie on whole coordinates.
output::DisplayList fitPicture(const fit::LeedFit& f, const std::vector<fit::Spot>& spots,
                               const engine::SubstrateCell& substrate,
                               const std::optional<api::ImageSpots>& found) {
    constexpr double kFar = std::numeric_limits<double>::infinity();
    double left = kFar;
    double right = -kFar;
    double top = kFar;
    double bottom = -kFar;
    for (const fit::Spot& s : spots) {
        left = std::min(left, s.x);
        right = std::max(right, s.x);
        top = std::min(top, s.y);
        bottom = std::max(bottom, s.y);
    }
    double margin = 0.08 * std::max(right - left, bottom - top) + 1;
    if (found) {
        left = -0.5;
        top = -0.5;
        right = found->picture.width - 0.5;
        bottom = found->picture.height - 0.5;
        margin = 0;
    }
    output::DisplayList picture;
    picture.coordinates = {left - margin, top - margin, right + margin, bottom + margin};
    picture.hasBackground = true;
    if (found) {
        picture.items.emplace_back(output::GreyPicture{{left, top},
                                                       {right, bottom},
                                                       found->picture.width,
                                                       found->picture.height,
                                                       fit::displayLevels(found->picture)});
    }
    const double radius = 0.006 * (right - left + 2 * margin);
    const auto onScreen = [&](views::Vec2 g) {
        const fit::ScreenPoint p = fit::downward(f.calibration.toScreen(g));
        return output::Point{p.x, p.y};
    };
    // The fitted pattern as rings: the substrate's orders black, each domain in its colour.
    const double reach = 1.02 *
                         std::max({std::hypot(left - f.centre.x, top - f.centre.y),
                                   std::hypot(right - f.centre.x, top - f.centre.y),
                                   std::hypot(left - f.centre.x, bottom - f.centre.y),
                                   std::hypot(right - f.centre.x, bottom - f.centre.y)}) /
                         f.calibration.scale();
    for (const views::LatticeSpot& s :
         views::spotsWithin(views::substrateBasis(substrate).reciprocal(), reach)) {
        picture.addDisc(onScreen(s.g), 2.2 * radius, output::kBlack, false);
    }
    for (std::size_t d = 0; d < f.domains.size(); ++d) {
        for (const views::LatticeSpot& s :
             views::spotsWithin(f.domains[d].overlayer.reciprocal(), reach)) {
            picture.addDisc(onScreen(s.g), 1.6 * radius, output::domainColour(static_cast<int>(d)),
                            false);
        }
    }
    for (std::size_t i = 0; i < spots.size(); ++i) {
        const bool unexplained = f.spots[i].assignment == fit::Assignment::Unexplained;
        picture.addDisc({spots[i].x, spots[i].y}, radius,
                        unexplained ? output::Rgb{220, 0, 0}
                        : found     ? output::Rgb{255, 200, 0}
                                    : output::Rgb{60, 60, 60},
                        !found);
    }
    picture.addDisc({f.centre.x, f.centre.y}, 0.7 * radius, output::Rgb{0, 120, 0});
    return picture;
}

int runFit(const FitCommandOptions& options) {
    const engine::CapturedRun run = engine::captureRun(fieldsFrom(options.lattice));
    const engine::SubstrateCell substrate = engine::substrateCellOf(run);
    fit::FitOptions fitOptions;
    if (options.centre) {
        const std::size_t comma = options.centre->find(',');
        if (comma == std::string::npos) {
            numbers::failInput("centre", fmt::format("'{}' is not X,Y", *options.centre));
        }
        fitOptions.centre =
            fit::ScreenPoint{numberOption("centre", options.centre->substr(0, comma)),
                             numberOption("centre", options.centre->substr(comma + 1))};
    }
    if (options.energy) {
        fitOptions.energyEv = numberOption("energy", *options.energy);
        if (!(*fitOptions.energyEv > 0)) {
            numbers::failInput("energy", "must be greater than 0 eV");
        }
    }
    if (options.domains != "all" && options.domains != "one") {
        numbers::failInput("domains", fmt::format("'{}' is neither all nor one", options.domains));
    }
    fitOptions.allDomains = options.domains == "all";
    fitOptions.mirrors = !options.noMirror;
    fitOptions.affine = options.affine;
    if (options.out) {
        checkPlotPath("out", *options.out);
    }
    if (options.spotsOut && !options.image) {
        numbers::failInput("spots-out", "needs --image: spots are written as they are found");
    }
    if (options.spotsOut) {
        if (const output::SaveResult target = output::checkSaveTarget(*options.spotsOut);
            !target.ok) {
            failFile("spots-out", target.error);
        }
    }
    if (options.threshold && !options.image) {
        numbers::failInput("threshold", "needs --image");
    }
    if (options.image.has_value() == !options.spotsFile.empty()) {
        numbers::failInput("image", "give either a spots file or --image FILE");
    }
    std::vector<fit::Spot> spots;
    std::optional<api::ImageSpots> found;
    if (options.image) {
        std::optional<double> threshold;
        if (options.threshold) {
            threshold = numberOption("threshold", *options.threshold);
        }
        found = api::findImageSpots(*options.image, threshold, api::programLocations());
        spots = fit::spotsOf(found->search);
        if (options.spotsOut) {
            writeFoundSpots(*options.spotsOut, found->search);
        }
    } else {
        spots = readSpots(options.spotsFile);
    }
    const fit::LeedFit result = fit::fitLeed(spots, substrate, fitOptions);
    if (options.out) {
        const output::DisplayList picture = fitPicture(result, spots, substrate, found);
        const double aspect = picture.coordinates.height() / picture.coordinates.width();
        // An image keeps its own pixels, up to 1200 across, in a PNG at 96 dpi.
        const double widthPt = found ? std::min(found->picture.width, 1200) * 72.0 / 96.0 : 600.0;
        writeViewPicture("out", *options.out, picture, widthPt, widthPt * aspect, 96,
                         "LEED spots and the fitted pattern");
    }
    if (options.json) {
        std::ostringstream out;
        output::writeLeedFitJson(out, {result, spots, summaryOf(found)});
        fmt::print("{}", out.str());
    } else {
        std::ostringstream out;
        output::writeLeedFitText(out, {result, spots, summaryOf(found)});
        fmt::print("{}", out.str());
    }
    return 0;
}

}  // namespace

void addFitCommand(CLI::App& app, int& exitStatus) {
    CLI::App* fitApp = app.add_subcommand("fit", "Fit a cell to a measured pattern.");
    fitApp->require_subcommand(1);
    auto options = std::make_shared<FitCommandOptions>();
    CLI::App* leed = fitApp->add_subcommand(
        "leed",
        "From measured LEED spots to the overlayer: the centre, scale and rotation from the "
        "substrate's orders, then the overlayer's cell b1, b2, beta and azimuth with all its "
        "domains, fitted by least squares with standard uncertainties, and the whole-number "
        "matrices within them.");
    leed->add_option("SPOTS", options->spotsFile,
                     "CSV file whose first line names the columns x,y and optionally kind "
                     "(substrate, overlayer or empty); x to the right, y downwards, in pixels "
                     "or any linear unit")
        ->type_name("SPOTS.csv");
    leed->add_option("--image", options->image,
                     "Find the spots on a PNG, JPEG or TIFF picture (8- or 16-bit, grey or "
                     "colour) instead: the smooth background taken away, dark regions such as "
                     "the gun's shadow left out, each spot placed to a fraction of a pixel")
        ->type_name("FILE");
    leed->add_option("--spots-out", options->spotsOut,
                     "With --image: write the found spots as a spots file (x,y,kind,height), "
                     "to mark kinds and fit again")
        ->type_name("FILE.csv");
    leed->add_option("--threshold", options->threshold,
                     "With --image: the least height of a spot above the background, in the "
                     "image's grey levels (default: 6 times the image's noise)")
        ->type_name("LEVELS");
    addLatticeOptions(*leed, options->lattice);
    addDatabasePickOptions(*leed, options->lattice);
    leed->add_option("--centre", options->centre,
                     "The (0,0) spot X,Y in the spots' unit (default: from the pattern's "
                     "inversion symmetry)")
        ->type_name("X,Y");
    leed->add_option("--energy", options->energy,
                     "Electron energy, eV: orders beyond the Ewald sphere are not expected")
        ->type_name("EV");
    leed->add_option("--domains", options->domains,
                     "all: every domain of the substrate's rotations and mirrors; one: the cell "
                     "as it lies")
        ->type_name("all|one")
        ->capture_default_str();
    leed->add_flag("--no-mirror", options->noMirror, "Leave out the mirrored domains");
    leed->add_flag("--affine", options->affine,
                   "Fit a small affine distortion of the camera as well as the scale and rotation");
    leed->add_flag("--json", options->json,
                   "Print one JSON object: b1, b2, beta, azimuth with *_sigma, rms_residual "
                   "(1/Angstrom) and rms_residual_pixels, calibration, domains, spots (x, y, "
                   "kind, assignment, domain, h, k, residual), missing, candidates (matrix, "
                   "name, distance_sigma), alternatives, interpretation, notes");
    leed->add_option("--out", options->out,
                     "Write the spots with the fitted pattern overlaid to FILE (.png, .svg or "
                     ".pdf)")
        ->type_name("FILE");
    leed->footer(
        "Only the substrate options (--a1, --a2, --alpha, --hexagonal, or a database or "
        "crystal pick) matter. Mark the substrate's spots with kind substrate when the "
        "overlayer is commensurate: its spots may form a finer lattice of the substrate's "
        "shape. The uncertainties are standard uncertainties from the fit's covariance scaled "
        "by its residual. Exit status 2 with one line on standard error when the spots are "
        "refused or give no cell.\n"
        "\n"
        "Examples:\n"
        "  $ lamivex-cli fit leed spots.csv --a1 2.5562 --a2 2.5562 --alpha 60 --hexagonal\n"
        "  $ lamivex-cli fit leed --image leed.tif --spots-out spots.csv --out fit.png "
        "--a1 2.5562 --a2 2.5562 --alpha 60 --hexagonal");
    leed->callback([leed, options, &exitStatus] {
        exitStatus = reportErrors("fit leed", [&] {
            applyDatabasePicks(*leed, options->lattice);
            return runFit(*options);
        });
    });
}

}  // namespace lamivex::cli
