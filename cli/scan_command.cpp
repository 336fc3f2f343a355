#include "cli/scan_command.h"

#include <algorithm>
#include <array>
#include <iostream>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include <fmt/format.h>

#include "cli/argument_checks.h"
#include "cli/cli_errors.h"
#include "cli/command_io.h"
#include "cli/interpretation_output.h"
#include "cli/json_writer.h"
#include "cli/lattice_options.h"
#include "cli/matrix_option.h"
#include "cli/output_files.h"
#include "cli/plot_output.h"
#include "cli/progress_meter.h"
#include "cli/run_checks.h"
#include "cli/run_inputs.h"
#include "engine/capture.h"
#include "engine/completed_scan.h"
#include "engine/rotation_scan.h"
#include "numbers/input_error.h"
#include "numbers/number_text.h"
#include "output/angle_table_csv.h"
#include "output/report_file.h"
#include "output/scan_output.h"

namespace lamivex::cli {
namespace {

struct ScanOptions {
    LatticeOptions lattice;
    std::optional<std::string> reportPath;
    std::optional<std::string> plotPath;
    FigureOptions figure;
    std::optional<std::string> csvPath;
    bool json = false;
    bool table = false;
    bool fast = false;
    bool quiet = false;
    std::string registryTolerance = "0.1";
    std::string coincidenceMisfit = "5";  // %
    std::optional<std::string> matrix;    // "m11 m12 m21 m22": the overlayer as a matrix
    bool atAngle = false;
    bool overlayerOrRangeGiven = false;   // --b1, --b2, --beta, --lower or --upper
    std::optional<std::string> fromJson;  // the JSON of an earlier run to repeat
    const CommandIo* io = &terminalIo();
};

// What the run found, as the JSON and the text both say it, and the fields it read.
struct Outcome {
    output::ScanSummary summary;
    engine::MainFieldTexts fields;  // as the run read them, for "inputs"
};

// Everything that repeats the run: the lattices and settings, and how it was computed.
void writeInputs(JsonWriter& json, const Outcome& o, const ScanOptions& options) {
    beginInputs(json);
    writeLatticeInputs(json, o.fields);
    if (options.matrix) {
        writeMatrixJson(json, "matrix", parseMatrix(*options.matrix, "matrix"));
    } else {
        json.null("matrix");
    }
    json.boolean("at_angle", options.atAngle);
    json.boolean("fast", options.fast);
    json.number("registry_tolerance", parseTolerance(options.registryTolerance));
    json.number("coincidence_misfit", parseCoincidenceMisfit(options.coincidenceMisfit));
    json.endObject();
}

void printJson(const Outcome& o, const engine::CompletedScan* scan, const ScanOptions& options) {
    JsonWriter json;
    json.beginObject();
    output::writeScanJson(json, o.summary, options.table ? scan : nullptr);
    writeInputs(json, o, options);
    json.endObject();
    *options.io->out << json.text() << '\n';
}

Outcome outcomeOf(const engine::BestOrientation& best, const engine::CapturedRun& run, int steps,
                  const engine::InterpretOptions& meaning, const ScanOptions& options) {
    Outcome o;
    o.fields = run.fields;
    output::ScanSummary& s = o.summary;
    s.best = best;
    s.steps = steps;
    s.geometric = run.settings.maxMultiple > 1;
    s.interpretation = engine::interpretBest(best, run, meaning);
    s.warnings = engine::symmetryNotes(engine::substrateCellOf(run), run.substrate.hexagonal);
    s.symmetryTaken = options.lattice.symmetryTaken;
    return o;
}

void report(const Outcome& o, const engine::CompletedScan* scan, const ScanOptions& options) {
    if (options.json) {
        printJson(o, scan, options);
    } else {
        std::ostream& out = *options.io->out;
        output::writeScanText(out, o.summary);
        if (options.table && scan != nullptr) {
            out << '\n';
            output::writeAngleTableText(out, scan->results.AzimuthAngles, scan->AngleBestTable);
        }
    }
    warnOnStderr("scan", o.summary.warnings);
}

void applyScanInputs(const JsonValue& inputs, const CLI::App& command, ScanOptions& options) {
    const std::string option = "from-json";
    applyLatticeInputs(inputs, command, options.lattice, option);
    const JsonValue* matrix = inputs.member("matrix");
    if (matrix != nullptr && !matrix->isNull() && command.count("--matrix") == 0) {
        std::string text;
        const bool shaped = matrix->kind == JsonValue::Kind::Array && matrix->items.size() == 2;
        for (std::size_t r = 0; shaped && r < 2; ++r) {
            const JsonValue& row = matrix->items[r];
            for (std::size_t c = 0; row.kind == JsonValue::Kind::Array && c < row.items.size();
                 ++c) {
                text += (text.empty() ? "" : " ") + row.items[c].text;
            }
        }
        options.matrix = text;  // checked as --matrix is
    }
    takeUnlessGiven(command, "--at-angle", booleanAt(inputs, {"at_angle"}, option),
                    options.atAngle);
    takeUnlessGiven(command, "--fast", booleanAt(inputs, {"fast"}, option), options.fast);
    applyInterpretationInputs(inputs, command, options.registryTolerance, options.coincidenceMisfit,
                              option);
}

int runScan(const ScanOptions& options) {
    const std::array<OutputFile, 3> outputs = {OutputFile{"report", options.reportPath, true},
                                               OutputFile{"plot", options.plotPath, false},
                                               OutputFile{"csv", options.csvPath, true}};
    // Every output is checked before the run, so a refusal writes nothing at all.
    const CheckedRun checked =
        checkBeforeRun(outputs, options.json, options.plotPath, options.figure,
                       options.registryTolerance, options.coincidenceMisfit);
    const std::optional<Figure>& figure = checked.figure;
    const engine::InterpretOptions& meaning = checked.meaning;
    engine::MainFieldTexts fields = fieldsFrom(options.lattice);
    // The report, the graph, the CSV and the table read the per-step table.
    const bool perStepOutput =
        std::any_of(outputs.begin(), outputs.end(),
                    [](const OutputFile& output) { return output.requested(); }) ||
        options.table;
    api::checkMatrixScanRequest(options.matrix.has_value(), options.atAngle,
                                options.overlayerOrRangeGiven);
    if (options.matrix) {
        const engine::Matrix2 matrix = parseMatrix(*options.matrix, "matrix");
        if (options.atAngle) {
            api::refuseStepsOfOneOrientation(perStepOutput || fields.chkgeo);
            const MatrixOrientation at = orientationOfMatrix(fields, matrix);
            report(outcomeOf(at.best, at.run, 1, meaning, options), nullptr, options);
            return 0;
        }
        fields = fieldsAroundMatrix(fields, matrix);
    }
    const engine::CapturedRun run = engine::captureRun(fields);
    engine::BestOrientation best;  // all zeros, as when the program starts
    engine::ScanInputs inputs = engine::scanInputsFrom(run);
    // The report carries V/Vo and the matrix to 15 digits: the reference arithmetic unless
    // the user asks for speed.
    inputs.kernel = options.fast ? engine::KernelPath::Fast : engine::KernelPath::Scalar;
    // The passes of a geometric search share the cores; the results are those of one core.
    inputs.threads = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
    ProgressMeter meter(progressWanted(options.quiet) && !options.io->progress);
    engine::ScanCallbacks callbacks;
    // Outside the block: the callbacks count with them while the run goes on.
    const int passes = run.settings.maxMultiple * run.settings.maxMultiple;
    int passesStarted = 0;
    if (meter.shown() || options.io->progress) {
        callbacks.passStarting = [&passesStarted](int, int, double, double) { ++passesStarted; };
        callbacks.progress = [&](int k, int lastAngleIndex) {
            const double inPass = lastAngleIndex > 0 ? static_cast<double>(k) / lastAngleIndex : 1;
            const double fraction = (passesStarted - 1 + inPass) / passes;
            if (options.io->progress) {
                options.io->progress(fraction);
            } else {
                meter.update(fraction);
            }
        };
    }
    // Nothing aborts a command-line run: it always completes.
    const engine::CompletedScan scan = *engine::runToCompletion(
        run, inputs, best, callbacks,
        perStepOutput ? engine::AngleTableChoice::Build : engine::AngleTableChoice::Skip);

    if (options.reportPath) {
        // The header shows the fields as the capture step left them, as a window saving
        // right after the run would.
        const output::ReportInputs reportInputs =
            output::reportInputsFor(scan, scan.capture.fields, output::today());
        writeOutputFile(outputs[0],
                        [&](std::ostream& out) { output::writeReport(out, reportInputs); });
    }
    if (options.plotPath) {
        writeGraphFigure(*options.plotPath, scan.results, scan.AngleBestTable, *figure);
    }
    if (options.csvPath) {
        writeOutputFile(outputs[2], [&](std::ostream& out) {
            output::writeAngleTableCsv(out, scan.results.AzimuthAngles, scan.AngleBestTable);
        });
    }
    if (anyToStandardOutput(outputs)) {
        return 0;  // standard output carries the file
    }
    report(outcomeOf(scan.best, run, scan.results.stepCount(), meaning, options), &scan, options);
    return 0;
}

}  // namespace

void addScanCommand(CLI::App& app, int& exitStatus) {
    addScanCommand(app, exitStatus, terminalIo());
}

void addScanCommand(CLI::App& app, int& exitStatus, const CommandIo& io) {
    auto options = std::make_shared<ScanOptions>();
    options->io = &io;
    CLI::App* scan = app.add_subcommand(
        "scan", "Rotate the overlayer through the azimuth range and report the best orientation.");
    addLatticeOptions(*scan, options->lattice);
    scan->add_option("--report", options->reportPath,
                     "Write the report file (.epi) to FILE; - writes it to standard output")
        ->type_name("FILE");
    scan->add_option("--plot", options->plotPath,
                     "Write the graph of V/Vo against the azimuth angle to FILE, laid out for a "
                     "paper; the type follows the name: .png, .svg or .pdf")
        ->type_name("FILE");
    addFigureOptions(*scan, options->figure, kDefaultFigureSize, kDefaultFigureDpi, true);
    scan->add_option("--csv", options->csvPath,
                     "Write the best V/Vo of every azimuth step to FILE as CSV (RFC 4180, full "
                     "precision): angle, vvo, b1_multiple, b2_multiple, m11, m12, m21, m22; - "
                     "writes it to standard output")
        ->type_name("FILE");
    addDatabasePickOptions(*scan, options->lattice);
    scan->add_flag("--json", options->json,
                   "Print the result as one JSON object: lamivex_version; steps; best with "
                   "vvo, angle (degrees), m11, m12, m21, m22, b1_multiple and b2_multiple; "
                   "interpretation (type, matrix_integer, point_on_line_column, supercell, "
                   "wood, nearest, misfit_percent, area_ratio, summary); warnings; inputs "
                   "(the lattices and settings that repeat the run, see --from-json)");
    scan->add_flag("--table", options->table,
                   "Add the best V/Vo of every azimuth step with its multiples and matrix: "
                   "with --json as the array table, else as a table after the result");
    scan->add_flag("--fast", options->fast,
                   "Compute with the vectorised kernel, for very large geometric searches; "
                   "V/Vo and the matrix may then differ in the last digits");
    scan->add_flag("--quiet", options->quiet,
                   "No progress line on standard error (it is shown only on a terminal)");
    scan->add_option("--registry-tolerance", options->registryTolerance,
                     "How near a whole number a matrix element M must be to count as one: "
                     "|M - round(M)| x (2 max(m, n) + 1) <= X with m, n the domain sizes, so "
                     "that the deviation across the domain stays below X substrate spacings. "
                     "Graphene on Cu(111) (9x9 on (5√3x5√3)R30°) turns coincident from 0.31")
        ->type_name("X")
        ->capture_default_str();
    scan->add_option("--coincidence-misfit", options->coincidenceMisfit,
                     "The largest length misfit (%) of a nearest coincidence that an "
                     "incommensurate result names; beyond it the result says \"no coincidence "
                     "within P %\"")
        ->type_name("P")
        ->capture_default_str();
    scan->add_option("--matrix", options->matrix,
                     "Take the overlayer from a transformation matrix \"m11 m12 m21 m22\" "
                     "(b1 = m11 a1 + m12 a2, b2 = m21 a1 + m22 a2) and scan one spacing either "
                     "side of its azimuth")
        ->type_name("MATRIX");
    scan->add_flag("--at-angle", options->atAngle,
                   "With --matrix: compute the one orientation at the matrix's own azimuth");
    scan->add_option("--from-json", options->fromJson,
                     "Repeat the run recorded in the \"inputs\" of an earlier scan's --json "
                     "output in FILE; options given as well win over it")
        ->type_name("FILE");
    scan->footer(
        "Without --json the result is printed as the window's Results frame: the orientation "
        "angle, the transformation matrix (b1 = m11 a1 + m12 a2, b2 = m21 a1 + m22 a2) and "
        "V/Vo; with --max-multiple also the multiples of b1 and b2 of the best supercell; then "
        "what it means: the type of epitaxy (commensurate, point-on-line, coincident or "
        "incommensurate), the Wood notation, the misfit against the nearest substrate "
        "vectors and the area of the cell.\n"
        "\n"
        "Numbers use '.' as the decimal point whatever the locale. Lengths and angles are "
        "read as single-precision values, as the desktop program reads its fields. Exit "
        "status 2 with one line on standard error when an input is refused. The manual: "
        "share/doc/lamivex/manual.md.\n"
        "\n"
        "Examples:\n"
        "  $ lamivex-cli scan --hexagonal --a1 2.8836 --a2 2.8836 --alpha 60 --b1 4.9945 "
        "--b2 4.9945 --beta 60\n"
        "  $ lamivex-cli scan --b1 7.3 --b2 5.1 --beta 75 --max-multiple 4 --report run.epi\n"
        "  $ lamivex-cli scan --substrate-from structures.sqlite:\"Au(111)\" --json");
    scan->callback([scan, options, &exitStatus] {
        exitStatus = reportErrors(
            "scan",
            [&] {
                refuseEmptyValues(*scan);
                options->overlayerOrRangeGiven =
                    scan->count("--b1") + scan->count("--b2") + scan->count("--beta") +
                        scan->count("--lower") + scan->count("--upper") >
                    0;
                if (options->fromJson) {
                    applyScanInputs(readInputs(*options->fromJson, "from-json"), *scan, *options);
                }
                applyDatabasePicks(*scan, options->lattice);
                return runScan(*options);
            },
            *options->io);
    });
}

}  // namespace lamivex::cli
