#include "iteration/matrix_sine_cache.h"

namespace lamivex::iteration {

MatrixSineCache::MatrixSineCache(int lastAngleIndex, std::size_t budgetBytes)
    : m_lastAngleIndex(lastAngleIndex), m_budget(budgetBytes) {}

namespace {

// Everything a table depends on, so that a thread's memo can never hand out a table of
// another grid, whichever cache made it.
struct TableKey {
    double alpha = 0;
    double beta = 0;
    double lower = 0;
    float spacing = 0;
    int lastAngleIndex = -1;
    bool operator==(const TableKey&) const = default;
};

// The table each worker used last. Consecutive trials mostly share alpha and beta, and a
// thread that finds its table here touches neither the lock nor a shared reference count,
// which two cores would otherwise pass back and forth on every trial.
struct Memo {
    TableKey key;
    std::shared_ptr<const engine::MatrixSines> table;
};

}  // namespace

const engine::MatrixSines& MatrixSineCache::of(const engine::PassGeometry& g) {
    thread_local Memo memo;
    const TableKey key{g.alpha, g.beta, g.lower, g.angleSpacing, m_lastAngleIndex};
    if (!memo.table || !(memo.key == key)) {
        memo.table = lookUp(g);
        memo.key = key;
    }
    return *memo.table;
}

std::shared_ptr<const engine::MatrixSines> MatrixSineCache::lookUp(const engine::PassGeometry& g) {
    const std::pair key{g.alpha, g.beta};
    {
        const std::lock_guard lock(m_mutex);
        if (const auto found = m_tables.find(key); found != m_tables.end()) {
            return found->second;
        }
    }
    // Made outside the lock; two threads meeting a new pair at once both make it, and the
    // first one stored is kept (the two are equal).
    auto made =
        std::make_shared<const engine::MatrixSines>(engine::matrixSines(g, m_lastAngleIndex));
    const std::size_t bytes = 4 * sizeof(double) * made->m11.size();
    const std::lock_guard lock(m_mutex);
    if (const auto found = m_tables.find(key); found != m_tables.end()) {
        return found->second;
    }
    if (m_bytes + bytes <= m_budget) {
        m_bytes += bytes;
        m_tables.emplace(key, made);
    }
    return made;
}

}  // namespace lamivex::iteration
