#include "output/save_signals.h"

#include <unistd.h>

#include <array>
#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>
#include <mutex>

namespace lamivex::output::detail {
namespace {

// A signal handler may only touch what is set up beforehand: a fixed table of paths, each
// published by its flag. This is the one process-wide state of the save, and it has to be.
constexpr int kSlots = 16;
constexpr std::array<int, 5> kSignals = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGXFSZ};

struct Slot {
    std::atomic<bool> used{false};
    char path[PATH_MAX] = {};
};

std::array<Slot, kSlots> g_slots;
std::array<struct sigaction, kSignals.size()> g_previous{};
std::array<bool, kSignals.size()> g_installed{};
std::mutex g_mutex;
int g_registered = 0;

void removeRegisteredAndPassOn(int signal) {
    for (Slot& slot : g_slots) {
        if (slot.used.load(std::memory_order_acquire)) {
            ::unlink(slot.path);
        }
    }
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        if (kSignals[i] == signal) {
            // The signal is blocked while this runs: raised again, it arrives on return
            // and does what it did before.
            ::sigaction(signal, &g_previous[i], nullptr);
            ::raise(signal);
            return;
        }
    }
}

void installHandlers() {
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        struct sigaction current {};
        ::sigaction(kSignals[i], nullptr, &current);
        if (current.sa_handler == SIG_IGN) {
            g_installed[i] = false;  // ignored signals do not end the process
            continue;
        }
        struct sigaction ours {};
        ours.sa_handler = removeRegisteredAndPassOn;
        sigemptyset(&ours.sa_mask);
        ::sigaction(kSignals[i], &ours, &g_previous[i]);
        g_installed[i] = true;
    }
}

void restoreHandlers() {
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        if (g_installed[i]) {
            ::sigaction(kSignals[i], &g_previous[i], nullptr);
            g_installed[i] = false;
        }
    }
}

}  // namespace

TemporaryFileGuard::TemporaryFileGuard(const std::filesystem::path& file) {
    const std::string& path = file.native();
    if (path.size() >= PATH_MAX) {
        return;  // the save itself will fail on such a name
    }
    const std::lock_guard lock(g_mutex);
    for (int i = 0; i < kSlots; ++i) {
        Slot& slot = g_slots[static_cast<std::size_t>(i)];
        if (!slot.used.load(std::memory_order_relaxed)) {
            std::memcpy(slot.path, path.c_str(), path.size() + 1);
            slot.used.store(true, std::memory_order_release);
            m_slot = i;
            break;
        }
    }
    if (m_slot >= 0 && g_registered++ == 0) {
        installHandlers();
    }
}

void TemporaryFileGuard::release() {
    if (m_slot < 0) {
        return;
    }
    const std::lock_guard lock(g_mutex);
    g_slots[static_cast<std::size_t>(m_slot)].used.store(false, std::memory_order_release);
    m_slot = -1;
    if (--g_registered == 0) {
        restoreHandlers();
    }
}

TemporaryFileGuard::~TemporaryFileGuard() {
    release();
}

}  // namespace lamivex::output::detail
