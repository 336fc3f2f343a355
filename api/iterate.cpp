#include "api/iterate.h"

#include <algorithm>

#include <fmt/format.h>

#include "api/scan.h"
#include "engine/capture.h"
#include "iteration/iteration_plan.h"
#include "iteration/iteration_run.h"
#include "iteration/range_rules.h"
#include "numbers/input_error.h"

namespace lamivex::api {
namespace {

using iteration::Constant;

constexpr std::array<Constant, iteration::kConstantCount> kConstants = {
    Constant::b1, Constant::b2, Constant::beta, Constant::a1, Constant::a2, Constant::alpha};

bool isOverlayerConstant(Constant c) {
    return c == Constant::b1 || c == Constant::b2 || c == Constant::beta;
}

iteration::IterationWindowFields windowFrom(const IterationRequest& request,
                                            const engine::MainFieldTexts& fields) {
    iteration::IterationWindowFields window;
    window.iterover = request.iterateOverlayer;
    if (request.rigid && window.iterover) {
        numbers::failInput("rigid",
                           "A rigid run keeps a1 = a2 of the substrate; use it with "
                           "--iterate substrate.");
    }
    window.rigidSubs = request.rigid;
    const std::string criterion = numberText(request.criterion);
    iteration::checkCriterion(criterion);
    window.itercrit = criterion;
    for (const Constant c : kConstants) {
        iteration::RangeRowTexts& row = window.row(c);
        const std::optional<RangeValues>& range = request.ranges[iteration::rowIndex(c)];
        if (!range) {
            row.fixed = true;  // a constant without a range keeps its value
            continue;
        }
        if (isOverlayerConstant(c) != window.iterover) {
            numbers::failInput(iteration::rangeFieldName(c),
                               fmt::format("{} is not iterated in {} run (use --iterate {}).",
                                           iteration::constantName(c),
                                           window.iterover ? "an overlayer" : "a substrate",
                                           window.iterover ? "substrate" : "overlayer"));
        }
        row.from = numberText(range->low);
        row.to = numberText(range->high);
        row.increment = numberText(range->increment);
        // The checks the Iteration window makes when each of the three fields is left.
        iteration::checkRangeRow(c, row);
    }
    if (request.rigid && !request.ranges[iteration::rowIndex(Constant::a1)]) {
        // a1 follows a2 in a rigid run, so its row only names a range on the data file: the
        // one the Iteration window holds when nobody typed into it.
        iteration::IterationWindowFields filled;
        iteration::fillIterationDefaults(fields, 0.8, filled);
        window.row(Constant::a1) = filled.row(Constant::a1);
    }
    for (const std::string& name : request.fix) {
        const auto* found = std::find_if(kConstants.begin(), kConstants.end(), [&](Constant c) {
            return iteration::constantName(c) == name;
        });
        if (found == kConstants.end()) {
            numbers::failInput("fix", fmt::format("Unknown constant \"{}\": expected b1, b2, beta, "
                                                  "a1, a2 or alpha.",
                                                  name));
        }
        window.row(*found).fixed = true;
    }
    return window;
}

MatchRow rowOf(const iteration::Match& m) {
    return {shortestValue(m.angle),
            m.vvo,
            shortestValue(m.singles[0]),
            shortestValue(m.singles[1]),
            shortestValue(m.singles[2]),
            m.c1,
            m.c2,
            m.c3,
            m.m11,
            m.m12,
            m.m21,
            m.m22,
            m.area,
            m.b1Multiple,
            m.b2Multiple};
}

}  // namespace

IterationResult iterate(const IterationRequest& request, const Progress& progress,
                        const Abort& abort, const Locations& locations) {
    checkTolerance(request.registryTolerance);
    checkCoincidenceMisfit(request.coincidenceMisfit);
    const engine::MainFieldTexts fields = resolveFields(request.lattice, locations).fields;
    const iteration::IterationWindowFields window = windowFrom(request, fields);
    int threads = checkedThreads(request.threads);
    if (threads == 0) {
        threads = iteration::defaultThreadCount();
    }
    const engine::CapturedRun run = engine::captureRun(fields);
    iteration::IterationPlan plan = iteration::planIteration(run, window);
    plan.exhaustive = request.exhaustive;

    engine::BestOrientation best;  // all zeros, as when the program starts
    iteration::IterationCallbacks callbacks;
    if (progress) {
        callbacks.progress = [&progress](const iteration::IterationProgress& p) {
            progress(static_cast<double>(p.trialsDone) /
                     static_cast<double>(std::max<int64_t>(p.trialCount, 1)));
        };
    }
    if (abort) {
        callbacks.abortRequested = abort;
    }
    auto completed = std::make_shared<const iteration::CompletedIteration>(
        iteration::runIteration(plan, best, callbacks, threads));
    if (completed->stop == iteration::StopReason::Aborted) {
        throw RunAborted();
    }
    IterationResult out;
    out.matches.reserve(completed->matches.size());
    for (const iteration::Match& m : completed->matches) {
        out.matches.push_back(rowOf(m));
    }
    out.interpretations = iteration::interpretMatches(
        *completed, engine::InterpretOptions{request.registryTolerance, request.coincidenceMisfit},
        threads);
    const std::array<Constant, 3> named = iteration::iteratedConstants(completed->kind);
    for (std::size_t c = 0; c < 3; ++c) {
        out.constantNames[c] = std::string(iteration::constantName(named[c]));
    }
    out.completionMessage = iteration::completionMessage(*completed);
    out.request = request;
    out.run = std::move(completed);
    return out;
}

}  // namespace lamivex::api
