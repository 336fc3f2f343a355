#include "iteration/trial_pipeline.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace lamivex::iteration {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kWaitSlice{10};
// Workers claim trials for about this long at once, at most kLargestClaim of them.
constexpr std::chrono::microseconds kClaimTime{2000};
constexpr int64_t kLargestClaim = 512;

// Workers may run at most this many trials ahead of the last commit, which bounds the
// memory and the work thrown away when the run stops early.
int64_t windowFor(int threads) {
    return std::max<int64_t>(4096, int64_t{64} * threads);
}

class Pipeline {
  public:
    Pipeline(int64_t trialCount, int threads, const PipelineHooks& hooks)
        : m_trialCount(trialCount),
          m_window(windowFor(threads)),
          m_hooks(hooks),
          m_slots(static_cast<std::size_t>(m_window)),
          m_ready(static_cast<std::size_t>(m_window), 0) {
        m_workers.reserve(static_cast<std::size_t>(threads));
        try {
            for (int i = 0; i < threads; ++i) {
                m_workers.emplace_back([this] { work(); });
            }
        } catch (...) {
            stopAndJoin();
            throw;
        }
    }

    Pipeline(const Pipeline&) = delete;
    Pipeline& operator=(const Pipeline&) = delete;
    ~Pipeline() { stopAndJoin(); }

    int64_t commitInOrder();

  private:
    std::size_t slot(int64_t t) const { return static_cast<std::size_t>(t % m_window); }
    void work();
    void stopAndJoin();
    // Waits up to one slice for trial `from`; returns the end of the ready run after it.
    int64_t waitForReady(int64_t from);
    void release(int64_t from, int64_t to);

    const int64_t m_trialCount;
    const int64_t m_window;
    const PipelineHooks& m_hooks;

    std::mutex m_mutex;
    std::condition_variable m_spaceFree;   // workers wait for room in the window
    std::condition_variable m_trialReady;  // the calling thread waits for the next trial
    int64_t m_nextToClaim = 0;
    int m_waiting = 0;        // workers waiting for room in the window
    int64_t m_committed = 0;  // trials [0, m_committed) are committed and their slots free
    bool m_stop = false;
    std::exception_ptr m_failure;
    std::vector<ScanOutcome> m_slots;  // written by one worker, read after its ready flag
    std::vector<char> m_ready;
    std::vector<std::thread> m_workers;
};

void Pipeline::work() {
    int64_t doneFrom = 0;
    int64_t doneTo = 0;  // trials [doneFrom, doneTo) computed and not yet marked ready
    int64_t chunk = 1;   // grows while trials are short, so that each claim is ~2 ms of work
    for (;;) {
        int64_t from = 0;
        int64_t to = 0;
        {
            std::unique_lock lock(m_mutex);
            if (doneTo > doneFrom) {
                for (int64_t t = doneFrom; t < doneTo; ++t) {
                    m_ready[slot(t)] = 1;
                }
                if (doneFrom <= m_committed && m_committed < doneTo) {
                    m_trialReady.notify_one();
                }
            }
            ++m_waiting;
            m_spaceFree.wait(lock, [this] {
                return m_stop || m_nextToClaim >= m_trialCount ||
                       m_nextToClaim < m_committed + m_window;
            });
            --m_waiting;
            if (m_stop || m_nextToClaim >= m_trialCount) {
                return;
            }
            // A few trials at a time, so that short trials do not queue on the lock.
            from = m_nextToClaim;
            to = std::min({from + chunk, m_committed + m_window, m_trialCount});
            m_nextToClaim = to;
        }
        const Clock::time_point start = Clock::now();
        try {
            for (int64_t t = from; t < to; ++t) {
                m_hooks.compute(t, m_slots[slot(t)]);
            }
        } catch (...) {
            {
                const std::lock_guard lock(m_mutex);
                if (!m_failure) {
                    m_failure = std::current_exception();
                }
                m_stop = true;
            }
            m_spaceFree.notify_all();
            m_trialReady.notify_one();
            return;
        }
        doneFrom = from;
        doneTo = to;
        const auto perTrial = (Clock::now() - start) / std::max<int64_t>(1, to - from);
        chunk = std::clamp<int64_t>(kClaimTime / std::max(perTrial, Clock::duration{1}), 1,
                                    kLargestClaim);
    }
}

void Pipeline::stopAndJoin() {
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_spaceFree.notify_all();
    for (std::thread& worker : m_workers) {
        if (worker.joinable()) {
            worker.join();
        }
    }
}

int64_t Pipeline::waitForReady(int64_t from) {
    std::unique_lock lock(m_mutex);
    m_trialReady.wait_for(lock, kWaitSlice,
                          [&] { return m_ready[slot(from)] != 0 || m_failure != nullptr; });
    if (m_failure) {
        std::rethrow_exception(m_failure);
    }
    int64_t end = from;
    while (end < m_trialCount && end < from + m_window && m_ready[slot(end)] != 0) {
        ++end;
    }
    return end;
}

void Pipeline::release(int64_t from, int64_t to) {
    {
        const std::lock_guard lock(m_mutex);
        for (int64_t t = from; t < to; ++t) {
            m_ready[slot(t)] = 0;
        }
        m_committed = to;
        if (m_waiting == 0) {
            return;  // nobody to wake: every worker is computing
        }
    }
    m_spaceFree.notify_all();
}

int64_t Pipeline::commitInOrder() {
    int64_t committed = 0;
    bool stopAfterNext = false;
    bool committedSincePoll = false;
    Clock::time_point lastPoll = Clock::now();
    while (committed < m_trialCount) {
        const int64_t readyEnd = waitForReady(committed);
        bool finished = false;
        int64_t t = committed;
        while (t < readyEnd && !finished) {
            // Slots before readyEnd were filled before their flags were set under the lock.
            const bool goOn = m_hooks.commit(t, m_slots[slot(t)]);
            ++t;
            finished = !goOn || stopAfterNext;
        }
        if (t > committed) {
            release(committed, t);
            committed = t;
            committedSincePoll = true;
        }
        if (finished) {
            break;
        }
        if (m_hooks.poll && committed < m_trialCount && Clock::now() - lastPoll >= kPollInterval) {
            lastPoll = Clock::now();
            if (m_hooks.poll()) {
                if (committedSincePoll) {
                    break;
                }
                stopAfterNext = true;
            }
            committedSincePoll = false;
        }
    }
    return committed;
}

}  // namespace

int64_t runOrderedTrials(int64_t trialCount, int threads, const PipelineHooks& hooks) {
    if (trialCount <= 0) {
        return 0;
    }
    const int workers =
        static_cast<int>(std::clamp<int64_t>(threads, 1, std::min<int64_t>(trialCount, 1024)));
    Pipeline pipeline(trialCount, workers, hooks);
    return pipeline.commitInOrder();
}

}  // namespace lamivex::iteration
