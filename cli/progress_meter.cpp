#include "cli/progress_meter.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>

#include <fmt/format.h>

namespace lamivex::cli {
namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(200);
// Below this much done or this much time the rate says little about the rest.
constexpr double kEstimateFraction = 0.01;
constexpr double kEstimateSeconds = 1.0;

std::string duration(double seconds) {
    const auto s = static_cast<long long>(std::ceil(seconds));
    if (s < 60) {
        return fmt::format("{} s", s);
    }
    if (s < 3600) {
        return fmt::format("{} min {} s", s / 60, s % 60);
    }
    return fmt::format("{} h {} min", s / 3600, (s % 3600) / 60);
}

}  // namespace

std::string progressLine(double fraction, double elapsedSeconds) {
    fraction = std::clamp(fraction, 0.0, 1.0);
    // Rounded down, so that 100% is only shown when the run is done.
    const auto percent = static_cast<int>(std::floor(fraction * 100));
    if (fraction < kEstimateFraction || elapsedSeconds < kEstimateSeconds) {
        return fmt::format("{:3}% done", percent);
    }
    const double left = elapsedSeconds * (1 - fraction) / fraction;
    return fmt::format("{:3}% done, about {} left", percent, duration(left));
}

bool progressWanted(bool quiet) {
    return !quiet && ::isatty(STDERR_FILENO) == 1;
}

ProgressMeter::ProgressMeter(bool shown, std::FILE* out) : m_shown(shown), m_out(out) {}

ProgressMeter::~ProgressMeter() {
    if (m_shown && m_lastWidth > 0) {
        fmt::print(m_out, "\r{:{}}\r", "", m_lastWidth);
        std::fflush(m_out);
    }
}

void ProgressMeter::update(double fraction) {
    if (!m_shown) {
        return;
    }
    const Clock::time_point now = Clock::now();
    if (m_lastWidth > 0 && now - m_lastDrawn < kRedrawInterval) {
        return;
    }
    m_lastDrawn = now;
    const std::string line =
        progressLine(fraction, std::chrono::duration<double>(now - m_start).count());
    // Blanks over what a longer line before left on the terminal.
    fmt::print(m_out, "\r{:<{}}", line, std::max(line.size(), m_lastWidth));
    std::fflush(m_out);
    m_lastWidth = line.size();
}

}  // namespace lamivex::cli
