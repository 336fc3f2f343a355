#include "fit/spot_finder.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <span>

#include <fmt/format.h>

namespace lamivex::fit {
namespace {

// Grey levels: a quarter of a level, so that a threshold is never below 1.5 levels.
constexpr double kLeastNoise = 0.25;

// A plane of numbers the size of the image, with the same indexing.
struct Plane {
    int width = 0;
    int height = 0;
    std::vector<float> v;

    Plane(int w, int h, float fill = 0)
        : width(w), height(h), v(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill) {}
    float& at(int x, int y) {
        return v[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                 static_cast<std::size_t>(x)];
    }
    [[nodiscard]] float at(int x, int y) const {
        return v[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                 static_cast<std::size_t>(x)];
    }
};

float medianOf(std::vector<float>& values) {
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// The standard deviation of normal noise from the median absolute deviation, so that spots
// and dark regions do not inflate it.
double robustSpread(std::vector<float> values) {
    if (values.empty()) {
        return 0;
    }
    const float centre = medianOf(values);
    for (float& x : values) {
        x = std::abs(x - centre);
    }
    return 1.4826 * medianOf(values);
}

// The background as a coarse grid of tile medians, read back by bilinear interpolation
// between tile centres. A median ignores the few bright pixels of a spot.
class TileBackground {
  public:
    TileBackground(const GreyImage& image, const std::vector<bool>* excluded) {
        m_tile = std::clamp(std::max(image.width, image.height) / 16, 8, 64);
        m_columns = (image.width + m_tile - 1) / m_tile;
        m_rows = (image.height + m_tile - 1) / m_tile;
        m_level.assign(static_cast<std::size_t>(m_columns) * static_cast<std::size_t>(m_rows), 0);
        std::vector<bool> known(m_level.size(), false);
        std::vector<float> values;
        for (int ty = 0; ty < m_rows; ++ty) {
            for (int tx = 0; tx < m_columns; ++tx) {
                values.clear();
                int total = 0;
                for (int y = ty * m_tile; y < std::min(image.height, (ty + 1) * m_tile); ++y) {
                    for (int x = tx * m_tile; x < std::min(image.width, (tx + 1) * m_tile); ++x) {
                        ++total;
                        const std::size_t i = static_cast<std::size_t>(y) * image.width + x;
                        if (excluded == nullptr || !(*excluded)[i]) {
                            values.push_back(image.values[i]);
                        }
                    }
                }
                // A tile mostly left out says little about the background there.
                if (4 * static_cast<int>(values.size()) >= total && !values.empty()) {
                    m_level[index(tx, ty)] = medianOf(values);
                    known[index(tx, ty)] = true;
                }
            }
        }
        fillUnknown(known);
    }

    [[nodiscard]] float at(int x, int y) const {
        // Tile centres at (t + 0.5) · tile - 0.5 in pixel coordinates; beyond the outer
        // centres the background goes on as the last two tiles slope, not flat, so that a
        // rising background does not stand out along the image's edges.
        const double fx = (x + 0.5) / m_tile - 0.5;
        const double fy = (y + 0.5) / m_tile - 0.5;
        const int x0 = std::clamp(static_cast<int>(std::floor(fx)), 0, std::max(m_columns - 2, 0));
        const int y0 = std::clamp(static_cast<int>(std::floor(fy)), 0, std::max(m_rows - 2, 0));
        const int x1 = std::min(x0 + 1, m_columns - 1);
        const int y1 = std::min(y0 + 1, m_rows - 1);
        const double u = x1 == x0 ? 0 : fx - x0;
        const double w = y1 == y0 ? 0 : fy - y0;
        const double top = (1 - u) * m_level[index(x0, y0)] + u * m_level[index(x1, y0)];
        const double bottom = (1 - u) * m_level[index(x0, y1)] + u * m_level[index(x1, y1)];
        return static_cast<float>((1 - w) * top + w * bottom);
    }

    // The level of each tile's wider neighbourhood (5 × 5 tiles, its upper quartile), robust
    // to a dark region over most of it: what the screen's brightness would be there without
    // it.
    [[nodiscard]] Plane widerLevel(int width, int height) const {
        std::vector<float> wide(m_level.size());
        std::vector<float> values;
        for (int ty = 0; ty < m_rows; ++ty) {
            for (int tx = 0; tx < m_columns; ++tx) {
                values.clear();
                for (int dy = -2; dy <= 2; ++dy) {
                    for (int dx = -2; dx <= 2; ++dx) {
                        const int nx = tx + dx;
                        const int ny = ty + dy;
                        if (nx >= 0 && ny >= 0 && nx < m_columns && ny < m_rows) {
                            values.push_back(m_level[index(nx, ny)]);
                        }
                    }
                }
                const auto upper =
                    values.begin() + static_cast<std::ptrdiff_t>(3 * values.size() / 4);
                std::nth_element(values.begin(), upper, values.end());
                wide[index(tx, ty)] = *upper;
            }
        }
        TileBackground copy = *this;
        copy.m_level = std::move(wide);
        Plane plane(width, height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                plane.at(x, y) = copy.at(x, y);
            }
        }
        return plane;
    }

  private:
    [[nodiscard]] std::size_t index(int tx, int ty) const {
        return static_cast<std::size_t>(ty) * static_cast<std::size_t>(m_columns) +
               static_cast<std::size_t>(tx);
    }

    // Tiles without a level take the mean of their known neighbours, growing inwards.
    void fillUnknown(std::vector<bool>& known) {
        if (std::none_of(known.begin(), known.end(), [](bool k) { return k; })) {
            return;  // every tile dark: levels stay 0 and nothing stands above them
        }
        while (std::find(known.begin(), known.end(), false) != known.end()) {
            std::vector<bool> next = known;
            for (int ty = 0; ty < m_rows; ++ty) {
                for (int tx = 0; tx < m_columns; ++tx) {
                    if (known[index(tx, ty)]) {
                        continue;
                    }
                    double sum = 0;
                    int count = 0;
                    for (int dy = -1; dy <= 1; ++dy) {
                        for (int dx = -1; dx <= 1; ++dx) {
                            const int nx = tx + dx;
                            const int ny = ty + dy;
                            if (nx >= 0 && ny >= 0 && nx < m_columns && ny < m_rows &&
                                known[index(nx, ny)]) {
                                sum += m_level[index(nx, ny)];
                                ++count;
                            }
                        }
                    }
                    if (count > 0) {
                        m_level[index(tx, ty)] = static_cast<float>(sum / count);
                        next[index(tx, ty)] = true;
                    }
                }
            }
            known = std::move(next);
        }
    }

    int m_tile = 8;
    int m_columns = 1;
    int m_rows = 1;
    std::vector<float> m_level;
};

// A [1 2 1]/4 filter twice along each axis: about a Gaussian of one pixel, enough to keep
// single noisy pixels from standing as maxima.
Plane smoothed(const Plane& in) {
    Plane a = in;
    Plane b(in.width, in.height);
    for (int pass = 0; pass < 2; ++pass) {
        for (int y = 0; y < in.height; ++y) {
            for (int x = 0; x < in.width; ++x) {
                const float left = a.at(std::max(x - 1, 0), y);
                const float right = a.at(std::min(x + 1, in.width - 1), y);
                b.at(x, y) = 0.25F * left + 0.5F * a.at(x, y) + 0.25F * right;
            }
        }
        for (int y = 0; y < in.height; ++y) {
            for (int x = 0; x < in.width; ++x) {
                const float up = b.at(x, std::max(y - 1, 0));
                const float down = b.at(x, std::min(y + 1, in.height - 1));
                a.at(x, y) = 0.25F * up + 0.5F * b.at(x, y) + 0.25F * down;
            }
        }
    }
    return a;
}

// Pixels well below the screen's level around them, grown by reach pixels so that the
// bright edge of a dark region is left out too.
std::vector<bool> darkRegions(const GreyImage& image, const Plane& smoothedImage,
                              const Plane& level, double noise, int reach) {
    const int w = image.width;
    const int h = image.height;
    std::vector<bool> dark(image.values.size(), false);
    bool any = false;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double screen = level.at(x, y);
            const double drop = std::max(8 * noise, 0.25 * std::abs(screen));
            if (smoothedImage.at(x, y) < screen - drop) {
                dark[static_cast<std::size_t>(y) * w + x] = true;
                any = true;
            }
        }
    }
    if (!any || reach <= 0) {
        return dark;
    }
    // Grow by a square of side 2·reach + 1, one axis at a time.
    std::vector<bool> across(dark.size(), false);
    for (int y = 0; y < h; ++y) {
        int lastDark = -1 - 2 * reach;
        for (int x = 0; x < w + reach; ++x) {
            if (x < w && dark[static_cast<std::size_t>(y) * w + x]) {
                lastDark = x;
            }
            const int target = x - reach;
            if (target >= 0 && x - lastDark <= 2 * reach) {
                across[static_cast<std::size_t>(y) * w + target] = true;
            }
        }
    }
    std::vector<bool> grown(dark.size(), false);
    for (int x = 0; x < w; ++x) {
        int lastDark = -1 - 2 * reach;
        for (int y = 0; y < h + reach; ++y) {
            if (y < h && across[static_cast<std::size_t>(y) * w + x]) {
                lastDark = y;
            }
            const int target = y - reach;
            if (target >= 0 && y - lastDark <= 2 * reach) {
                grown[static_cast<std::size_t>(target) * w + x] = true;
            }
        }
    }
    return grown;
}

// The intensity-weighted centroid in a disc that follows it until it settles, so that the
// disc's edge cuts the spot symmetrically.
FoundSpot refined(const Plane& residual, int x0, int y0, double radius, float level) {
    double cx = x0;
    double cy = y0;
    const int reach = static_cast<int>(std::ceil(radius));
    for (int iteration = 0; iteration < 20; ++iteration) {
        double sum = 0;
        double sx = 0;
        double sy = 0;
        const int ix = static_cast<int>(std::lround(cx));
        const int iy = static_cast<int>(std::lround(cy));
        for (int y = std::max(iy - reach, 0); y <= std::min(iy + reach, residual.height - 1); ++y) {
            for (int x = std::max(ix - reach, 0); x <= std::min(ix + reach, residual.width - 1);
                 ++x) {
                const double dx = x - cx;
                const double dy = y - cy;
                if (dx * dx + dy * dy > radius * radius) {
                    continue;
                }
                const double weight = std::max(0.0F, residual.at(x, y) - level);
                sum += weight;
                sx += weight * x;
                sy += weight * y;
            }
        }
        if (sum <= 0) {
            break;
        }
        const double nx = sx / sum;
        const double ny = sy / sum;
        const double moved = std::hypot(nx - cx, ny - cy);
        cx = nx;
        cy = ny;
        // A centroid that wanders off its maximum belongs to a neighbour; keep it nearby.
        if (std::hypot(cx - x0, cy - y0) > radius) {
            cx = x0;
            cy = y0;
            break;
        }
        if (moved < 1e-3) {
            break;
        }
    }
    return {cx, cy, 0};
}

// The level around a spot: the median of the ring from two to three of its radii, where the
// spot itself has faded; nullopt when dark regions cover half of the ring, since a spot there
// cannot be told from the region's edge.
std::optional<float> ringLevel(const Plane& residual, const std::vector<bool>& masked, int x0,
                               int y0, int radius) {
    std::vector<float> ring;
    int total = 0;
    const int inner = 2 * radius;
    const int outer = 3 * radius;
    for (int y = y0 - outer; y <= y0 + outer; ++y) {
        for (int x = x0 - outer; x <= x0 + outer; ++x) {
            const int d2 = (x - x0) * (x - x0) + (y - y0) * (y - y0);
            if (d2 < inner * inner || d2 > outer * outer) {
                continue;
            }
            ++total;
            if (x < 0 || y < 0 || x >= residual.width || y >= residual.height ||
                masked[static_cast<std::size_t>(y) * residual.width + x]) {
                continue;
            }
            ring.push_back(residual.at(x, y));
        }
    }
    if (2 * static_cast<int>(ring.size()) < total) {
        return std::nullopt;
    }
    return medianOf(ring);
}

}  // namespace

SpotSearch findSpots(const GreyImage& image, const SpotFinding& finding) {
    if (image.empty() || image.values.size() != static_cast<std::size_t>(image.width) *
                                                    static_cast<std::size_t>(image.height)) {
        throw FitError("the image has no pixels");
    }
    if (finding.threshold && !(*finding.threshold > 0 && std::isfinite(*finding.threshold))) {
        throw FitError(fmt::format("the threshold {} is not a positive number of grey levels",
                                   *finding.threshold));
    }
    if (!(finding.spotRadius >= 1 && finding.spotRadius <= 100)) {
        throw FitError("the spot radius must lie between 1 and 100 pixels");
    }
    const int w = image.width;
    const int h = image.height;
    const int radius = static_cast<int>(std::ceil(finding.spotRadius));

    Plane raw(w, h);
    raw.v = image.values;

    // A first background with nothing left out, to measure the noise and find dark regions.
    const TileBackground first(image, nullptr);
    std::vector<float> firstResidual(image.values.size());
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            firstResidual[static_cast<std::size_t>(y) * w + x] = raw.at(x, y) - first.at(x, y);
        }
    }
    const double rawNoise = robustSpread(firstResidual);

    std::vector<bool> masked(image.values.size(), false);
    if (finding.maskDark) {
        masked = darkRegions(image, smoothed(raw), first.widerLevel(w, h), rawNoise, 2 * radius);
    }
    const TileBackground background(image, &masked);

    Plane residual(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            residual.at(x, y) = raw.at(x, y) - background.at(x, y);
        }
    }
    const Plane peaks = smoothed(residual);

    SpotSearch search;
    search.maskedPixels = static_cast<std::size_t>(std::count(masked.begin(), masked.end(), true));
    std::vector<float> open;
    open.reserve(peaks.v.size());
    for (std::size_t i = 0; i < peaks.v.size(); ++i) {
        if (!masked[i]) {
            open.push_back(peaks.v[i]);
        }
    }
    // Files hold whole grey levels: on a faint 8-bit image the noise may be below one level,
    // where the median deviation reads 0 and every step of a level would pass as a spot.
    search.noise = std::max(robustSpread(std::move(open)), kLeastNoise);
    search.threshold = finding.threshold.value_or(kNoiseMultiple * search.noise);
    if (!(search.threshold > 0)) {
        // A flat image has no noise and no spots.
        return search;
    }

    std::vector<FoundSpot> candidates;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const float value = peaks.at(x, y);
            // A spot cut by the image's edge cannot be placed; its part is no spot.
            const bool nearEdge = x < radius || y < radius || x >= w - radius || y >= h - radius;
            if (value <= search.threshold || nearEdge ||
                masked[static_cast<std::size_t>(y) * w + x]) {
                continue;
            }
            // A maximum over the disc of the spot's radius; ties go to the first in reading
            // order, so a flat top gives one spot.
            bool highest = true;
            for (int dy = -radius; dy <= radius && highest; ++dy) {
                for (int dx = -radius; dx <= radius; ++dx) {
                    const int nx = x + dx;
                    const int ny = y + dy;
                    if ((dx == 0 && dy == 0) || nx < 0 || ny < 0 || nx >= w || ny >= h ||
                        dx * dx + dy * dy > radius * radius) {
                        continue;
                    }
                    const float other = peaks.at(nx, ny);
                    const bool before = dy < 0 || (dy == 0 && dx < 0);
                    if (other > value || (before && other == value)) {
                        highest = false;
                        break;
                    }
                }
            }
            if (!highest) {
                continue;
            }
            // The height over the ring around it, so that what is left of the background
            // after the tiles' estimate (near a dark region, a bright corner) is no spot.
            const std::optional<float> level = ringLevel(peaks, masked, x, y, radius);
            if (!level || value - *level <= search.threshold) {
                continue;
            }
            FoundSpot spot = refined(residual, x, y, std::max(finding.spotRadius, 2.0), *level);
            spot.height = value - *level;
            candidates.push_back(spot);
        }
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const FoundSpot& a, const FoundSpot& b) { return a.height > b.height; });
    // Two maxima that refine to the same place are one spot.
    for (const FoundSpot& c : candidates) {
        const bool near = std::any_of(search.spots.begin(), search.spots.end(), [&](const auto& s) {
            return std::hypot(s.x - c.x, s.y - c.y) < finding.spotRadius;
        });
        if (!near) {
            search.spots.push_back(c);
        }
    }
    return search;
}

std::vector<Spot> spotsOf(const SpotSearch& search) {
    std::vector<Spot> spots;
    spots.reserve(search.spots.size());
    for (const FoundSpot& s : search.spots) {
        spots.push_back({s.x, s.y, SpotKind::Unknown});
    }
    return spots;
}

}  // namespace lamivex::fit
