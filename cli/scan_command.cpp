#include "cli/scan_command.h"

#include <algorithm>
#include <array>
#include <optional>
#include <iostream>
#include <memory>
#include <thread>

#include <fmt/format.h>

#include "cli/cli_errors.h"
#include "cli/json_writer.h"
#include "cli/lattice_options.h"
#include "cli/output_files.h"
#include "cli/plot_output.h"
#include "cli/progress_meter.h"
#include "engine/completed_scan.h"
#include "engine/capture.h"
#include "numbers/input_error.h"
#include "numbers/number_text.h"
#include "engine/rotation_scan.h"
#include "output/report_file.h"

namespace lamivex::cli {
namespace {

struct ScanOptions {
    LatticeOptions lattice;
    std::optional<std::string> reportPath;
    std::optional<std::string> plotPath;
    bool json = false;
    bool table = false;
    bool fast = false;
    bool quiet = false;
};

// The per-step table as text: a heading, then one row per azimuth step at full precision.
void printTable(const engine::ScanResults& results, const engine::AngleBestTable& table) {
    constexpr int kWide = 24;
    constexpr int kNarrow = 11;
    fmt::print("{:>{}}{:>{}}{:>{}}{:>{}}{:>{}}{:>{}}{:>{}}{:>{}}\n", "angle", kNarrow, "vvo", kWide,
               "b1_multiple", kNarrow + 1, "b2_multiple", kNarrow + 1, "m11", kWide, "m12", kWide,
               "m21", kWide, "m22", kWide);
    for (std::size_t k = 0; k < table.size(); ++k) {
        const engine::AngleBestRow& row = table[k];
        fmt::print("{:>{}}{:>{}}{:>{}}{:>{}}{:>{}}{:>{}}{:>{}}{:>{}}\n", results.AzimuthAngles[k],
                   kNarrow, row.minVVo, kWide, row.b1Multiple, kNarrow + 1, row.b2Multiple,
                   kNarrow + 1, row.m11, kWide, row.m12, kWide, row.m21, kWide, row.m22, kWide);
    }
}

void printResultsFrame(const engine::BestOrientation& best, int steps, bool geometric) {
    using numbers::formatFixed2;
    using numbers::formatScientific;
    const auto sci = [](double v) { return formatScientific(v, 3); };
    fmt::print("Results ({} azimuth steps)\n", steps);
    fmt::print("  Orientation Angle = {}\n", formatFixed2(best.BestAngle));
    fmt::print("  Transformation matrix\n");
    fmt::print("    m11 = {:<12} m12 = {}\n", sci(best.BestPx), sci(best.BestQy));
    fmt::print("    m21 = {:<12} m22 = {}\n", sci(best.BestQx), sci(best.BestPy));
    fmt::print("  V/Vo = {}\n", sci(best.BestVVo));
    // In a search for geometric solutions the matrix belongs to a supercell: say which.
    if (geometric) {
        fmt::print("  Multiples: b1 x {}, b2 x {}\n", numbers::formatWhole(best.BestB1Multiple),
                   numbers::formatWhole(best.BestB2Multiple));
    }
}

void printJson(const engine::ScanResults& results, const engine::AngleBestTable& table,
               const engine::BestOrientation& best, bool withTable) {
    JsonWriter json;
    json.beginObject();
    json.integer("steps", results.stepCount());
    json.beginObject("best");
    json.number("vvo", best.BestVVo);
    json.number("angle", best.BestAngle);
    json.number("m11", best.BestPx);
    json.number("m12", best.BestQy);
    json.number("m21", best.BestQx);
    json.number("m22", best.BestPy);
    json.number("b1_multiple", best.BestB1Multiple);
    json.number("b2_multiple", best.BestB2Multiple);
    json.endObject();
    if (withTable) {
        json.beginArray("table");
        for (std::size_t k = 0; k < table.size(); ++k) {
            const engine::AngleBestRow& row = table[k];
            json.beginObject();
            json.number("angle", results.AzimuthAngles[k]);
            json.number("vvo", row.minVVo);
            json.number("b1_multiple", row.b1Multiple);
            json.number("b2_multiple", row.b2Multiple);
            json.number("m11", row.m11);
            json.number("m12", row.m12);
            json.number("m21", row.m21);
            json.number("m22", row.m22);
            json.endObject();
        }
        json.endArray();
    }
    json.endObject();
    std::cout << json.text() << '\n';
}

int runScan(const ScanOptions& options) {
    const std::array<OutputFile, 2> outputs = {OutputFile{"report", options.reportPath, true},
                                               OutputFile{"plot", options.plotPath, false}};
    // Every output is checked before the run, so a refusal writes nothing at all.
    checkOutputFiles(outputs, options.json);
    if (options.plotPath) {
        checkPlotPath(*options.plotPath);
    }
    const engine::CapturedRun run = engine::captureRun(fieldsFrom(options.lattice));
    engine::BestOrientation best;  // all zeros, as when the program starts
    engine::ScanInputs inputs = engine::scanInputsFrom(run);
    // The report carries V/Vo and the matrix to 15 digits: the reference arithmetic unless
    // the user asks for speed.
    inputs.kernel = options.fast ? engine::KernelPath::Fast : engine::KernelPath::Scalar;
    // The passes of a geometric search share the cores; the results are those of one core.
    inputs.threads = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
    ProgressMeter meter(progressWanted(options.quiet));
    engine::ScanCallbacks callbacks;
    if (meter.shown()) {
        const int passes = run.settings.maxMultiple * run.settings.maxMultiple;
        int passesStarted = 0;
        callbacks.passStarting = [&passesStarted](int, int, double, double) { ++passesStarted; };
        callbacks.progress = [&](int k, int lastAngleIndex) {
            const double inPass = lastAngleIndex > 0 ? static_cast<double>(k) / lastAngleIndex : 1;
            meter.update((passesStarted - 1 + inPass) / passes);
        };
    }
    // Nothing aborts a command-line run: it always completes.
    const engine::CompletedScan scan = *engine::runToCompletion(run, inputs, best, callbacks);

    if (options.reportPath) {
        // The header shows the fields as the capture step left them, as a window saving
        // right after the run would.
        const output::ReportInputs report =
            output::reportInputsFor(scan, scan.capture.fields, output::today());
        writeOutputFile(outputs[0], [&](std::ostream& out) { output::writeReport(out, report); });
    }
    if (options.plotPath) {
        writePlot(*options.plotPath, scan.results, scan.AngleBestTable);
    }
    if (anyToStandardOutput(outputs)) {
        return 0;  // standard output carries the file
    }
    if (options.json) {
        printJson(scan.results, scan.AngleBestTable, scan.best, options.table);
        return 0;
    }
    printResultsFrame(scan.best, scan.results.stepCount(), run.settings.maxMultiple > 1);
    if (options.table) {
        fmt::print("\n");
        printTable(scan.results, scan.AngleBestTable);
    }
    return 0;
}

}  // namespace

void addScanCommand(CLI::App& app, int& exitStatus) {
    auto options = std::make_shared<ScanOptions>();
    CLI::App* scan = app.add_subcommand(
        "scan", "Rotate the overlayer through the azimuth range and report the best orientation.");
    addLatticeOptions(*scan, options->lattice);
    scan->add_option("--report", options->reportPath,
                     "Write the report file (.epi) to FILE; - writes it to standard output")
        ->type_name("FILE");
    scan->add_option("--plot", options->plotPath,
                     "Write the graph of V/Vo against the azimuth angle to FILE; the type "
                     "follows the name: .png, .svg or .pdf")
        ->type_name("FILE");
    addDatabasePickOptions(*scan, options->lattice);
    scan->add_flag("--json", options->json,
                   "Print the result as one JSON object: steps, and best with vvo, angle "
                   "(degrees), m11, m12, m21, m22, b1_multiple and b2_multiple");
    scan->add_flag("--table", options->table,
                   "Add the best V/Vo of every azimuth step with its multiples and matrix: "
                   "with --json as the array table, else as a table after the result");
    scan->add_flag("--fast", options->fast,
                   "Compute with the vectorised kernel, for very large geometric searches; "
                   "V/Vo and the matrix may then differ in the last digits");
    scan->add_flag("--quiet", options->quiet,
                   "No progress line on standard error (it is shown only on a terminal)");
    scan->footer(
        "Without --json the result is printed as the window's Results frame: the orientation "
        "angle, the transformation matrix (b1 = m11 a1 + m12 a2, b2 = m21 a1 + m22 a2) and "
        "V/Vo; with --max-multiple also the multiples of b1 and b2 of the best supercell.\n"
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
        exitStatus = reportErrors("scan", [&] {
            applyDatabasePicks(*scan, options->lattice);
            return runScan(*options);
        });
    });
}

}  // namespace lamivex::cli
