#include "fit/point_grid.h"

#include <cmath>

namespace lamivex::fit {

PointGrid::PointGrid(std::span<const views::Vec2> points, double cell)
    : m_points(points.begin(), points.end()), m_cell(cell > 0 ? cell : 1) {
    for (std::size_t i = 0; i < m_points.size(); ++i) {
        const auto ix = static_cast<std::int64_t>(std::floor(m_points[i].x / m_cell));
        const auto iy = static_cast<std::int64_t>(std::floor(m_points[i].y / m_cell));
        m_cells[key(ix, iy)].push_back(i);
    }
}

std::optional<std::size_t> PointGrid::nearest(views::Vec2 position, double distance) const {
    const auto ix = static_cast<std::int64_t>(std::floor(position.x / m_cell));
    const auto iy = static_cast<std::int64_t>(std::floor(position.y / m_cell));
    const auto reach = static_cast<std::int64_t>(std::ceil(distance / m_cell));
    std::optional<std::size_t> best;
    double bestDistance = distance;
    for (std::int64_t dx = -reach; dx <= reach; ++dx) {
        for (std::int64_t dy = -reach; dy <= reach; ++dy) {
            const auto it = m_cells.find(key(ix + dx, iy + dy));
            if (it == m_cells.end()) {
                continue;
            }
            for (const std::size_t i : it->second) {
                const double d = (m_points[i] - position).length();
                if (d <= bestDistance) {
                    bestDistance = d;
                    best = i;
                }
            }
        }
    }
    return best;
}

}  // namespace lamivex::fit
