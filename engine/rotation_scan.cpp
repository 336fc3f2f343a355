#include "engine/rotation_scan.h"

#include <cmath>

#include <fmt/format.h>

#include "engine/input_error.h"
#include "engine/number_text.h"

namespace lamivex::engine {
namespace {

// The tables keep V/Vo and four matrix components per step and pair of multiples.
constexpr double kMaxTableCells = 20e6;  // about 800 MB

void requirePositive(const char* field, double value) {
    if (!(value > 0)) {
        failInput(field, fmt::format("{} must be greater than 0 (it is {}).", field,
                                     formatDouble(value)));
    }
}

}  // namespace

double angleStepQuotient(const CalcSettings& settings) {
    return std::trunc((static_cast<double>(settings.upperAngle) - settings.lowerAngle) /
                      settings.angleSpacing);
}

void checkScanInputs(const ScanInputs& in) {
    requirePositive("a1", in.a1);
    requirePositive("a2", in.a2);
    if (std::fmod(in.alpha, 180.0) == 0) {
        failInput("alpha", fmt::format("alpha must not be {} degrees: a1 and a2 would be "
                                       "parallel.",
                                       formatDouble(in.alpha)));
    }
    requirePositive("b1", in.b1);
    requirePositive("b2", in.b2);
    const CalcSettings& s = in.settings;
    if (s.b1Size < 0) {
        failInput("m", fmt::format("The domain size m (b1 direction) must not be negative (it "
                                   "is {}).",
                                   s.b1Size));
    }
    if (s.b2Size < 0) {
        failInput("n", fmt::format("The domain size n (b2 direction) must not be negative (it "
                                   "is {}).",
                                   s.b2Size));
    }
    if (!(s.angleSpacing > 0)) {
        failInput("spacing", fmt::format("The azimuth spacing must be greater than 0 (it is {}).",
                                         formatSingle(s.angleSpacing)));
    }
    if (s.upperAngle < s.lowerAngle) {
        failInput("upper", fmt::format("The upper bound ({}) must not be below the lower bound "
                                       "({}).",
                                       formatSingle(s.upperAngle), formatSingle(s.lowerAngle)));
    }
    const double lastIndex = angleStepQuotient(s);
    if (lastIndex > 32767) {
        failInput("spacing", fmt::format("The azimuth range needs {:.0f} steps; at most 32768 "
                                         "are possible. Use a larger spacing.",
                                         lastIndex + 1));
    }
    if (s.maxMultiple < 1) {
        failInput("max-multiple", fmt::format("The maximum multiple must be at least 1 (it is "
                                              "{}).",
                                              s.maxMultiple));
    }
    const double cells = (lastIndex + 1) * s.maxMultiple * s.maxMultiple;
    if (cells > kMaxTableCells) {
        failInput(s.maxMultiple > 1 ? "max-multiple" : "spacing",
                  fmt::format("The run would keep {:.0f} results ({:.0f} MB). Reduce the "
                              "maximum multiple or the number of azimuth steps.",
                              cells, cells * 5 * sizeof(double) / 1e6));
    }
}

std::string multipliedLengthText(double length, int multiple) {
    return formatDouble(length * multiple);
}

ScanStatus runRotationScan(const ScanInputs& in, ScanResults& results, BestOrientation& best,
                           const ScanCallbacks& callbacks) {
    checkScanInputs(in);
    const int maxMultiple = in.settings.maxMultiple;
    results = ScanResults::create(static_cast<int>(angleStepQuotient(in.settings)), maxMultiple);
    best.BestVVo = kScanStartBestVVo;

    for (int j = 1; j <= maxMultiple; ++j) {
        const std::string b2Text = multipliedLengthText(in.b2, j);
        for (int i = 1; i <= maxMultiple; ++i) {
            const std::string b1Text = multipliedLengthText(in.b1, i);
            if (callbacks.passStarting) {
                callbacks.passStarting(i, j, b1Text, b2Text);
            }
            PassGeometry g = makePassGeometry(
                in.a1, in.a2, in.alpha, in.beta, toDouble(b1Text).value, toDouble(b2Text).value,
                in.hexagonal, in.lower, in.settings.angleSpacing, in.settings.b1Size,
                in.settings.b2Size);
            g.kernel = in.kernel;
            runPass(g, i, j, results, best, callbacks.progress);
            if (callbacks.abortRequested && callbacks.abortRequested()) {
                return ScanStatus::Aborted;
            }
        }
    }
    return ScanStatus::Completed;
}

}  // namespace lamivex::engine
