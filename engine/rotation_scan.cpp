#include "engine/rotation_scan.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>
#include <thread>
#include <vector>

#include <fmt/format.h>

#include "numbers/input_error.h"
#include "numbers/lattice_rules.h"
#include "numbers/number_text.h"

namespace lamivex::engine {
namespace {

// The tables keep V/Vo and four matrix components per step and pair of multiples.
constexpr double kMaxTableCells = 20e6;  // about 800 MB

void require(const char* field, const numbers::FieldVerdict& verdict) {
    if (!verdict.accepted) {
        numbers::failInput(field, verdict.reason);
    }
}

}  // namespace

double angleStepQuotient(const CalcSettings& settings) {
    return std::trunc((static_cast<double>(settings.upperAngle) - settings.lowerAngle) /
                      settings.angleSpacing);
}

void checkScanInputs(const ScanInputs& in) {
    require("a1", numbers::checkLatticeLength("a1", in.a1));
    require("a2", numbers::checkLatticeLength("a2", in.a2));
    require("alpha", numbers::checkCellAngle("alpha", in.alpha, "a1 and a2"));
    require("b1", numbers::checkLatticeLength("b1", in.b1));
    require("b2", numbers::checkLatticeLength("b2", in.b2));
    require("beta", numbers::checkCellAngle("beta", in.beta, "b1 and b2"));
    const CalcSettings& s = in.settings;
    require("lower", numbers::checkAzimuth("The lower bound", s.lowerAngle));
    require("upper", numbers::checkAzimuth("The upper bound", s.upperAngle));
    if (s.b1Size < 0) {
        numbers::failInput("m",
                           fmt::format("The domain size m (b1 direction) must not be negative (it "
                                       "is {}).",
                                       s.b1Size));
    }
    if (s.b2Size < 0) {
        numbers::failInput("n",
                           fmt::format("The domain size n (b2 direction) must not be negative (it "
                                       "is {}).",
                                       s.b2Size));
    }
    if (!(s.angleSpacing > 0)) {
        numbers::failInput("spacing",
                           fmt::format("The azimuth spacing must be greater than 0 (it is {}).",
                                       numbers::formatSingle(s.angleSpacing)));
    }
    if (s.upperAngle < s.lowerAngle) {
        numbers::failInput(
            "upper",
            fmt::format("The upper bound ({}) must not be below the lower bound "
                        "({}).",
                        numbers::formatSingle(s.upperAngle), numbers::formatSingle(s.lowerAngle)));
    }
    const double lastIndex = angleStepQuotient(s);
    if (lastIndex > 32767) {
        numbers::failInput("spacing",
                           fmt::format("The azimuth range needs {:.0f} steps; at most 32768 "
                                       "are possible. Use a larger spacing.",
                                       lastIndex + 1));
    }
    if (s.maxMultiple < 1) {
        numbers::failInput("max-multiple",
                           fmt::format("The maximum multiple must be at least 1 (it is "
                                       "{}).",
                                       s.maxMultiple));
    }
    checkWaveSpan(in, s.maxMultiple);
    const double cells = (lastIndex + 1) * s.maxMultiple * s.maxMultiple;
    if (cells > kMaxTableCells) {
        numbers::failInput(s.maxMultiple > 1 ? "max-multiple" : "spacing",
                           fmt::format("The run would keep {:.0f} results ({:.0f} MB). Reduce the "
                                       "maximum multiple or the number of azimuth steps.",
                                       cells, cells * 5 * sizeof(double) / 1e6));
    }
}

void checkWaveSpan(const ScanInputs& in, int maxMultiple) {
    const CalcSettings& s = in.settings;
    numbers::WaveSpan span{in.b1 * maxMultiple,
                           in.b2 * maxMultiple,
                           in.a1,
                           in.a2,
                           std::sin(in.alpha * kDegree),
                           s.b1Size,
                           s.b2Size,
                           in.hexagonal};
    // Named after what a user would most likely have made too large.
    const char* field = maxMultiple > 1 ? "max-multiple" : s.b2Size > s.b1Size ? "n" : "m";
    require(field, numbers::checkWaveSpan(span));
}

double lengthAsFieldShowsIt(double length, int multiple) {
    return numbers::toDouble(numbers::formatDouble(length * multiple)).value;
}

namespace {

struct PassPlan {
    int i = 1;
    int j = 1;
    double b1 = 0;  // the multiplied lengths, Angstroms
    double b2 = 0;
    PassGeometry geometry;
};

std::vector<PassPlan> planPasses(const ScanInputs& in) {
    std::vector<PassPlan> passes;
    const int maxMultiple = in.settings.maxMultiple;
    for (int j = 1; j <= maxMultiple; ++j) {
        const double b2 = lengthAsFieldShowsIt(in.b2, j);
        for (int i = 1; i <= maxMultiple; ++i) {
            PassPlan pass{i, j, lengthAsFieldShowsIt(in.b1, i), b2, {}};
            pass.geometry = makePassGeometry(in.a1, in.a2, in.alpha, in.beta, pass.b1, pass.b2,
                                             in.hexagonal, in.lower, in.settings.angleSpacing,
                                             in.settings.b1Size, in.settings.b2Size);
            pass.geometry.kernel = in.kernel;
            passes.push_back(pass);
        }
    }
    return passes;
}

// Runs a batch of passes on several threads, each pass keeping its own first minimum, then
// merges those in scan order with the strict rule: the same best as one pass after another.
// The per-angle arrays end up holding the batch's last pass, as after one pass after another.
void runBatch(std::span<const PassPlan> batch, int threads, ScanResults& results,
              BestOrientation& best) {
    std::vector<BestOrientation> passBest(batch.size());
    for (BestOrientation& b : passBest) {
        b.BestVVo = std::numeric_limits<double>::infinity();
    }
    const auto work = [&](std::size_t first) {
        for (std::size_t p = first; p < batch.size(); p += static_cast<std::size_t>(threads)) {
            const bool last = p + 1 == batch.size();
            computePass(batch[p].geometry, batch[p].i, batch[p].j, results, passBest[p], last, {});
        }
    };
    std::vector<std::thread> workers;
    for (int t = 1; t < threads; ++t) {
        workers.emplace_back(work, static_cast<std::size_t>(t));
    }
    work(0);
    for (std::thread& worker : workers) {
        worker.join();
    }
    for (const BestOrientation& b : passBest) {
        if (b.BestVVo < best.BestVVo) {
            best = b;
        }
    }
}

}  // namespace

ScanStatus runRotationScan(const ScanInputs& in, ScanResults& results, BestOrientation& best,
                           const ScanCallbacks& callbacks) {
    checkScanInputs(in);
    results.reset(static_cast<int>(angleStepQuotient(in.settings)), in.settings.maxMultiple);
    best.BestVVo = kScanStartBestVVo;
    const std::vector<PassPlan> passes = planPasses(in);

    // A thread beyond the passes would only be started and joined: a default scan has one.
    const int threads = std::clamp(in.threads, 1, static_cast<int>(passes.size()));
    // A few passes per thread and batch keep the threads busy between two abort checks and
    // progress reports; with neither asked for, one batch starts the threads only once.
    const bool reports = callbacks.abortRequested || callbacks.progress;
    const std::size_t batchSize = threads == 1 ? 1
                                  : reports    ? static_cast<std::size_t>(threads) * 4
                                               : passes.size();
    for (std::size_t begin = 0; begin < passes.size(); begin += batchSize) {
        const std::size_t end = std::min(passes.size(), begin + batchSize);
        const std::span<const PassPlan> batch(passes.data() + begin, end - begin);
        for (const PassPlan& pass : batch) {
            if (callbacks.passStarting) {
                callbacks.passStarting(pass.i, pass.j, pass.b1, pass.b2);
            }
        }
        if (threads == 1) {
            runPass(batch[0].geometry, batch[0].i, batch[0].j, results, best, callbacks.progress);
        } else {
            runBatch(batch, threads, results, best);
            if (callbacks.progress) {
                callbacks.progress(results.LastAngleIndex, results.LastAngleIndex);
            }
        }
        if (callbacks.abortRequested && callbacks.abortRequested()) {
            return ScanStatus::Aborted;
        }
    }
    return ScanStatus::Completed;
}

}  // namespace lamivex::engine
