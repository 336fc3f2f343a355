#include "cli/convert_command.h"

#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include <fmt/format.h>

#include "cli/cli_errors.h"
#include "cli/interpretation_output.h"
#include "cli/json_writer.h"
#include "cli/matrix_option.h"
#include "cli/run_inputs.h"
#include "engine/interpretation.h"
#include "numbers/entry_rule.h"
#include "numbers/input_error.h"
#include "numbers/lattice_rules.h"
#include "numbers/number_text.h"

namespace lamivex::cli {
namespace {

struct ConvertOptions {
    bool to60 = false;
    bool to120 = false;
    std::string a1 = "10";
    std::string a2 = "10";
    std::optional<std::string> matrix;
    bool json = false;
};

double length(const std::string& option, const std::string& text) {
    const numbers::FieldVerdict verdict = numbers::checkEntry(numbers::EntryRule::Single, text);
    if (!verdict.accepted) {
        numbers::failInput(option, verdict.reason);
    }
    const double value = numbers::toDouble(text).value;
    if (const numbers::FieldVerdict range = numbers::checkLatticeLength(option, value);
        !range.accepted) {
        numbers::failInput(option, range.reason);
    }
    return value;
}

int runConvert(const ConvertOptions& options) {
    if (options.to60 == options.to120) {
        numbers::failInput("alpha120-to-60", "give one of --alpha120-to-60 and --alpha60-to-120");
    }
    const engine::SubstrateCell cell{length("a1", options.a1), length("a2", options.a2),
                                     options.to60 ? 120.0 : 60.0};
    // Only a hexagonal cell has the two conventions; another cell would come out at neither.
    if (cell.a1 != cell.a2) {
        numbers::failInput("a2", fmt::format("a hexagonal cell has a1 = a2 (they are {} and {})",
                                             options.a1, options.a2));
    }
    std::optional<engine::Matrix2> matrix;
    if (options.matrix) {
        matrix = parseMatrix(*options.matrix, "matrix");
        checkMatrixOverlayer(engine::overlayerFromMatrix(*matrix, cell));
    }
    const engine::ConvertedCell out = options.to60 ? engine::convertAlpha120To60(cell, matrix)
                                                   : engine::convertAlpha60To120(cell, matrix);
    if (options.json) {
        JsonWriter json;
        json.beginObject();
        json.number("a1", out.cell.a1);
        json.number("a2", out.cell.a2);
        json.number("alpha", out.cell.alpha);
        if (out.matrix) {
            writeMatrixJson(json, "matrix", *out.matrix);
        } else {
            json.null("matrix");
        }
        beginInputs(json);
        json.string("convert", options.to60 ? "alpha120-to-60" : "alpha60-to-120");
        json.number("a1", cell.a1);
        json.number("a2", cell.a2);
        if (matrix) {
            writeMatrixJson(json, "matrix", *matrix);
        } else {
            json.null("matrix");
        }
        json.endObject();
        json.endObject();
        std::cout << json.text() << '\n';
        return 0;
    }
    fmt::print("Substrate: a1 = {}, a2 = {}, alpha = {} (a2 becomes {})\n",
               numbers::formatDouble(out.cell.a1), numbers::formatDouble(out.cell.a2),
               numbers::formatDouble(out.cell.alpha), options.to60 ? "a1 + a2" : "a2 - a1");
    if (out.matrix) {
        const engine::Matrix2& m = *out.matrix;
        fmt::print("Matrix: ({} {}; {} {})\n", numbers::formatDouble(m.m11),
                   numbers::formatDouble(m.m12), numbers::formatDouble(m.m21),
                   numbers::formatDouble(m.m22));
    }
    return 0;
}

}  // namespace

void addConvertCommand(CLI::App& app, int& exitStatus) {
    auto options = std::make_shared<ConvertOptions>();
    CLI::App* convert = app.add_subcommand(
        "convert",
        "Write a hexagonal substrate cell and a matrix in the other convention: alpha = 120 "
        "to alpha = 60 (a2 becomes a1 + a2) or back.");
    convert->add_flag("--alpha120-to-60", options->to60,
                      "From the cell with alpha = 120 to the one with alpha = 60, whose third "
                      "wave is a first-order wave of the lattice");
    convert->add_flag("--alpha60-to-120", options->to120, "Back from alpha = 60 to alpha = 120");
    convert->add_option("--a1", options->a1, "Substrate vector a1, Angstroms")
        ->type_name("NUMBER")
        ->capture_default_str();
    convert->add_option("--a2", options->a2, "Substrate vector a2, Angstroms")
        ->type_name("NUMBER")
        ->capture_default_str();
    convert
        ->add_option("--matrix", options->matrix,
                     "A transformation matrix \"m11 m12 m21 m22\" on the given cell (b1 = m11 "
                     "a1 + m12 a2, b2 = m21 a1 + m22 a2), written on the other cell")
        ->type_name("MATRIX");
    convert->add_flag("--json", options->json,
                      "Print one JSON object: a1, a2 (Angstroms), alpha (degrees), matrix");
    convert->footer(
        "The overlayer lattice stays the same; only the substrate's basis changes, and the "
        "matrix with it. Exit status 2 with one line on standard error when an input is "
        "refused. The manual: share/doc/lamivex/manual.md.\n"
        "\n"
        "Examples:\n"
        "  $ lamivex-cli convert --alpha120-to-60 --a1 2.5562 --a2 2.5562 --matrix \"2 1 -1 1\"");
    convert->callback([options, &exitStatus] {
        exitStatus = reportErrors("convert", [&] { return runConvert(*options); });
    });
}

}  // namespace lamivex::cli
