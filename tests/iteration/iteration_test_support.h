#pragma once
// Small builders for the iteration tests: a captured main window and an Iteration window.

#include <functional>
#include <string>

#include "engine/capture.h"
#include "iteration/iteration_plan.h"
#include "iteration/iteration_ranges.h"
#include "iteration/iteration_run.h"
#include "numbers/input_error.h"

namespace lamivex::iteration::testing {

inline engine::CapturedRun captured(const std::function<void(engine::MainFieldTexts&)>& edit = {}) {
    engine::MainFieldTexts fields;
    if (edit) {
        edit(fields);
    }
    return engine::captureRun(fields);
}

// Every row Fixed; set the rows a test iterates with range().
inline IterationWindowFields allFixed(bool overlayer = true) {
    IterationWindowFields window;
    window.iterover = overlayer;
    for (RangeRowTexts& row : window.rows) {
        row.fixed = true;
    }
    return window;
}

inline void range(IterationWindowFields& window, Constant c, std::string from, std::string to,
                  std::string inc) {
    window.row(c) = {std::move(from), std::move(to), std::move(inc), false};
}

// The plan on the scalar kernel, so that exact values (V/Vo = 0 with a one-point domain)
// stay exact.
inline IterationPlan scalarPlan(const engine::CapturedRun& run,
                                const IterationWindowFields& window) {
    IterationPlan plan = planIteration(run, window);
    plan.base.kernel = engine::KernelPath::Scalar;
    return plan;
}

inline CompletedIteration run(const IterationPlan& plan, int threads = 1) {
    engine::BestOrientation best;
    return runIteration(plan, best, {}, threads);
}

// The field an InputError names, or "" when planning succeeds.
inline std::string refusedField(const engine::CapturedRun& run, const IterationWindowFields& window,
                                std::string* message = nullptr) {
    try {
        (void)planIteration(run, window);
    } catch (const numbers::InputError& e) {
        if (message != nullptr) {
            *message = e.what();
        }
        return e.field();
    }
    return "";
}

}  // namespace lamivex::iteration::testing
