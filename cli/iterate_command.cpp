#include "cli/iterate_command.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <iostream>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "cli/argument_checks.h"
#include "cli/cli_errors.h"
#include "cli/command_io.h"
#include "cli/interpretation_output.h"
#include "cli/json_writer.h"
#include "cli/lattice_options.h"
#include "cli/output_files.h"
#include "cli/plot_output.h"
#include "cli/progress_meter.h"
#include "cli/run_checks.h"
#include "cli/run_inputs.h"
#include "engine/capture.h"
#include "iteration/iteration_output.h"
#include "iteration/iteration_plan.h"
#include "iteration/iteration_run.h"
#include "iteration/range_rules.h"
#include "numbers/input_error.h"
#include "numbers/number_text.h"
#include "output/iteration_data_file.h"
#include "output/match_table_csv.h"

namespace lamivex::cli {
namespace {

using iteration::Constant;
using iteration::constantName;
using iteration::rangeFieldName;
using iteration::rowIndex;

constexpr std::array<Constant, iteration::kConstantCount> kConstants = {
    Constant::b1, Constant::b2, Constant::beta, Constant::a1, Constant::a2, Constant::alpha};
constexpr int kMaxThreads = 256;

struct IterateOptions {
    LatticeOptions lattice;
    std::string iterate = "overlayer";
    bool rigid = false;
    std::array<std::string, iteration::kConstantCount> ranges;  // empty: not given
    std::vector<std::string> fix;
    std::string criterion = "0.8";
    std::optional<std::string> datPath;
    std::optional<std::string> csvPath;
    std::optional<std::string> plotPath;
    FigureOptions figure;
    std::string threads;  // empty: every core
    bool json = false;
    bool quiet = false;
    bool exhaustive = false;
    std::string registryTolerance = "0.1";
    std::string coincidenceMisfit = "5";  // %
    std::optional<std::string> fromJson;  // the JSON of an earlier run to repeat
    const CommandIo* io = &terminalIo();
};

bool isOverlayerConstant(Constant c) {
    return c == Constant::b1 || c == Constant::b2 || c == Constant::beta;
}

// The parts of a range option, LOW:HIGH:INC.
std::vector<std::string> rangeParts(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t colon = text.find(':', start);
        parts.push_back(text.substr(start, colon - start));
        if (colon == std::string::npos) {
            return parts;
        }
        start = colon + 1;
    }
}

void readRange(Constant c, const std::string& text, iteration::RangeRowTexts& row) {
    const std::vector<std::string> parts = rangeParts(text);
    if (parts.size() != 3) {
        numbers::failInput(rangeFieldName(c),
                           fmt::format("Expected LOW:HIGH:INC, for example 9.5:10.5:0.1 (got "
                                       "\"{}\").",
                                       text));
    }
    row.from = parts[0];
    row.to = parts[1];
    row.increment = parts[2];
    // The checks the Iteration window makes when each of the three fields is left.
    iteration::checkRangeRow(c, row);
}

// The names of --fix, split at commas; an empty name (b1,,beta) is refused rather than
// left out.
std::vector<std::string> fixedNames(const std::vector<std::string>& lists) {
    std::vector<std::string> names;
    for (const std::string& list : lists) {
        std::size_t start = 0;
        for (;;) {
            const std::size_t comma = list.find(',', start);
            names.push_back(list.substr(start, comma - start));
            if (names.back().empty()) {
                numbers::failInput("fix", fmt::format("\"{}\" holds an empty name: give the "
                                                      "constants as b1,beta",
                                                      list));
            }
            if (comma == std::string::npos) {
                break;
            }
            start = comma + 1;
        }
    }
    return names;
}

iteration::IterationWindowFields windowFrom(const IterateOptions& options) {
    iteration::IterationWindowFields window;
    if (options.iterate != "overlayer" && options.iterate != "substrate") {
        numbers::failInput("iterate", fmt::format("Expected overlayer or substrate (got \"{}\").",
                                                  options.iterate));
    }
    window.iterover = options.iterate == "overlayer";
    if (options.rigid && window.iterover) {
        numbers::failInput("rigid",
                           "A rigid run keeps a1 = a2 of the substrate; use it with "
                           "--iterate substrate.");
    }
    window.rigidSubs = options.rigid;
    iteration::checkCriterion(options.criterion);
    window.itercrit = options.criterion;
    for (const Constant c : kConstants) {
        iteration::RangeRowTexts& row = window.row(c);
        const std::string& range = options.ranges[rowIndex(c)];
        if (range.empty()) {
            row.fixed = true;  // a constant without a range keeps its value
            continue;
        }
        if (isOverlayerConstant(c) != window.iterover) {
            numbers::failInput(
                rangeFieldName(c),
                fmt::format("{} is not iterated in {} run (use --iterate {}).", constantName(c),
                            window.iterover ? "an overlayer" : "a substrate",
                            window.iterover ? "substrate" : "overlayer"));
        }
        readRange(c, range, row);
    }
    if (options.rigid && options.ranges[rowIndex(Constant::a1)].empty()) {
        // a1 follows a2 in a rigid run, so its row only names a range on the data file: the
        // one the Iteration window holds when nobody typed into it.
        iteration::IterationWindowFields filled;
        iteration::fillIterationDefaults(fieldsFrom(options.lattice), 0.8, filled);
        window.row(Constant::a1) = filled.row(Constant::a1);
    }
    for (const std::string& name : fixedNames(options.fix)) {
        const auto* found = std::find_if(kConstants.begin(), kConstants.end(),
                                         [&](Constant c) { return constantName(c) == name; });
        if (found == kConstants.end()) {
            numbers::failInput("fix", fmt::format("Unknown constant \"{}\": expected b1, b2, beta, "
                                                  "a1, a2 or alpha.",
                                                  name));
        }
        window.row(*found).fixed = true;
    }
    return window;
}

int threadCount(const std::string& text) {
    if (text.empty()) {
        return iteration::defaultThreadCount();
    }
    int threads = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), threads);
    if (ec != std::errc{} || end != text.data() + text.size() || threads < 1 ||
        threads > kMaxThreads) {
        numbers::failInput("threads", fmt::format("Expected a whole number from 1 to {} (got "
                                                  "\"{}\").",
                                                  kMaxThreads, text));
    }
    return threads;
}

// Everything that repeats the run: the lattices and settings, the ranges and the criterion.
void writeInputs(JsonWriter& json, const iteration::CompletedIteration& result,
                 const IterateOptions& options) {
    beginInputs(json);
    writeLatticeInputs(json, result.capture.fields);
    json.string("iterate", options.iterate);
    json.boolean("rigid", options.rigid);
    json.beginObject("ranges");
    for (const Constant c : kConstants) {
        const std::string& range = options.ranges[rowIndex(c)];
        if (range.empty()) {
            json.null(constantName(c));
            continue;
        }
        const std::vector<std::string> parts = rangeParts(range);
        json.beginObject(constantName(c));
        const char* names[] = {"low", "high", "increment"};
        for (std::size_t k = 0; k < 3 && k < parts.size(); ++k) {
            json.number(names[k], numbers::toDouble(parts[k]).value);
        }
        json.endObject();
    }
    json.endObject();
    json.beginArray("fix");
    for (const std::string& name : fixedNames(options.fix)) {
        json.string({}, name);
    }
    json.endArray();
    json.number("criterion", numbers::toDouble(options.criterion).value);
    json.number("registry_tolerance", parseTolerance(options.registryTolerance));
    json.number("coincidence_misfit", parseCoincidenceMisfit(options.coincidenceMisfit));
    json.endObject();
}

void printJson(const iteration::CompletedIteration& result,
               std::span<const engine::Interpretation> meanings, const IterateOptions& options) {
    JsonWriter json;
    json.beginObject();
    iteration::writeIterationJson(json, result, meanings);
    writeInputs(json, result, options);
    json.endObject();
    *options.io->out << json.text() << '\n';
}

void applyIterateInputs(const JsonValue& inputs, const CLI::App& command, IterateOptions& options) {
    const std::string option = "from-json";
    applyLatticeInputs(inputs, command, options.lattice, option);
    takeUnlessGiven(command, "--iterate", stringAt(inputs, {"iterate"}, option), options.iterate);
    takeUnlessGiven(command, "--rigid", booleanAt(inputs, {"rigid"}, option), options.rigid);
    for (const Constant c : kConstants) {
        const std::string name(constantName(c));
        if (command.count("--" + rangeFieldName(c)) > 0) {
            continue;
        }
        const auto low = numberAt(inputs, {"ranges", name.c_str(), "low"}, option);
        const auto high = numberAt(inputs, {"ranges", name.c_str(), "high"}, option);
        const auto increment = numberAt(inputs, {"ranges", name.c_str(), "increment"}, option);
        if (low && high && increment) {
            options.ranges[rowIndex(c)] = *low + ":" + *high + ":" + *increment;
        }
    }
    const JsonValue* fix = inputs.member("fix");
    if (fix != nullptr && fix->kind == JsonValue::Kind::Array && command.count("--fix") == 0) {
        options.fix.clear();
        for (const JsonValue& name : fix->items) {
            options.fix.push_back(name.text);  // checked as --fix is
        }
    }
    takeUnlessGiven(command, "--criterion", numberAt(inputs, {"criterion"}, option),
                    options.criterion);
    applyInterpretationInputs(inputs, command, options.registryTolerance, options.coincidenceMisfit,
                              option);
}

int runIterate(const IterateOptions& options) {
    const std::array<OutputFile, 3> outputs = {OutputFile{"dat", options.datPath, true},
                                               OutputFile{"csv", options.csvPath, true},
                                               OutputFile{"plot", options.plotPath, false}};
    // Every output is checked before the run, so a refusal writes nothing at all.
    const CheckedRun checked =
        checkBeforeRun(outputs, options.json, options.plotPath, options.figure,
                       options.registryTolerance, options.coincidenceMisfit);
    const std::optional<Figure>& figure = checked.figure;
    const engine::InterpretOptions& meaning = checked.meaning;
    const iteration::IterationWindowFields window = windowFrom(options);
    const int threads = threadCount(options.threads);
    const engine::CapturedRun run = engine::captureRun(fieldsFrom(options.lattice));
    iteration::IterationPlan plan = iteration::planIteration(run, window);
    plan.exhaustive = options.exhaustive;

    engine::BestOrientation best;  // all zeros, as when the program starts
    ProgressMeter meter(progressWanted(options.quiet) && !options.io->progress);
    iteration::IterationCallbacks callbacks;
    if (meter.shown() || options.io->progress) {
        callbacks.progress = [&meter, &options](const iteration::IterationProgress& p) {
            const double fraction = static_cast<double>(p.trialsDone) /
                                    static_cast<double>(std::max<int64_t>(p.trialCount, 1));
            if (options.io->progress) {
                options.io->progress(fraction);
            } else {
                meter.update(fraction);
            }
        };
    }
    const iteration::CompletedIteration result =
        iteration::runIteration(plan, best, callbacks, threads);

    if (options.datPath) {
        // The header shows the lattice as the window shows it after the run.
        const output::IterationDataInputs data = iteration::dataFileInputs(
            result, result.restoredFields, window, result.ranges, output::today());
        writeOutputFile(outputs[0],
                        [&](std::ostream& out) { output::writeIterationData(out, data); });
    }
    // What each match means, named once for the CSV table and the JSON.
    const std::vector<engine::Interpretation> meanings =
        options.csvPath || options.json ? iteration::interpretMatches(result, meaning, threads)
                                        : std::vector<engine::Interpretation>{};
    if (options.csvPath) {
        const std::vector<output::MatchCsvRow> rows = iteration::matchCsvRows(result, meanings);
        writeOutputFile(outputs[1], [&](std::ostream& out) {
            output::writeMatchTableCsv(out, iteration::iteratesOverlayer(result.kind), rows);
        });
    }
    if (options.plotPath) {
        writeHistogramFigure(*options.plotPath, result.hits, *figure);
    }
    if (anyToStandardOutput(outputs)) {
        return 0;  // standard output carries the file
    }
    if (options.json) {
        printJson(result, meanings, options);
    } else {
        std::ostream& out = *options.io->out;
        out << iteration::completionMessage(result) << '\n';
        if (result.MatchCount > 0) {
            iteration::writeMatchTableText(out, result);
        }
    }
    return 0;
}

}  // namespace

void addIterateCommand(CLI::App& app, int& exitStatus) {
    addIterateCommand(app, exitStatus, terminalIo());
}

void addIterateCommand(CLI::App& app, int& exitStatus, const CommandIo& io) {
    auto options = std::make_shared<IterateOptions>();
    options->io = &io;
    CLI::App* iterate = app.add_subcommand(
        "iterate",
        "Scan every trial lattice from ranges of the lattice constants and list those whose "
        "best V/Vo is below the criterion.");
    addLatticeOptions(*iterate, options->lattice);
    addDatabasePickOptions(*iterate, options->lattice);
    iterate
        ->add_option("--iterate", options->iterate,
                     "Which lattice the ranges vary: overlayer (b1, b2, beta) or substrate "
                     "(a1, a2, alpha)")
        ->type_name("WHICH")
        ->capture_default_str();
    iterate->add_flag("--rigid", options->rigid,
                      "Substrate run with a1 = a2: a1 takes each trial value of a2 (an "
                      "--a1-range then only names the a1 range in the data file, as the "
                      "window's a1 row does)");
    iterate
        ->add_option("--registry-tolerance", options->registryTolerance,
                     "How near a whole number a matrix element must be to count as one in the "
                     "interpretation of each match (see scan --help)")
        ->type_name("X")
        ->capture_default_str();
    iterate
        ->add_option("--coincidence-misfit", options->coincidenceMisfit,
                     "The largest misfit (%) of a nearest coincidence that a match's "
                     "interpretation names (see scan --help)")
        ->type_name("P")
        ->capture_default_str();
    iterate->add_flag("--exhaustive", options->exhaustive,
                      "Compute every azimuth step of every trial. By default a step whose "
                      "lower bound of V/Vo shows it can neither match nor better the trial's "
                      "best is left out; the results are the same, only slower with this");
    iterate->add_flag("--quiet", options->quiet,
                      "No progress line on standard error (it is shown only on a terminal)");
    for (const Constant c : kConstants) {
        iterate
            ->add_option(
                "--" + rangeFieldName(c), options->ranges[rowIndex(c)],
                fmt::format("Range of {}, {}: from LOW to HIGH by INC (a constant "
                            "without a range keeps its value)",
                            constantName(c),
                            c == Constant::beta || c == Constant::alpha ? "degrees" : "Angstroms"))
            ->type_name("LOW:HIGH:INC");
    }
    iterate
        ->add_option("--fix", options->fix,
                     "Constants that keep their value whatever their range, e.g. b1,beta")
        ->type_name("NAMES");
    iterate
        ->add_option("--criterion", options->criterion,
                     "Selection criterion, a V/Vo value (no unit): a trial matches when its "
                     "best V/Vo is below it")
        ->type_name("NUMBER")
        ->capture_default_str();
    iterate
        ->add_option("--csv", options->csvPath,
                     "Write the matches to FILE as CSV (RFC 4180, full precision): match, "
                     "angle, vvo, the iterated constants by name, m11..m22, area, epitaxy, "
                     "b1_multiple, b2_multiple; the constants as each trial read them, before the "
                     "multiples; - writes it to standard output")
        ->type_name("FILE");
    iterate
        ->add_option("--plot", options->plotPath,
                     "Draw the histogram of the matches' best azimuth angles to FILE, laid out "
                     "for a paper; the type follows the name: .png, .svg or .pdf")
        ->type_name("FILE");
    addFigureOptions(*iterate, options->figure, kDefaultFigureSize, kDefaultFigureDpi, true);
    iterate
        ->add_option("--dat", options->datPath,
                     "Write the data file (.dat) to FILE; - writes it to standard output")
        ->type_name("FILE");
    iterate
        ->add_option("--threads", options->threads,
                     "Threads computing the trials (default: every core); the result does not "
                     "depend on it")
        ->type_name("N");
    iterate->add_flag("--json", options->json,
                      "Print the result as one JSON object: lamivex_version, match_count, "
                      "stopped (complete or limit), matches (angle in degrees, vvo, the iterated "
                      "constants by name - b1, b2, beta or a1, a2, alpha - as each trial read "
                      "them, b1_multiple, b2_multiple, m11, m12, m21, m22, area in square "
                      "Angstroms, interpretation as in scan --json), histogram (low, high, hits, "
                      "geometric) and inputs (what repeats the run, see --from-json). Kept for "
                      "older scripts: records (the data file's rows) and c1, c2, c3 (the "
                      "constants as the scan used them, multiplied in a geometric run)");
    iterate
        ->add_option("--from-json", options->fromJson,
                     "Repeat the run recorded in the \"inputs\" of an earlier iterate's "
                     "--json output in FILE; options given as well win over it")
        ->type_name("FILE");
    iterate->footer(
        "Without --json the completion message is printed, then the table of matches: angle "
        "(degrees), V/Vo, the constants of the iterated lattice (Angstroms, degrees), the "
        "transformation matrix and the overlayer cell area (square Angstroms).\n"
        "\n"
        "Numbers use '.' as the decimal point whatever the locale. Range values are read as "
        "single-precision values, as the desktop program reads its fields. Negative values "
        "need the form --alpha-range=-10:10:1. Exit status 2 with one line on standard error "
        "when an input is refused. The manual: share/doc/lamivex/manual.md.\n"
        "\n"
        "Examples:\n"
        "  $ lamivex-cli iterate --b1-range 9.5:10.5:0.1 --criterion 0.5\n"
        "  $ lamivex-cli iterate --iterate substrate --rigid --a2-range 9.8:10.2:0.05 "
        "--dat run.dat");
    iterate->callback([iterate, options, &exitStatus] {
        exitStatus = reportErrors(
            "iterate",
            [&] {
                refuseEmptyValues(*iterate);
                if (options->fromJson) {
                    applyIterateInputs(readInputs(*options->fromJson, "from-json"), *iterate,
                                       *options);
                }
                applyDatabasePicks(*iterate, options->lattice);
                return runIterate(*options);
            },
            *options->io);
    });
}

}  // namespace lamivex::cli
