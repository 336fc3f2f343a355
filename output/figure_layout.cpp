#include "output/figure_layout.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

#include <fmt/format.h>

namespace lamivex::output {
namespace {

// In font sizes: the margin round the figure, a tick's length, the gap between a tick
// and its value, a line of text.
constexpr double kPad = 0.5;
constexpr double kTick = 0.35;
constexpr double kGap = 0.3;
constexpr double kLine = 1.2;
// From a text's top to the middle of its digits, so that a value sits level with its tick.
constexpr double kDigitMiddle = 0.56;
constexpr double kLegendRow = 1.6;
constexpr double kLegendSwatch = 0.7;

double widestTick(const std::vector<double>& ticks, double step, double height) {
    double widest = 0;
    for (const double t : ticks) {
        widest = std::max(widest, estimatedTextWidth(tickText(t, step), height));
    }
    return widest;
}

// An axis end a hair inside a round value moves out to it, so that a run from 0.001° or a
// minimum of -0.4999 still shows its 0 or -0.5; the axis never shrinks.
void reachNearTicks(AxisSpec& axis, double step) {
    const double hair = 0.005 * (axis.to - axis.from);
    const double low = std::floor(axis.from / step + 0.5) * step;
    const double high = std::floor(axis.to / step + 0.5) * step;
    if (low < axis.from && axis.from - low <= hair) {
        axis.from = low;
    }
    if (high > axis.to && high - axis.to <= hair) {
        axis.to = high;
    }
}

}  // namespace

double roundTickStep(double span, int targetCount, bool wholeNumbers) {
    const double raw = std::fabs(span) / std::max(1, targetCount);
    if (!(raw > 0) || !std::isfinite(raw)) {
        return 1;
    }
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    double step = 10 * magnitude;
    for (const double m : {1.0, 2.0, 5.0}) {
        // A hair of slack so that a span of exactly five steps takes that step.
        if (m * magnitude >= raw * (1 - 1e-9)) {
            step = m * magnitude;
            break;
        }
    }
    return wholeNumbers ? std::max(1.0, step) : step;
}

std::vector<double> ticksWithin(double from, double to, double step) {
    std::vector<double> ticks;
    const double slack = step * 1e-9;
    const auto first = static_cast<long long>(std::ceil((from - slack) / step));
    for (long long k = first; static_cast<double>(k) * step <= to + slack; ++k) {
        // k / (1 / step) is exact for the decimal steps below 1 (0.002 = 1 / 500).
        const double value = step < 1 ? static_cast<double>(k) / std::round(1 / step)
                                      : static_cast<double>(k) * step;
        ticks.push_back(value);
    }
    return ticks;
}

std::string tickText(double value, double step) {
    const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
    if (std::fabs(value) < step * 1e-6) {
        value = 0;  // never "-0"
    }
    const std::string digits = fmt::format("{:.{}f}", std::fabs(value), decimals);
    return value < 0 ? "\u2212" + digits : digits;
}

double estimatedTextWidth(const std::string& text, double height) {
    double ems = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) == 0x80) {
            continue;  // a continuation byte of the character already counted
        }
        if (c >= '0' && c <= '9') {
            ems += 0.64;
        } else if (c == '.' || c == ',') {
            ems += 0.32;
        } else if (text.compare(i, 3, "\u2212") == 0) {
            ems += 0.84;
        } else {
            ems += 0.7;
        }
    }
    return ems * height;
}

FigureFrame::FigureFrame(DisplayList& list, const FigureStyle& style, AxisSpec x, AxisSpec y,
                         std::vector<LegendEntry> legend)
    : m_style(style), m_x(std::move(x)), m_y(std::move(y)), m_legend(std::move(legend)) {
    const double f = style.fontPt;
    const double W = style.widthPt;
    const double H = style.heightPt;
    for (AxisSpec* axis : {&m_x, &m_y}) {
        if (!(axis->to > axis->from)) {
            axis->to = axis->from + 1;  // a range of one value still needs an axis
        }
    }
    list.coordinates = {0, H, W, 0};
    list.hasBackground = true;
    list.background = kWhite;

    m_yStep = roundTickStep(m_y.to - m_y.from, 5, m_y.wholeNumbers);
    reachNearTicks(m_y, m_yStep);
    const double yLabels = widestTick(ticksWithin(m_y.from, m_y.to, m_yStep), m_yStep, f);
    m_area.left = f * (kPad + kLine + 0.4 + kGap + kTick) + yLabels;
    m_area.bottom = f * (kPad + kLine + 0.3 + kLine + kGap + kTick);
    m_area.top = H - f * (kPad + (m_legend.empty() ? 0.6 : kLegendRow));

    // As many angle values as fit side by side with a space between them.
    const AxisSpec dataX = m_x;
    for (int target = 8; target >= 1; --target) {
        m_x = dataX;
        m_xStep = roundTickStep(m_x.to - m_x.from, target, m_x.wholeNumbers);
        reachNearTicks(m_x, m_xStep);
        const double span = m_x.to - m_x.from;
        const double xLabels = widestTick(ticksWithin(m_x.from, m_x.to, m_xStep), m_xStep, f);
        m_area.right = W - f * kPad - xLabels / 2;
        const double spacing = m_xStep / span * (m_area.right - m_area.left);
        if (spacing >= xLabels + f) {
            break;
        }
    }
    if (m_area.right - m_area.left < 2 * f || m_area.top - m_area.bottom < 2 * f) {
        throw std::invalid_argument(
            fmt::format("A figure of {:.0f} \u00d7 {:.0f} pt has no room for its axes with "
                        "text of {:g} pt: make it larger or the font smaller.",
                        W, H, f));
    }
}

Point FigureFrame::operator()(double x, double y) const {
    return {m_area.left + (x - m_x.from) / (m_x.to - m_x.from) * (m_area.right - m_area.left),
            m_area.bottom + (y - m_y.from) / (m_y.to - m_y.from) * (m_area.top - m_area.bottom)};
}

void FigureFrame::drawAxes(DisplayList& list) const {
    const double f = m_style.fontPt;
    const double L = m_area.left;
    const double R = m_area.right;
    const double B = m_area.bottom;
    const double T = m_area.top;
    list.addLine({L, B}, {R, B});
    list.addLine({L, B}, {L, T});
    const auto add = [&list](Point at, std::string text, double height, TextAlign align) {
        list.addText(at, std::move(text), height);
        TextItem& item = std::get<TextItem>(list.items.back());
        item.align = align;
        return &item;
    };
    for (const double v : ticksWithin(m_x.from, m_x.to, m_xStep)) {
        const double X = (*this)(v, m_y.from).x;
        list.addLine({X, B}, {X, B - kTick * f});
        add({X, B - (kTick + kGap) * f}, tickText(v, m_xStep), f, TextAlign::Centre);
    }
    for (const double v : ticksWithin(m_y.from, m_y.to, m_yStep)) {
        const double Y = (*this)(m_x.from, v).y;
        list.addLine({L, Y}, {L - kTick * f, Y});
        add({L - (kTick + kGap) * f, Y + kDigitMiddle * f}, tickText(v, m_yStep), f,
            TextAlign::Right);
    }
    add({(L + R) / 2, (kPad + kLine) * f}, m_x.title, f, TextAlign::Centre);
    add({kPad * f, (B + T) / 2}, m_y.title, f, TextAlign::Centre)->vertical = true;

    double x = L;
    const double top = m_style.heightPt - kPad * f;
    for (const LegendEntry& entry : m_legend) {
        list.addRect({x, top - 0.2 * f}, {x + kLegendSwatch * f, top - (0.2 + kLegendSwatch) * f},
                     entry.colour);
        add({x + (kLegendSwatch + 0.3) * f, top}, entry.label, f, TextAlign::Left);
        x += (kLegendSwatch + 0.3 + 1.2) * f + estimatedTextWidth(entry.label, f);
    }
}

}  // namespace lamivex::output
