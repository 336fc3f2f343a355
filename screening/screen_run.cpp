#include "screening/screen_run.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/capture.h"
#include "engine/scan_results.h"

namespace lamivex::screening {
namespace {

constexpr std::chrono::milliseconds kPollInterval{50};

// The work of a pair, for the progress: its passes times its azimuth steps. A pair whose
// fields are refused counts as one step.
double weightOf(const PairWork& item, const ScreenSettings& settings) {
    if (item.known || !item.substrate.error.empty()) {
        return 1;
    }
    try {
        const engine::CapturedRun run = engine::captureRun(fieldsFor(item.substrate, settings));
        const engine::CalcSettings& s = run.settings;
        const double steps =
            s.angleSpacing > 0 ? std::floor((s.upperAngle - s.lowerAngle) / s.angleSpacing) + 1 : 1;
        return std::max(1.0, steps) * s.maxMultiple * s.maxMultiple;
    } catch (const std::exception&) {
        return 1;
    }
}

}  // namespace

std::size_t runInOrder(std::span<const PairWork> work, const ScreenSettings& settings, int threads,
                       const RunHooks& hooks) {
    const std::size_t count = work.size();
    std::vector<std::optional<PairResult>> slots(count);
    std::vector<double> weights(count);
    double totalWeight = 0;
    for (std::size_t k = 0; k < count; ++k) {
        weights[k] = weightOf(work[k], settings);
        totalWeight += weights[k];
    }
    std::mutex mutex;
    std::condition_variable ready;
    std::atomic<bool> stop{false};
    std::atomic<std::size_t> next{0};
    double doneWeight = 0;  // under mutex

    const auto worker = [&] {
        engine::ScanResults workspace;
        for (;;) {
            const std::size_t k = next.fetch_add(1);
            if (k >= count || stop.load()) {
                return;
            }
            std::optional<PairResult> result = work[k].known;
            if (!result) {
                try {
                    result = screenPair(
                        work[k].pair, work[k].substrate, settings, [&stop] { return stop.load(); },
                        workspace);
                } catch (const std::exception& e) {
                    // Not the user's input: still one pair's trouble, named in its row.
                    result = PairResult{work[k].pair, work[k].substrate, {}, e.what()};
                }
            }
            if (!result) {
                return;  // stopped inside the scan
            }
            const std::lock_guard lock(mutex);
            slots[k] = std::move(result);
            doneWeight += weights[k];
            ready.notify_one();
        }
    };
    std::vector<std::thread> pool;
    const int poolSize = std::clamp(threads, 1, static_cast<int>(std::max<std::size_t>(1, count)));
    pool.reserve(static_cast<std::size_t>(poolSize));
    for (int t = 0; t < poolSize; ++t) {
        pool.emplace_back(worker);
    }

    std::size_t committed = 0;
    try {
        while (committed < count) {
            std::optional<PairResult> result;
            double fraction = 0;
            {
                std::unique_lock lock(mutex);
                ready.wait_for(lock, kPollInterval, [&] { return slots[committed].has_value(); });
                if (slots[committed]) {
                    result = std::move(slots[committed]);
                    slots[committed].reset();
                }
                fraction = totalWeight > 0 ? doneWeight / totalWeight : 1;
            }
            if (result) {
                hooks.commit(*result);
                ++committed;
            }
            if (hooks.progress) {
                hooks.progress(fraction);
            }
            if (hooks.stopRequested && hooks.stopRequested()) {
                break;
            }
        }
    } catch (...) {
        stop = true;  // a commit that failed (a full disk) ends the run; the workers first
        for (std::thread& t : pool) {
            t.join();
        }
        throw;
    }
    stop = true;
    for (std::thread& t : pool) {
        t.join();
    }
    return committed;
}

}  // namespace lamivex::screening
