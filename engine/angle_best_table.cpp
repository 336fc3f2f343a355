#include "engine/angle_best_table.h"

namespace lamivex::engine {

AngleBestTable buildAngleBestTable(const ScanResults& results) {
    AngleBestTable table(static_cast<std::size_t>(results.stepCount()));
    const int M = results.MaxMultiple;
    for (int k = 0; k <= results.LastAngleIndex; ++k) {
        AngleBestRow& row = table[static_cast<std::size_t>(k)];
        for (int j = 1; j <= M; ++j) {
            for (int i = 1; i <= M; ++i) {
                const double v = results.vvo(k, i, j);
                if (v < row.minVVo) {
                    row = {v,
                           static_cast<double>(i),
                           static_cast<double>(j),
                           results.matrix(k, i, j, 1),
                           results.matrix(k, i, j, 2),
                           results.matrix(k, i, j, 3),
                           results.matrix(k, i, j, 4)};
                }
            }
        }
    }
    return table;
}

void fillAngleMinVVo(ScanResults& results, const AngleBestTable& table) {
    results.AngleMinVVo.resize(table.size());
    for (std::size_t k = 0; k < table.size(); ++k) {
        results.AngleMinVVo[k] = table[k].minVVo;
    }
}

}  // namespace lamivex::engine
