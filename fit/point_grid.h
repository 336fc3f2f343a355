#pragma once
// Points in a grid of square cells, for finding a point near a position without a search of
// all of them.

#include <cstdint>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

#include "views/plane.h"

namespace lamivex::fit {

class PointGrid {
  public:
    // cell is the side of the grid's squares; a search looks at the squares within reach.
    PointGrid(std::span<const views::Vec2> points, double cell);

    // The index of the point nearest to position within distance, if any.
    [[nodiscard]] std::optional<std::size_t> nearest(views::Vec2 position, double distance) const;

  private:
    [[nodiscard]] std::int64_t key(std::int64_t ix, std::int64_t iy) const {
        return (ix << 32) ^ (iy & 0xffffffff);
    }
    std::vector<views::Vec2> m_points;
    double m_cell = 1;
    std::unordered_map<std::int64_t, std::vector<std::size_t>> m_cells;
};

}  // namespace lamivex::fit
