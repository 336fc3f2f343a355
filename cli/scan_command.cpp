#include "cli/scan_command.h"

#include <iostream>
#include <memory>

#include <fmt/format.h>

#include "cli/cli_errors.h"
#include "cli/json_writer.h"
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
    engine::MainFieldTexts fields;
    std::string maxMultiple;  // empty: no geometric search
    std::string reportPath;
    bool json = false;
    bool table = false;
};

void printResultsFrame(const engine::BestOrientation& best, int steps) {
    using engine::formatFixed2;
    using engine::formatScientific;
    const auto sci = [](double v) { return formatScientific(v, 3); };
    fmt::print("Results ({} azimuth steps)\n", steps);
    fmt::print("  Orientation Angle = {}\n", formatFixed2(best.BestAngle));
    fmt::print("  Transformation matrix\n");
    fmt::print("    m11 = {:<12} m12 = {}\n", sci(best.BestPx), sci(best.BestQy));
    fmt::print("    m21 = {:<12} m22 = {}\n", sci(best.BestQx), sci(best.BestPy));
    fmt::print("  V/Vo = {}\n", sci(best.BestVVo));
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
    engine::MainFieldTexts fields = options.fields;
    fields.chkgeo = !options.maxMultiple.empty();
    if (fields.chkgeo) {
        fields.txtUplim = options.maxMultiple;
    }
    const engine::CapturedRun run = engine::captureRun(fields);
    engine::ScanResults results;
    engine::BestOrientation best;
    engine::runRotationScan(engine::scanInputsFrom(run), results, best);

    const engine::AngleBestTable table = engine::buildAngleBestTable(results);
    engine::fillAngleMinVVo(results, table);

    if (!options.reportPath.empty()) {
        output::ReportInputs report;
        report.fields = run.fields;
        report.capturedB1 = run.overlayer.b1;
        report.capturedB2 = run.overlayer.b2;
        report.best = best;
        report.azimuthAngles = results.AzimuthAngles;
        report.angleBestTable = table;
        report.angleMinVVo = results.AngleMinVVo;
        report.date = output::today();
        const output::SaveResult saved = output::saveAtomically(
            options.reportPath, [&](std::ostream& out) { output::writeReport(out, report); });
        if (!saved.ok) {
            throw engine::InputError("report", saved.error);
        }
    }
    if (options.json) {
        printJson(results, table, best, options.table);
    } else {
        printResultsFrame(best, results.stepCount());
    }
    return 0;
}

}  // namespace

void addScanCommand(CLI::App& app, int& exitStatus) {
    auto options = std::make_shared<ScanOptions>();
    engine::MainFieldTexts& f = options->fields;
    CLI::App* scan = app.add_subcommand(
        "scan", "Rotate the overlayer through the azimuth range and report the best orientation.");
    scan->add_option("--a1", f.a1, "Substrate vector a1, Angstroms")->capture_default_str();
    scan->add_option("--a2", f.a2, "Substrate vector a2, Angstroms")->capture_default_str();
    scan->add_option("--alpha", f.alpha, "Angle from a1 to a2, degrees")->capture_default_str();
    scan->add_flag("--hexagonal", f.hexagonal,
                   "Hexagonal substrate symmetry: the third substrate wave (along a1 + a2) "
                   "counts too (default: non-hexagonal)");
    scan->add_option("--b1", f.b1, "Overlayer vector b1, Angstroms")->capture_default_str();
    scan->add_option("--b2", f.b2, "Overlayer vector b2, Angstroms")->capture_default_str();
    scan->add_option("--beta", f.beta, "Angle from b1 to b2, degrees")->capture_default_str();
    scan->add_option("--m", f.b1size,
                     "Domain size along b1, cells: the domain spans -m..m (2m+1 points)")
        ->capture_default_str();
    scan->add_option("--n", f.b2size,
                     "Domain size along b2, cells: the domain spans -n..n (2n+1 points)")
        ->capture_default_str();
    scan->add_option("--lower", f.Lowerangle, "Lower bound of the azimuth range, degrees")
        ->capture_default_str();
    scan->add_option("--upper", f.Upperangle, "Upper bound of the azimuth range, degrees")
        ->capture_default_str();
    scan->add_option("--spacing", f.AngleSpacing, "Azimuth increment, degrees")
        ->capture_default_str();
    scan->add_option("--max-multiple", options->maxMultiple,
                     "Search for geometric solutions with multiples of b1 and b2 up to K "
                     "(default: no search, multiple 1)")
        ->type_name("K");
    scan->add_option("--substrate-name", f.SubName, "Substrate name for the report")
        ->capture_default_str();
    scan->add_option("--overlayer-name", f.OverName, "Overlayer name for the report")
        ->capture_default_str();
    scan->add_option("--report", options->reportPath, "Write the report file (.epi) to FILE")
        ->type_name("FILE");
    scan->add_flag("--json", options->json, "Print the result as one JSON object");
    scan->add_flag("--table", options->table,
                   "With --json: add the best V/Vo of every azimuth step");
    scan->footer(
        "Numbers use '.' as the decimal point whatever the locale. Lengths and angles are "
        "read as single-precision values, as the desktop program reads its fields.");
    scan->callback([options, &exitStatus] {
        exitStatus = reportErrors("scan", [&] { return runScan(*options); });
    });
}

}  // namespace lamivex::cli
