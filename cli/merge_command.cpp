#include "cli/merge_command.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include <fmt/format.h>

#include "cli/cli_errors.h"
#include "cli/command_io.h"
#include "cli/output_files.h"
#include "cli/screen_output.h"
#include "numbers/input_error.h"
#include "numbers/number_text.h"

namespace lamivex::cli {
namespace {

using screening::PairResult;

struct MergeOptions {
    std::vector<std::string> parts;
    bool json = false;
    std::optional<std::string> csvPath;
    std::optional<std::string> jsonlPath;
    std::optional<std::string> top;
    const CommandIo* io = &terminalIo();
};

// "3, 7, 12" and how many more.
std::string pairList(const std::vector<std::size_t>& pairs) {
    std::string out;
    for (std::size_t k = 0; k < std::min<std::size_t>(pairs.size(), 5); ++k) {
        out += fmt::format("{}{}", k == 0 ? "" : ", ", pairs[k]);
    }
    return pairs.size() > 5 ? fmt::format("{} and {} more", out, pairs.size() - 5) : out;
}

int runMerge(const MergeOptions& o) {
    const std::array<OutputFile, 2> outputs = {OutputFile{"csv", o.csvPath, true},
                                               OutputFile{"jsonl", o.jsonlPath, true}};
    checkOutputFiles(outputs, o.json);
    std::optional<std::size_t> top;
    if (o.top) {
        const numbers::Parsed<double> k = numbers::toDouble(*o.top);
        if (!k.ok() || k.value < 1 || k.value != static_cast<double>(static_cast<long>(k.value))) {
            numbers::failInput("top",
                               fmt::format("expected a whole number from 1, got '{}'", *o.top));
        }
        top = static_cast<std::size_t>(k.value);
    }
    ScreenRecord record;
    std::vector<PairResult> results;
    std::vector<std::string> holder;  // the part that holds each pair, for the message
    for (const std::string& part : o.parts) {
        const ScreenFile file = readScreenJsonl(part, "parts");
        if (results.empty() && holder.empty()) {
            record = file.record;
            holder.assign(record.pairs, {});
        } else if (file.record.inputsJson != record.inputsJson ||
                   file.record.pairs != record.pairs) {
            throw std::invalid_argument(
                fmt::format("'{}' is a part of another screen than '{}' "
                            "(other inputs or substrates)",
                            part, o.parts.front()));
        }
        for (const PairResult& r : file.results) {
            if (r.pair >= record.pairs) {
                throw std::invalid_argument(
                    fmt::format("'{}' holds pair {} of a screen of {} "
                                "pairs",
                                part, r.pair, record.pairs));
            }
            if (!holder[r.pair].empty()) {
                throw std::invalid_argument(
                    fmt::format("pair {} is in both '{}' and '{}'", r.pair, holder[r.pair], part));
            }
            holder[r.pair] = part;
            results.push_back(r);
        }
    }
    std::vector<std::size_t> missing;
    for (std::size_t pair = 0; pair < record.pairs; ++pair) {
        if (holder[pair].empty()) {
            missing.push_back(pair);
        }
    }
    if (!missing.empty()) {
        throw std::invalid_argument(
            fmt::format("{} of the {} pairs are in no part (pair {}): a "
                        "part is missing or was interrupted (--resume "
                        "finishes it)",
                        missing.size(), record.pairs, pairList(missing)));
    }
    std::sort(results.begin(), results.end(),
              [](const PairResult& x, const PairResult& y) { return x.pair < y.pair; });
    record.shard = screening::Shard{};
    const screening::ScreenSettings settings = settingsFromInputs(parseJson(record.inputsJson));
    if (o.csvPath) {
        writeOutputFile(outputs[0], [&](std::ostream& out) {
            writeCsvHeader(out);
            for (const PairResult& r : results) {
                writeCsvRow(out, r, settings);
            }
        });
    }
    if (o.jsonlPath) {
        writeOutputFile(outputs[1], [&](std::ostream& out) {
            out << jsonlHeader(record);
            for (const PairResult& r : results) {
                out << jsonlLine(r, settings);
            }
        });
    }
    if (anyToStandardOutput(outputs)) {
        return 0;
    }
    if (o.json) {
        *o.io->out << rankedJson(results, record, settings, top);
    } else {
        printRankedTable(*o.io->out, results, settings, top);
    }
    return 0;
}

}  // namespace

void addMergeCommand(CLI::App& app, int& exitStatus) {
    addMergeCommand(app, exitStatus, terminalIo());
}

void addMergeCommand(CLI::App& app, int& exitStatus, const CommandIo& io) {
    auto o = std::make_shared<MergeOptions>();
    o->io = &io;
    CLI::App* merge = app.add_subcommand(
        "merge",
        "Join the --jsonl files of the parts (--shard I/N) of one screen into the "
        "output of the unsplit run.");
    merge->add_option("parts", o->parts, "The --jsonl files of the parts, in any order")
        ->required()
        ->type_name("PART");
    merge->add_flag("--json", o->json, "Print the ranked pairs as screen --json prints them");
    merge
        ->add_option("--csv", o->csvPath,
                     "Write the CSV that screen --csv writes to FILE; - writes it to standard "
                     "output")
        ->type_name("FILE");
    merge
        ->add_option("--jsonl", o->jsonlPath,
                     "Write the JSON Lines that screen --jsonl writes to FILE; - writes it to "
                     "standard output")
        ->type_name("FILE");
    merge->add_option("--top", o->top, "Rank only the best K pairs")->type_name("K");
    merge->footer(
        "Every pair of the screen must be in exactly one part, and the parts must come from "
        "the same command (inputs and substrates). Without --json the ranked pairs are printed "
        "as screen prints them.\n"
        "\n"
        "Example:\n"
        "  $ parallel lamivex-cli screen --overlayer-from \"PTCDA/Ag(111)\" "
        "--substrate-crystals --shard {}/4 --jsonl part{}.jsonl ::: 1 2 3 4\n"
        "  $ lamivex-cli merge part*.jsonl --json > screen.json");
    merge->callback([o, &exitStatus] {
        exitStatus = reportErrors(
            "merge", [&] { return runMerge(*o); }, *o->io);
    });
}

}  // namespace lamivex::cli
