#include "api/screen.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <thread>

#include <fmt/format.h>

#include "api/file_error.h"
#include "database/structure_store.h"
#include "database/user_library.h"
#include "engine/capture.h"
#include "engine/parallel_each.h"
#include "numbers/input_error.h"
#include "numbers/number_text.h"

namespace lamivex::api {
namespace {

using screening::PairResult;
using screening::Substrate;

// A field the capture accepted, as its number.
double fieldNumber(const std::string& text) {
    return numbers::toDouble(text).value;
}

// "[FILE:]PATTERN": the records of FILE, or of the user's library, whose names match.
std::vector<Substrate> substratesFromDatabase(const std::string& text, const Locations& locations) {
    const std::string option = "substrate-records";
    std::string file;
    std::string pattern = text;
    for (std::size_t colon = text.find(':'); colon != std::string::npos;
         colon = text.find(':', colon + 1)) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(text.substr(0, colon), ec)) {
            file = text.substr(0, colon);
            pattern = text.substr(colon + 1);
            break;
        }
    }
    if (file.empty()) {
        const database::DbResult<std::filesystem::path> library =
            database::ensureUserLibrary(locations.starter);
        if (!library.ok()) {
            throw FileError(option, library.error);
        }
        file = library.value.string();
    }
    database::DbResult<database::StructureStore> store = database::StructureStore::open(file);
    if (!store.ok()) {
        throw FileError(option, store.error);
    }
    const database::DbResult<std::vector<database::StructureRecord>> records =
        store.value.records(database::TableKind::Substrate, database::RecordOrder::Name);
    if (!records.ok()) {
        throw FileError(option, records.error);
    }
    std::vector<Substrate> out = screening::substratesFromRecords(records.value, pattern);
    if (out.empty()) {
        numbers::failInput(option,
                           fmt::format("no substrate record of '{}' matches '{}'", file, pattern));
    }
    return out;
}

// The crystal files of a folder, refused when it has none.
std::vector<std::string> crystalFilesOf(const std::filesystem::path& folder,
                                        const std::string& option) {
    std::vector<std::string> files = screening::crystalFilesIn(folder, option);
    if (files.empty()) {
        numbers::failInput(option, fmt::format("no .cif file in '{}'", folder.string()));
    }
    return files;
}

// Every plane of the files, in the files' order, read on up to threads threads: a folder of
// crystals is otherwise the part of a screen that the cores cannot share.
std::vector<Substrate> substratesFromCrystalFiles(std::span<const std::string> files, int maxIndex,
                                                  int threads) {
    std::vector<std::vector<Substrate>> perFile(files.size());
    engine::forEachInParallel(files.size(), threads, [&](std::size_t k) {
        perFile[k] = screening::substratesFromCrystalFile(files[k], maxIndex);
    });
    std::vector<Substrate> out;
    for (const std::vector<Substrate>& planes : perFile) {
        out.insert(out.end(), planes.begin(), planes.end());
    }
    return out;
}

// "3, 7, 12" and how many more.
std::string pairList(const std::vector<std::size_t>& pairs) {
    std::string out;
    for (std::size_t k = 0; k < std::min<std::size_t>(pairs.size(), 5); ++k) {
        out += fmt::format("{}{}", k == 0 ? "" : ", ", pairs[k]);
    }
    return pairs.size() > 5 ? fmt::format("{} and {} more", out, pairs.size() - 5) : out;
}

}  // namespace

int wholeNumberIn(double value, const std::string& option, int lowest, int highest) {
    if (!(value >= lowest && value <= highest) || value != std::floor(value)) {
        numbers::failInput(option, fmt::format("expected a whole number from {} to {}, got '{}'",
                                               lowest, highest, numberText(value)));
    }
    return static_cast<int>(value);
}

ScreenInputs screenInputs(const ScreenRequest& request, const Locations& locations) {
    const LatticeRequest& lattice = request.lattice;
    const bool rangeGiven = lattice.lower || lattice.upper;
    if (lattice.lower.has_value() != lattice.upper.has_value()) {
        numbers::failInput(lattice.lower ? "lower" : "upper", "--lower and --upper go together");
    }
    ScreenInputs in;
    in.maxIndex = wholeNumberIn(request.maxIndex, "max-index", 1, kLargestScreenIndex);
    if (request.top) {
        (void)wholeNumberIn(*request.top, "top", 1, kLargestScreenTop);
    }
    if (request.shard.count < 1 || request.shard.index < 1 ||
        request.shard.index > request.shard.count) {
        numbers::failInput("shard", fmt::format("part {} of {} does not exist: I runs from 1 to N",
                                                request.shard.index, request.shard.count));
    }
    if (request.threads) {
        (void)wholeNumberIn(*request.threads, "threads", 1, kLargestScreenThreads);
    }
    if (lattice.maxMultiple && *lattice.maxMultiple != std::floor(*lattice.maxMultiple)) {
        numbers::failInput("max-multiple", fmt::format("\"{}\" is not a whole number",
                                                       numberText(*lattice.maxMultiple)));
    }
    // The capture refuses a bad overlayer or setting here, naming its option, before anything
    // is listed.
    const engine::CapturedRun run = engine::captureRun(resolveFields(lattice, locations).fields);
    const engine::MainFieldTexts& f = run.fields;
    in.overlayerName = f.OverName;
    in.b1 = fieldNumber(f.b1);
    in.b2 = fieldNumber(f.b2);
    in.beta = fieldNumber(f.beta);
    in.m = run.settings.b1Size;
    in.n = run.settings.b2Size;
    if (rangeGiven) {
        in.lower = fieldNumber(f.Lowerangle);
        in.upper = fieldNumber(f.Upperangle);
    }
    in.spacing = fieldNumber(f.AngleSpacing);
    if (f.chkgeo) {
        in.maxMultiple = run.settings.maxMultiple;
    }
    checkTolerance(request.registryTolerance);
    in.registryTolerance = request.registryTolerance;
    in.substrates = request.substrates;
    return in;
}

screening::ScreenSettings settingsOf(const ScreenInputs& inputs) {
    // The fields as a typed number reads: the texts the command line's saved inputs give.
    screening::ScreenSettings s;
    engine::MainFieldTexts& f = s.fields;
    f.OverName = inputs.overlayerName;
    f.b1 = numberText(inputs.b1);
    f.b2 = numberText(inputs.b2);
    f.beta = numberText(inputs.beta);
    f.b1size = fmt::format("{}", inputs.m);
    f.b2size = fmt::format("{}", inputs.n);
    f.AngleSpacing = numberText(inputs.spacing);
    if (inputs.lower && inputs.upper) {
        s.lower = numberText(*inputs.lower);
        s.upper = numberText(*inputs.upper);
    }
    f.chkgeo = inputs.maxMultiple.has_value();
    if (inputs.maxMultiple) {
        f.txtUplim = fmt::format("{}", *inputs.maxMultiple);
    }
    s.tolerance = inputs.registryTolerance;
    return s;
}

std::vector<Substrate> workList(const ScreenSubstrates& substrates, int maxIndex,
                                const Locations& locations, int threads) {
    std::vector<Substrate> all;
    for (const std::string& pattern : substrates.records) {
        const std::vector<Substrate> found = substratesFromDatabase(pattern, locations);
        all.insert(all.end(), found.begin(), found.end());
    }
    for (const std::string& mesh : substrates.meshes) {
        all.push_back(screening::substrateFromMesh(mesh, "substrate-mesh"));
    }
    std::vector<std::string> files = substrates.cifFiles;
    const auto appendFolder = [&files](const std::filesystem::path& folder,
                                       const std::string& option) {
        const std::vector<std::string> found = crystalFilesOf(folder, option);
        files.insert(files.end(), found.begin(), found.end());
    };
    for (const std::string& folder : substrates.cifDirs) {
        appendFolder(folder, "substrate-cif-dir");
    }
    if (substrates.crystals) {
        // The starter crystals lie in share/lamivex/crystals, beside the starter database.
        appendFolder(locations.starter.parent_path() / "crystals", "substrate-crystals");
    }
    const std::vector<Substrate> planes = substratesFromCrystalFiles(files, maxIndex, threads);
    all.insert(all.end(), planes.begin(), planes.end());
    if (all.empty()) {
        throw std::invalid_argument(
            "no substrates to screen: give --substrate-crystals, "
            "--substrate-records, --substrate-cif, --substrate-cif-dir or "
            "--substrate-mesh");
    }
    return all;
}

std::vector<screening::PairWork> shardWork(std::span<const Substrate> all,
                                           const screening::Shard& shard,
                                           const std::map<std::size_t, PairResult>& known) {
    std::vector<screening::PairWork> work;
    for (std::size_t pair = 0; pair < all.size(); ++pair) {
        if (screening::inShard(pair, shard)) {
            const auto found = known.find(pair);
            work.push_back({pair, all[pair],
                            found == known.end() ? std::nullopt : std::optional(found->second)});
        }
    }
    if (work.empty()) {
        numbers::failInput("shard", fmt::format("part {} of {} holds none of the {} pairs",
                                                shard.index, shard.count, all.size()));
    }
    return work;
}

ScreenPart screenPart(const ScreenRequest& request, const Progress& progress, const Abort& abort,
                      const Locations& locations) {
    ScreenPart part;
    part.inputs = screenInputs(request, locations);
    part.shard = request.shard;
    const screening::ScreenSettings settings = settingsOf(part.inputs);
    const int threads = request.threads.value_or(
        static_cast<int>(std::max(1U, std::thread::hardware_concurrency())));
    const std::vector<Substrate> all =
        workList(part.inputs.substrates, part.inputs.maxIndex, locations, threads);
    part.pairs = all.size();
    const std::vector<screening::PairWork> work = shardWork(all, request.shard);
    screening::RunHooks hooks;
    hooks.commit = [&part](const PairResult& r) { part.results.push_back(r); };
    hooks.progress = progress;
    hooks.stopRequested = abort;
    if (screening::runInOrder(work, settings, threads, hooks) < work.size()) {
        throw RunAborted();
    }
    return part;
}

ScreenResult mergeParts(std::span<const ScreenPart> parts, std::optional<int> top) {
    if (top) {
        (void)wholeNumberIn(*top, "top", 1, kLargestScreenTop);
    }
    if (parts.empty()) {
        throw std::invalid_argument("no parts to merge");
    }
    ScreenResult out;
    out.inputs = parts.front().inputs;
    out.pairs = parts.front().pairs;
    std::vector<std::size_t> holder(out.pairs, 0);  // the part (1-based) that holds each pair
    std::vector<PairResult> results;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        const ScreenPart& part = parts[k];
        if (!(part.inputs == out.inputs) || part.pairs != out.pairs) {
            throw std::invalid_argument(fmt::format(
                "part {} is a part of another screen than part 1 (other inputs or substrates)",
                k + 1));
        }
        for (const PairResult& r : part.results) {
            if (r.pair >= out.pairs) {
                throw std::invalid_argument(fmt::format(
                    "part {} holds pair {} of a screen of {} pairs", k + 1, r.pair, out.pairs));
            }
            if (holder[r.pair] != 0) {
                throw std::invalid_argument(fmt::format("pair {} is in both part {} and part {}",
                                                        r.pair, holder[r.pair], k + 1));
            }
            holder[r.pair] = k + 1;
            results.push_back(r);
        }
    }
    std::vector<std::size_t> missing;
    for (std::size_t pair = 0; pair < out.pairs; ++pair) {
        if (holder[pair] == 0) {
            missing.push_back(pair);
        }
    }
    if (!missing.empty()) {
        throw std::invalid_argument(fmt::format(
            "{} of the {} pairs are in no part (pair {}): a part is missing or was interrupted",
            missing.size(), out.pairs, pairList(missing)));
    }
    std::sort(results.begin(), results.end(),
              [](const PairResult& x, const PairResult& y) { return x.pair < y.pair; });
    out.settings = settingsOf(out.inputs);
    out.ranked = screening::ranked(results);
    out.screened = out.ranked.size();
    if (top && static_cast<std::size_t>(*top) < out.ranked.size()) {
        out.ranked.resize(static_cast<std::size_t>(*top));
    }
    out.errors = screening::unscreened(results);
    return out;
}

ScreenResult screen(const ScreenRequest& request, const Progress& progress, const Abort& abort,
                    const Locations& locations) {
    ScreenRequest whole = request;
    whole.shard = {};
    const ScreenPart part = screenPart(whole, progress, abort, locations);
    return mergeParts(std::span(&part, 1), request.top);
}

}  // namespace lamivex::api
