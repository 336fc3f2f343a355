#include "cli/scan_command.h"

#include <algorithm>
#include <iostream>
#include <memory>
#include <thread>

#include <fmt/format.h>

#include "cli/cli_errors.h"
#include "cli/json_writer.h"
#include "cli/lattice_options.h"
#include "cli/plot_output.h"
#include "engine/angle_best_table.h"
#include "engine/capture.h"
#include "engine/input_error.h"
#include "engine/number_text.h"
#include "engine/rotation_scan.h"
#include "output/atomic_save.h"
#include "output/report_file.h"

namespace lamivex::cli {
namespace {

struct ScanOptions {
    LatticeOptions lattice;
    std::string reportPath;
    std::string plotPath;
    bool json = false;
    bool table = false;
};

void printResultsFrame(const engine::BestOrientation& best, int steps, bool geometric) {
    using engine::formatFixed2;
    using engine::formatScientific;
    const auto sci = [](double v) { return formatScientific(v, 3); };
    fmt::print("Results ({} azimuth steps)\n", steps);
    fmt::print("  Orientation Angle = {}\n", formatFixed2(best.BestAngle));
    fmt::print("  Transformation matrix\n");
    fmt::print("    m11 = {:<12} m12 = {}\n", sci(best.BestPx), sci(best.BestQy));
    fmt::print("    m21 = {:<12} m22 = {}\n", sci(best.BestQx), sci(best.BestPy));
    fmt::print("  V/Vo = {}\n", sci(best.BestVVo));
    // In a search for geometric solutions the matrix belongs to a supercell: say which.
    if (geometric) {
        fmt::print("  Multiples: b1 x {}, b2 x {}\n", engine::formatWhole(best.BestB1Multiple),
                   engine::formatWhole(best.BestB2Multiple));
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
    if (!options.plotPath.empty()) {
        checkPlotPath(options.plotPath);
    }
    const engine::CapturedRun run = engine::captureRun(fieldsFrom(options.lattice));
    engine::ScanResults results;
    engine::BestOrientation best;
    engine::ScanInputs inputs = engine::scanInputsFrom(run);
    // The passes of a geometric search share the cores; the results are those of one core.
    inputs.threads = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
    engine::runRotationScan(inputs, results, best);

    const engine::AngleBestTable table = engine::buildAngleBestTable(results);
    engine::fillAngleMinVVo(results, table);

    if (!options.reportPath.empty()) {
        const output::ReportInputs report =
            output::reportInputsFor(run, results, best, table, output::today());
        const output::SaveResult saved = output::saveAtomically(
            options.reportPath, [&](std::ostream& out) { output::writeReport(out, report); });
        if (!saved.ok) {
            throw engine::InputError("report", saved.error);
        }
    }
    if (!options.plotPath.empty()) {
        writePlot(options.plotPath, results, table);
    }
    if (options.json) {
        printJson(results, table, best, options.table);
    } else {
        printResultsFrame(best, results.stepCount(), run.settings.maxMultiple > 1);
    }
    return 0;
}

}  // namespace

void addScanCommand(CLI::App& app, int& exitStatus) {
    auto options = std::make_shared<ScanOptions>();
    CLI::App* scan = app.add_subcommand(
        "scan", "Rotate the overlayer through the azimuth range and report the best orientation.");
    addLatticeOptions(*scan, options->lattice);
    scan->add_option("--report", options->reportPath, "Write the report file (.epi) to FILE")
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
                   "With --json: add the best V/Vo of every azimuth step (table)");
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
