#include "cli/screen_command.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

#include <fmt/format.h>

#include "api/file_error.h"
#include "api/screen.h"
#include "cli/cli_errors.h"
#include "cli/command_io.h"
#include "cli/interpretation_output.h"
#include "cli/json_writer.h"
#include "cli/lattice_options.h"
#include "cli/output_files.h"
#include "cli/progress_meter.h"
#include "cli/screen_output.h"
#include "engine/capture.h"
#include "numbers/input_error.h"
#include "numbers/number_text.h"
#include "screening/ranking.h"
#include "screening/screen_run.h"
#include "screening/substrate.h"

namespace lamivex::cli {
namespace {

using screening::PairResult;
using screening::Substrate;

constexpr int kExitInterrupted = 130;  // as a shell reports a program ended by Ctrl-C
constexpr int kLargestIndex = 9;

struct ScreenOptions {
    LatticeOptions lattice;
    std::vector<std::string> cifFiles;
    std::vector<std::string> cifDirs;
    std::vector<std::string> recordPatterns;
    std::vector<std::string> meshes;
    std::string maxIndex = "1";
    std::optional<std::string> csvPath;
    std::optional<std::string> jsonlPath;
    std::optional<std::string> top;
    std::optional<std::string> shard;
    std::optional<std::string> threads;
    std::string registryTolerance = "0.1";
    const CommandIo* io = &terminalIo();
    bool crystals = false;
    bool json = false;
    bool resume = false;
    bool quiet = false;
    bool rangeGiven = false;  // --lower or --upper
};

// Ctrl-C ends the run after the pairs committed so far; the handler only sets the flag.
volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void onInterrupt(int /*signal*/) {
    g_interrupted = 1;
}

// While a run lasts, Ctrl-C asks it to stop instead of ending the program.
class InterruptGuard {
  public:
    InterruptGuard() : m_previous(std::signal(SIGINT, onInterrupt)) { g_interrupted = 0; }
    ~InterruptGuard() { std::signal(SIGINT, m_previous); }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

  private:
    void (*m_previous)(int);
};

int wholeNumber(const std::string& text, const std::string& option, int lowest, int highest) {
    const numbers::Parsed<double> parsed = numbers::toDouble(text);
    if (!parsed.ok() || parsed.value != static_cast<int>(parsed.value) || parsed.value < lowest ||
        parsed.value > highest) {
        numbers::failInput(option, fmt::format("expected a whole number from {} to {}, got '{}'",
                                               lowest, highest, text));
    }
    return static_cast<int>(parsed.value);
}

// The work list in its fixed order, as the typed API lists it beside this program's starter
// database.
std::vector<Substrate> workList(const ScreenOptions& o, int maxIndex, int threads) {
    try {
        return api::workList({o.recordPatterns, o.meshes, o.cifFiles, o.cifDirs, o.crystals},
                             maxIndex, api::programLocations(), threads);
    } catch (const api::FileError& e) {
        failFile(e.option(), e.what());
    }
}

void numberOrNull(JsonWriter& json, std::string_view key, const std::optional<std::string>& text) {
    const numbers::Parsed<double> parsed = numbers::toDouble(text.value_or(""));
    if (text && parsed.ok()) {
        json.number(key, parsed.value);
    } else {
        json.null(key);
    }
}

void stringArray(JsonWriter& json, std::string_view key, const std::vector<std::string>& items) {
    json.beginArray(key);
    for (const std::string& item : items) {
        json.string({}, item);
    }
    json.endArray();
}

// The inputs that repeat the screen, from the fields as the capture step read them (which
// refuses a bad overlayer or setting here, naming its option, before anything is listed).
std::string inputsJson(const ScreenOptions& o, int maxIndex) {
    engine::MainFieldTexts fields = fieldsFrom(o.lattice);
    const engine::CapturedRun run = engine::captureRun(fields);
    const engine::MainFieldTexts& f = run.fields;
    JsonWriter json;
    json.beginObject();
    json.beginObject("overlayer");
    json.string("name", f.OverName);
    numberOrNull(json, "b1", f.b1);
    numberOrNull(json, "b2", f.b2);
    numberOrNull(json, "beta", f.beta);
    json.endObject();
    json.beginObject("domain");
    json.integer("m", run.settings.b1Size);
    json.integer("n", run.settings.b2Size);
    json.endObject();
    json.beginObject("azimuth");
    numberOrNull(json, "lower", o.rangeGiven ? std::optional(f.Lowerangle) : std::nullopt);
    numberOrNull(json, "upper", o.rangeGiven ? std::optional(f.Upperangle) : std::nullopt);
    numberOrNull(json, "spacing", f.AngleSpacing);
    json.endObject();
    if (f.chkgeo) {
        json.integer("max_multiple", run.settings.maxMultiple);
    } else {
        json.null("max_multiple");
    }
    json.number("registry_tolerance", parseTolerance(o.registryTolerance));
    json.integer("max_index", maxIndex);
    json.beginObject("substrates");
    stringArray(json, "records", o.recordPatterns);
    stringArray(json, "meshes", o.meshes);
    stringArray(json, "cif_files", o.cifFiles);
    stringArray(json, "cif_dirs", o.cifDirs);
    json.boolean("crystals", o.crystals);
    json.endObject();
    json.endObject();
    return json.text();
}

// The results an earlier run of the same screen left in the JSON Lines file, by pair.
std::map<std::size_t, PairResult> earlierResults(const std::string& path,
                                                 const ScreenRecord& record) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec) || std::filesystem::file_size(path, ec) == 0) {
        return {};  // nothing to go on from: the run starts at the beginning
    }
    const ScreenFile earlier = readScreenJsonl(path, "resume");
    if (earlier.record.inputsJson != record.inputsJson || earlier.record.pairs != record.pairs ||
        !(earlier.record.shard == record.shard)) {
        numbers::failInput("resume", fmt::format("'{}' holds another screen (other inputs, "
                                                 "substrates or --shard); give another --jsonl",
                                                 path));
    }
    std::map<std::size_t, PairResult> out;
    for (const PairResult& r : earlier.results) {
        out.emplace(r.pair, r);
    }
    return out;
}

std::ofstream openStream(const std::optional<std::string>& path, const std::string& option) {
    std::ofstream out;
    if (path) {
        out.open(*path, std::ios::binary | std::ios::trunc);
        if (!out) {
            failFile(option, fmt::format("cannot write '{}'", *path));
        }
    }
    return out;
}

void writeTo(std::ofstream& out, const std::optional<std::string>& path, const std::string& option,
             const std::string& text) {
    if (!path) {
        return;
    }
    out << text;
    out.flush();  // what is written stays when the run is cut short
    if (!out) {
        failFile(option, fmt::format("cannot write '{}'", *path));
    }
}

int runScreen(const ScreenOptions& o) {
    const std::array<OutputFile, 2> outputs = {OutputFile{"csv", o.csvPath, false},
                                               OutputFile{"jsonl", o.jsonlPath, false}};
    checkOutputFiles(outputs, o.json);
    if (o.resume && !o.jsonlPath) {
        numbers::failInput("resume", "--resume goes on from the file of --jsonl: give --jsonl");
    }
    const int maxIndex = wholeNumber(o.maxIndex, "max-index", 1, kLargestIndex);
    const std::optional<std::size_t> top =
        o.top ? std::optional<std::size_t>(wholeNumber(*o.top, "top", 1, 1000000)) : std::nullopt;
    const screening::Shard shard =
        o.shard ? screening::parseShard(*o.shard, "shard") : screening::Shard{};
    const int threads = o.threads
                            ? wholeNumber(*o.threads, "threads", 1, 4096)
                            : static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));

    ScreenRecord record;
    record.inputsJson = inputsJson(o, maxIndex);
    record.shard = shard;
    const screening::ScreenSettings settings = settingsFromInputs(parseJson(record.inputsJson));
    const std::vector<Substrate> all = workList(o, maxIndex, threads);
    record.pairs = all.size();

    std::map<std::size_t, PairResult> known;
    if (o.resume) {
        known = earlierResults(*o.jsonlPath, record);
    }
    const std::vector<screening::PairWork> work = api::shardWork(all, shard, known);

    // Ctrl-C is caught from the moment the header is written: a script that waits for the
    // header and interrupts then gets what is done and status 130, never a killed program.
    const InterruptGuard guard;
    std::ofstream jsonl = openStream(o.jsonlPath, "jsonl");
    std::ofstream csv = openStream(o.csvPath, "csv");
    writeTo(jsonl, o.jsonlPath, "jsonl", jsonlHeader(record));
    if (o.csvPath) {
        std::ostringstream header;
        writeCsvHeader(header);
        writeTo(csv, o.csvPath, "csv", header.str());
    }
    std::vector<PairResult> done;
    ProgressMeter meter(progressWanted(o.quiet) && !o.io->progress);
    screening::RunHooks hooks;
    hooks.commit = [&](const PairResult& r) {
        writeTo(jsonl, o.jsonlPath, "jsonl", jsonlLine(r, settings));
        if (o.csvPath) {
            std::ostringstream row;
            writeCsvRow(row, r, settings);
            writeTo(csv, o.csvPath, "csv", row.str());
        }
        done.push_back(r);
    };
    hooks.progress = [&](double fraction) {
        if (o.io->progress) {
            o.io->progress(fraction);
        } else {
            meter.update(fraction);
        }
    };
    hooks.stopRequested = [] { return g_interrupted != 0; };
    const std::size_t committed = screening::runInOrder(work, settings, threads, hooks);
    if (committed < work.size()) {
        printRefusal(fmt::format("lamivex-cli screen: interrupted: {} of {} pairs done{}",
                                 committed, work.size(),
                                 o.jsonlPath ? fmt::format(", kept in '{}'; the same command "
                                                           "with --resume goes on",
                                                           *o.jsonlPath)
                                             : std::string()));
        return kExitInterrupted;
    }
    if (o.json) {
        *o.io->out << rankedJson(done, record, settings, top);
    } else {
        printRankedTable(*o.io->out, done, settings, top);
    }
    return 0;
}

// The overlayer options of scan without the substrate's: the substrates come from the list.
void removeSubstrateOptions(CLI::App& command) {
    for (const char* name :
         {"--a1", "--a2", "--alpha", "--hexagonal", "--substrate-name", "--substrate-from",
          "--non-hexagonal", "--substrate-cif", "--substrate-hkl"}) {
        command.remove_option(command.get_option(name));
    }
}

}  // namespace

void addScreenCommand(CLI::App& app, int& exitStatus) {
    addScreenCommand(app, exitStatus, terminalIo());
}

void addScreenCommand(CLI::App& app, int& exitStatus, const CommandIo& io) {
    auto o = std::make_shared<ScreenOptions>();
    o->io = &io;
    CLI::App* screen = app.add_subcommand(
        "screen",
        "Screen substrates for one overlayer: a rotation scan of every pair over the "
        "substrate's irreducible wedge, ranked by the best V/Vo.");
    addLatticeOptions(*screen, o->lattice);
    addDatabasePickOptions(*screen, o->lattice);
    removeSubstrateOptions(*screen);
    screen
        ->add_option("--substrate-cif", o->cifFiles,
                     "A CIF file whose planes up to --max-index are substrates (repeatable)")
        ->type_name("FILE");
    screen
        ->add_option("--substrate-cif-dir", o->cifDirs,
                     "Every .cif file of DIR, by name, with its planes up to --max-index")
        ->type_name("DIR");
    screen
        ->add_option("--substrate-records", o->recordPatterns,
                     "The substrate records of the structure database FILE, or of your own "
                     "library when only PATTERN is given, whose names match PATTERN ('*' any "
                     "characters, '?' one; '*' for all)")
        ->type_name("[FILE:]PATTERN");
    screen->add_flag("--substrate-crystals", o->crystals,
                     "The starter crystals installed in share/lamivex/crystals (fcc, bcc and "
                     "hcp metals, semiconductors, oxides, halides, graphite, hBN)");
    screen
        ->add_option("--substrate-mesh", o->meshes,
                     "A surface mesh \"a1 a2 alpha\" (Angstroms, degrees; repeatable)")
        ->type_name("\"A1 A2 ALPHA\"");
    screen
        ->add_option("--max-index", o->maxIndex,
                     "Every plane of the crystal files with indices up to N, one of each set "
                     "the space group makes equivalent")
        ->type_name("N")
        ->capture_default_str();
    screen->add_flag("--json", o->json,
                     "Print the ranked pairs as one JSON object: results (rank, pair, "
                     "substrate, plane, source, file, mesh, vvo, angle, matrix, multiples, "
                     "interpretation), errors (pairs not screened and why), inputs");
    screen->add_option("--csv", o->csvPath, "Write every pair as it finishes to FILE as CSV")
        ->type_name("FILE");
    screen
        ->add_option("--jsonl", o->jsonlPath,
                     "Write every pair as it finishes to FILE as JSON Lines, after a header "
                     "line; the file --resume and merge read")
        ->type_name("FILE");
    screen->add_option("--top", o->top, "Rank only the best K pairs")->type_name("K");
    screen->add_flag("--resume", o->resume,
                     "Skip the pairs the --jsonl FILE of an interrupted run of the same screen "
                     "already holds");
    screen
        ->add_option("--shard", o->shard,
                     "Run only part I of N of the work list (pairs I, I + N, ...); "
                     "lamivex-cli merge joins the parts' --jsonl files")
        ->type_name("I/N");
    screen->add_option("--threads", o->threads, "Pairs computed at once (default: one per core)")
        ->type_name("N");
    screen->add_flag("--quiet", o->quiet,
                     "No progress line on standard error (it is shown only on a terminal)");
    screen
        ->add_option("--registry-tolerance", o->registryTolerance,
                     "How near a whole number a matrix element must be to count as one (see "
                     "lamivex-cli scan --help)")
        ->type_name("X")
        ->capture_default_str();
    screen->footer(
        "Every pair is a scan with the geometric search when --max-multiple is given, over the "
        "azimuths [0, 360/rotations) of the substrate mesh's rotations unless --lower and "
        "--upper are given. The work list has a fixed order (records, meshes, CIF files, "
        "folders, starter crystals; planes largest index first), and --csv and --jsonl are "
        "written in that order as pairs finish, so a run's files are the same to the byte on "
        "any number of cores. Ctrl-C keeps what is done (exit status 130); the same command "
        "with --resume goes on. Without --json the ranked pairs are printed as a table.\n"
        "\n"
        "Example:\n"
        "  $ lamivex-cli screen --overlayer-from \"PTCDA/Ag(111)\" --substrate-crystals "
        "--max-multiple 3 --top 10");
    screen->callback([screen, o, &exitStatus] {
        exitStatus = reportErrors(
            "screen",
            [&] {
                o->rangeGiven = screen->count("--lower") + screen->count("--upper") > 0;
                if (o->rangeGiven && screen->count("--lower") + screen->count("--upper") != 2) {
                    numbers::failInput(screen->count("--lower") > 0 ? "lower" : "upper",
                                       "--lower and --upper go together");
                }
                applyDatabasePicks(*screen, o->lattice);
                return runScreen(*o);
            },
            *o->io);
    });
}

}  // namespace lamivex::cli
