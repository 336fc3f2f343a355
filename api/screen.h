#pragma once
// A screen of many substrates for one overlayer as typed values: the request the command
// line's screen options describe, the work list it gives, the part of it one machine runs
// (a shard), and the ranked result that one run, or its parts merged, give alike.

#include <cstddef>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "api/lattice_request.h"
#include "api/locations.h"
#include "api/run_control.h"
#include "screening/pair_screen.h"
#include "screening/ranking.h"
#include "screening/screen_run.h"

namespace lamivex::api {

// The largest values the screen's whole-number options take.
inline constexpr int kLargestScreenIndex = 9;
inline constexpr int kLargestScreenTop = 1000000;
inline constexpr int kLargestScreenThreads = 4096;

// Where the substrates come from, in the order of the work list.
struct ScreenSubstrates {
    std::vector<std::string> records;   // "[FILE:]PATTERN": of FILE, or of the user's library
    std::vector<std::string> meshes;    // "a1 a2 alpha", Angstroms and degrees
    std::vector<std::string> cifFiles;  // crystal files: each plane up to the largest index
    std::vector<std::string> cifDirs;   // every .cif file of each folder, by name
    bool crystals = false;              // the starter crystals beside the starter database

    friend bool operator==(const ScreenSubstrates&, const ScreenSubstrates&) = default;
};

struct ScreenRequest {
    // The overlayer (b1, b2, beta, or overlayerFrom, or overlayerCif with overlayerHkl), the
    // domain m, n, the azimuth lower with upper (unset: each substrate's irreducible wedge),
    // spacing and maxMultiple. The substrate's values are not used.
    LatticeRequest lattice;
    ScreenSubstrates substrates;
    int maxIndex = 1;            // 1..kLargestScreenIndex
    std::optional<int> top;      // rank only the best; 1..kLargestScreenTop
    std::optional<int> threads;  // pairs at once, 1..kLargestScreenThreads; unset: every core
    screening::Shard shard;      // the part of the work list to run
    double registryTolerance = engine::kDefaultRegistryTolerance;  // substrate spacings
};

// What repeats the screen, as the run read it; every part of one screen carries the same.
struct ScreenInputs {
    std::string overlayerName;
    double b1 = 0;  // Angstroms
    double b2 = 0;
    double beta = 0;  // degrees
    int m = 0;        // the domain: cells -m..m along b1, -n..n along b2
    int n = 0;
    std::optional<double> lower;  // degrees; unset: each substrate's wedge
    std::optional<double> upper;
    double spacing = 0;
    std::optional<int> maxMultiple;  // unset: no geometric search
    double registryTolerance = engine::kDefaultRegistryTolerance;
    int maxIndex = 1;
    ScreenSubstrates substrates;

    friend bool operator==(const ScreenInputs&, const ScreenInputs&) = default;
};

// The pairs one machine ran: those of its shard, in the order of the work list.
struct ScreenPart {
    ScreenInputs inputs;
    std::size_t pairs = 0;  // in the whole work list
    screening::Shard shard;
    std::vector<screening::PairResult> results;
};

struct ScreenResult {
    ScreenInputs inputs;
    screening::ScreenSettings settings;         // what each pair's interpretation is computed with
    std::size_t pairs = 0;                      // in the whole work list
    std::size_t screened = 0;                   // pairs with a result, top or not
    std::vector<screening::PairResult> ranked;  // best first, the best top of them
    std::vector<screening::PairResult> errors;  // pairs not screened, in work-list order
};

// value as a whole number from lowest to highest. Throws numbers::InputError naming option.
[[nodiscard]] int wholeNumberIn(double value, const std::string& option, int lowest, int highest);

// The inputs, every value checked: InputError naming the option for a refused one.
[[nodiscard]] ScreenInputs screenInputs(const ScreenRequest& request, const Locations& locations);
[[nodiscard]] screening::ScreenSettings settingsOf(const ScreenInputs& inputs);

// The whole work list: records, meshes, crystal files, folders, the starter crystals. Throws
// InputError or FileError naming the option, std::invalid_argument when it is empty. The
// crystal files are read on up to threads threads; the list is the same for any number.
[[nodiscard]] std::vector<screening::Substrate> workList(const ScreenSubstrates& substrates,
                                                         int maxIndex, const Locations& locations,
                                                         int threads = 1);

// The pairs of the shard, with the results known from an earlier run. Throws InputError
// naming shard when the shard holds none.
[[nodiscard]] std::vector<screening::PairWork> shardWork(
    std::span<const screening::Substrate> all, const screening::Shard& shard,
    const std::map<std::size_t, screening::PairResult>& known = {});

// Runs the request's shard on threads; throws RunAborted when abort said so.
[[nodiscard]] ScreenPart screenPart(const ScreenRequest& request, const Progress& progress = {},
                                    const Abort& abort = {}, const Locations& locations = {});

// The parts of one screen, each pair in exactly one, ranked as one run ranks them. Throws
// std::invalid_argument naming the part (1-based) that does not fit.
[[nodiscard]] ScreenResult mergeParts(std::span<const ScreenPart> parts, std::optional<int> top);

// The whole screen (the request's shard ignored) in one run.
[[nodiscard]] ScreenResult screen(const ScreenRequest& request, const Progress& progress = {},
                                  const Abort& abort = {}, const Locations& locations = {});

}  // namespace lamivex::api
