#include "synthetic_image.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <random>

namespace lamivex::testing {
namespace {

constexpr double kSpotSigma = 1.8;  // pixels
constexpr double kNoise = 30;       // grey levels

// Distance from p to the segment a–b.
double toSegment(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax;
    const double dy = by - ay;
    const double t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(px - ax - t * dx, py - ay - t * dy);
}

}  // namespace

CameraPicture photograph(const SyntheticScreen& screen, int size, unsigned seed) {
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0, kNoise);
    std::uniform_real_distribution<double> unit(0, 1);
    CameraPicture out;
    fit::GreyImage& image = out.image;
    image.width = size;
    image.height = size;
    image.values.resize(static_cast<std::size_t>(size) * size);

    // The gun: a disc at the centre and an arm to the lower right edge.
    const double cx = screen.centreX;
    const double cy = screen.centreY;
    const double disc = 0.35 * screen.firstOrder;
    const double arm = 0.1 * screen.firstOrder;  // half width
    const double ex = cx + 2.0 * size;
    const double ey = cy + 1.2 * size;
    // How far into the shadow a point lies, in pixels (negative outside).
    const auto depth = [&](double x, double y) {
        return std::max(disc - std::hypot(x - cx, y - cy), arm - toSegment(x, y, cx, cy, ex, ey));
    };

    std::vector<double> heights;
    for (std::size_t i = 0; i < screen.spots.size(); ++i) {
        heights.push_back(4000 + 8000 * unit(random));
    }
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double u = static_cast<double>(x) / size;
            const double v = static_cast<double>(y) / size;
            double level = 1500 + 1500 * u + 800 * v * v;
            // A shadow with an edge a pixel and a half wide.
            const double dark = std::clamp(0.5 + depth(x, y) / 1.5, 0.0, 1.0);
            level = level * (1 - dark) + 300 * dark;
            image.values[static_cast<std::size_t>(y) * size + x] = static_cast<float>(level);
        }
    }
    const int reach = static_cast<int>(std::ceil(5 * kSpotSigma));
    for (std::size_t i = 0; i < screen.spots.size(); ++i) {
        const fit::Spot& s = screen.spots[i];
        const int x0 = static_cast<int>(std::lround(s.x));
        const int y0 = static_cast<int>(std::lround(s.y));
        for (int y = std::max(0, y0 - reach); y <= std::min(size - 1, y0 + reach); ++y) {
            for (int x = std::max(0, x0 - reach); x <= std::min(size - 1, x0 + reach); ++x) {
                const double r2 = (x - s.x) * (x - s.x) + (y - s.y) * (y - s.y);
                // The gun's shadow hides the spot as it hides the screen.
                const double dark = std::clamp(0.5 + depth(x, y) / 1.5, 0.0, 1.0);
                image.values[static_cast<std::size_t>(y) * size + x] += static_cast<float>(
                    (1 - dark) * heights[i] * std::exp(-r2 / (2 * kSpotSigma * kSpotSigma)));
            }
        }
        bool partnered = false;
        for (const fit::Spot& t : screen.spots) {
            const double apart = std::hypot(t.x - s.x, t.y - s.y);
            partnered = partnered || (apart > 0 && apart < kPartnerDistance);
        }
        out.clear.push_back(s.x > 6 && s.y > 6 && s.x < size - 7 && s.y < size - 7 &&
                            depth(s.x, s.y) < -12 && !partnered);
    }
    for (float& value : image.values) {
        value = static_cast<float>(std::clamp(value + noise(random), 0.0, 65535.0));
    }
    return out;
}

double distanceToPainted(const SyntheticScreen& screen, double x, double y) {
    double best = INFINITY;
    for (const fit::Spot& s : screen.spots) {
        best = std::min(best, std::hypot(s.x - x, s.y - y));
        for (const fit::Spot& t : screen.spots) {
            const double apart = std::hypot(t.x - s.x, t.y - s.y);
            if (apart > 0 && apart < kPartnerDistance) {
                best = std::min(best, toSegment(x, y, s.x, s.y, t.x, t.y));
            }
        }
    }
    return best;
}

fit::GreyImage noisePicture(int size, unsigned seed) {
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(2000, kNoise);
    fit::GreyImage image{size, size, {}};
    for (int i = 0; i < size * size; ++i) {
        image.values.push_back(static_cast<float>(noise(random)));
    }
    return image;
}

void writePgm16(const fit::GreyImage& image, const std::filesystem::path& path) {
    std::ofstream out(path, std::ios::binary);
    out << "P5\n" << image.width << " " << image.height << "\n65535\n";
    for (const float value : image.values) {
        const auto level = static_cast<unsigned>(std::lround(std::clamp(value, 0.0F, 65535.0F)));
        out.put(static_cast<char>(level >> 8));
        out.put(static_cast<char>(level & 0xff));
    }
}

}  // namespace lamivex::testing
