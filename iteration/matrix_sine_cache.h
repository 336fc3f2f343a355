#pragma once
// The matrix sines of a run's azimuth grid, one table per (alpha, beta) the trials meet,
// shared by every trial and thread: an overlayer run at one beta, or a substrate run at one
// alpha, computes its matrix sines once instead of once per trial.

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include "engine/step_bound.h"

namespace lamivex::iteration {

class MatrixSineCache {
  public:
    // Beyond budgetBytes of tables, further ones are made for the asking trial only.
    explicit MatrixSineCache(int lastAngleIndex, std::size_t budgetBytes = std::size_t{256} << 20);

    // The table for g's alpha and beta (g's grid is the run's). Safe from any thread; valid
    // on the calling thread until its next call.
    [[nodiscard]] const engine::MatrixSines& of(const engine::PassGeometry& g);

  private:
    [[nodiscard]] std::shared_ptr<const engine::MatrixSines> lookUp(const engine::PassGeometry& g);

    int m_lastAngleIndex;
    std::size_t m_budget;
    std::size_t m_bytes = 0;
    std::mutex m_mutex;
    std::map<std::pair<double, double>, std::shared_ptr<const engine::MatrixSines>> m_tables;
};

}  // namespace lamivex::iteration
