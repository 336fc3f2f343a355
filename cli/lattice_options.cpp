#include "cli/lattice_options.h"

#include <cmath>
#include <optional>

#include <fmt/format.h>

#include "api/lattice_request.h"
#include "engine/interpretation.h"
#include "numbers/constants.h"
#include "numbers/input_error.h"
#include "numbers/lattice_rules.h"
#include "numbers/number_text.h"

namespace lamivex::cli {
namespace {

std::string lengthHelp(const char* what) {
    return fmt::format("{}, Angstroms ({} to {})", what, numbers::kMinLatticeLength,
                       numbers::kMaxLatticeLength);
}

std::string angleHelp(const char* what) {
    return fmt::format(
        "{}, degrees, below 360 in magnitude and |sin| at least {} (not within "
        "{:.3f} of 0 or 180)",
        what, numbers::kMinCellSine, std::asin(numbers::kMinCellSine) / numbers::kDegree);
}

}  // namespace

void addLatticeOptions(CLI::App& command, LatticeOptions& options) {
    engine::MainFieldTexts& f = options.fields;
    command.add_option("--a1", f.a1, lengthHelp("Substrate vector a1"))
        ->type_name("NUMBER")
        ->capture_default_str();
    command.add_option("--a2", f.a2, lengthHelp("Substrate vector a2"))
        ->type_name("NUMBER")
        ->capture_default_str();
    command.add_option("--alpha", f.alpha, angleHelp("Angle from a1 to a2"))
        ->type_name("NUMBER")
        ->capture_default_str();
    command.add_flag("--hexagonal", f.hexagonal,
                     "Hexagonal substrate symmetry: the third substrate wave (along a1 + a2) "
                     "counts too (default: non-hexagonal)");
    command.add_option("--b1", f.b1, lengthHelp("Overlayer vector b1"))
        ->type_name("NUMBER")
        ->capture_default_str();
    command.add_option("--b2", f.b2, lengthHelp("Overlayer vector b2"))
        ->type_name("NUMBER")
        ->capture_default_str();
    command.add_option("--beta", f.beta, angleHelp("Angle from b1 to b2"))
        ->type_name("NUMBER")
        ->capture_default_str();
    command
        .add_option("--m", f.b1size,
                    fmt::format("Domain size along b1, cells: the domain spans -m..m (2m+1 "
                                "points). It may span at most {:g} periods of a substrate wave, "
                                "(2 max(m, n) + 1) x K x the longer b / the shorter a / "
                                "|sin alpha| (1/a1 + 1/a2 in place of 1/a when hexagonal), K the "
                                "maximum multiple; beyond that rounding makes V/Vo meaningless",
                                numbers::kMaxWavePeriods))
        ->type_name("N")
        ->capture_default_str();
    command
        .add_option("--n", f.b2size,
                    "Domain size along b2, cells: the domain spans -n..n (2n+1 points)")
        ->type_name("N")
        ->capture_default_str();
    command
        .add_option("--lower", f.Lowerangle,
                    fmt::format("Lower bound of the azimuth range, degrees (-{0} to {0})",
                                numbers::kMaxAzimuth))
        ->type_name("NUMBER")
        ->capture_default_str();
    command
        .add_option("--upper", f.Upperangle,
                    fmt::format("Upper bound of the azimuth range, degrees (-{0} to {0})",
                                numbers::kMaxAzimuth))
        ->type_name("NUMBER")
        ->capture_default_str();
    command.add_option("--spacing", f.AngleSpacing, "Azimuth increment, degrees")
        ->type_name("NUMBER")
        ->capture_default_str();
    command
        .add_option("--max-multiple", options.maxMultiple,
                    "Search for geometric solutions with multiples of b1 and b2 up to K, a "
                    "whole number (default: no search, multiple 1)")
        ->type_name("K");
    command
        .add_option("--substrate-name", f.SubName,
                    "Substrate name for the report, without control characters")
        ->type_name("NAME")
        ->capture_default_str();
    command
        .add_option("--overlayer-name", f.OverName,
                    "Overlayer name for the report, without control characters")
        ->type_name("NAME")
        ->capture_default_str();
}

engine::MainFieldTexts fieldsFrom(const LatticeOptions& options) {
    engine::MainFieldTexts fields = options.fields;
    fields.chkgeo = options.maxMultiple.has_value();
    if (fields.chkgeo) {
        const numbers::Parsed<double> value = numbers::toDouble(*options.maxMultiple);
        if (value.ok() && value.value != std::floor(value.value)) {
            numbers::failInput("max-multiple",
                               fmt::format("\"{}\" is not a whole number", *options.maxMultiple));
        }
        fields.txtUplim = *options.maxMultiple;
    }
    return fields;
}

void addDatabasePickOptions(CLI::App& command, LatticeOptions& options) {
    command
        .add_option("--substrate-from", options.substrateFrom,
                    "Take the substrate name, a1, a2 and alpha from the record NAME of the "
                    "structure database FILE, or of your own library when only NAME is given; "
                    "--a1 etc. given as well win over it")
        ->type_name("[FILE:]NAME");
    command.add_flag("--non-hexagonal", options.nonHexagonal,
                     "Run a substrate taken from the database as non-hexagonal even when it is "
                     "a hexagonal cell (a1 = a2, alpha = 60)");
    command
        .add_option("--overlayer-from", options.overlayerFrom,
                    "Take the overlayer name, b1, b2 and beta from the record NAME of the "
                    "structure database FILE, or of your own library when only NAME is given; "
                    "--b1 etc. given as well win over it")
        ->type_name("[FILE:]NAME");
    for (const bool substrate : {true, false}) {
        const char* which = substrate ? "substrate" : "overlayer";
        const char* fields = substrate ? "a1, a2 and alpha" : "b1, b2 and beta";
        command
            .add_option(fmt::format("--{}-cif", which),
                        substrate ? options.substrateCif : options.overlayerCif,
                        fmt::format("Take the {} name, {} from the surface mesh of a plane of "
                                    "the crystal in the CIF file FILE (see lamivex-cli surface); "
                                    "--a1 etc. given as well win over it",
                                    which, fields))
            ->type_name("FILE");
        command
            .add_option(
                fmt::format("--{}-hkl", which),
                substrate ? options.substrateHkl : options.overlayerHkl,
                fmt::format("The plane \"h k l\" of the conventional cell for --{}-cif", which))
            ->type_name("\"H K L\"");
    }
}

void applyDatabasePicks(const CLI::App& command, LatticeOptions& options) {
    engine::MainFieldTexts& f = options.fields;
    const auto fill = [&](const char* option, std::string& field, const std::string& text) {
        if (command.count(option) == 0) {
            field = text;
        }
    };
    if (const std::optional<api::LatticePick> substrate =
            api::pickLattice(database::TableKind::Substrate, options.substrateFrom,
                             options.substrateCif, options.substrateHkl, api::programLocations())) {
        fill("--substrate-name", f.SubName, substrate->texts.name);
        fill("--a1", f.a1, substrate->texts.length1);
        fill("--a2", f.a2, substrate->texts.length2);
        fill("--alpha", f.alpha, substrate->texts.angle);
        if (substrate->hexagonal && !options.nonHexagonal && command.count("--hexagonal") == 0) {
            f.hexagonal = true;
            options.symmetryTaken =
                fmt::format("hexagonal, as {}; --non-hexagonal turns it off", substrate->why);
        }
    }
    if (options.nonHexagonal && f.hexagonal && command.count("--hexagonal") > 0) {
        numbers::failInput("non-hexagonal", "--hexagonal and --non-hexagonal exclude each other");
    }
    if (const std::optional<api::LatticePick> overlayer =
            api::pickLattice(database::TableKind::Overlayer, options.overlayerFrom,
                             options.overlayerCif, options.overlayerHkl, api::programLocations())) {
        fill("--overlayer-name", f.OverName, overlayer->texts.name);
        fill("--b1", f.b1, overlayer->texts.length1);
        fill("--b2", f.b2, overlayer->texts.length2);
        fill("--beta", f.beta, overlayer->texts.angle);
    }
}

}  // namespace lamivex::cli
