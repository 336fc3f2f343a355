#pragma once
// The sign of life of a long command-line run: one line on standard error, rewritten a few
// times a second, with the part done and an estimate of the time left. Shown only when
// standard error is a terminal and --quiet was not given; cleared when the run ends.

#include <chrono>
#include <cstdio>
#include <string>

namespace lamivex::cli {

// "  42% done, about 1 min 20 s left"; the time left once enough is done to estimate it.
[[nodiscard]] std::string progressLine(double fraction, double elapsedSeconds);

// Whether a meter is shown: standard error is a terminal and the user did not ask for quiet.
[[nodiscard]] bool progressWanted(bool quiet);

class ProgressMeter {
  public:
    using Clock = std::chrono::steady_clock;

    ProgressMeter(bool shown, std::FILE* out = stderr);
    ~ProgressMeter();
    ProgressMeter(const ProgressMeter&) = delete;
    ProgressMeter& operator=(const ProgressMeter&) = delete;

    [[nodiscard]] bool shown() const { return m_shown; }
    // fraction of the run done, 0 to 1; drawn at most every 200 ms.
    void update(double fraction);

  private:
    bool m_shown;
    std::FILE* m_out;
    Clock::time_point m_start = Clock::now();
    Clock::time_point m_lastDrawn{};
    std::size_t m_lastWidth = 0;
};

}  // namespace lamivex::cli
