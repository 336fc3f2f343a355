#include "iteration/iteration_run.h"

#include <thread>

#include "numbers/number_text.h"
#include "iteration/trial_pipeline.h"

namespace lamivex::iteration {
namespace {

engine::MainFieldTexts restoredFields(const IterationPlan& plan) {
    using numbers::formatSingle;
    engine::MainFieldTexts fields = plan.run.fields;
    if (iteratesOverlayer(plan.kind)) {
        fields.b1 = formatSingle(plan.run.overlayer.b1);
        fields.b2 = formatSingle(plan.run.overlayer.b2);
        fields.beta = formatSingle(plan.run.overlayer.beta);
    } else {
        fields.a1 = formatSingle(plan.run.substrate.a1);
        fields.a2 = formatSingle(plan.run.substrate.a2);
        fields.alpha = formatSingle(plan.run.substrate.alpha);
    }
    return fields;
}

class Committer {
  public:
    Committer(const IterationPlan& plan, engine::BestOrientation& best, CompletedIteration& result)
        : m_plan(plan), m_best(best), m_result(result) {}

    // Returns false once the match limit is reached.
    bool commit(int64_t t, const ScanOutcome& scan) {
        applyScan(scan, m_best);
        m_result.trialsDone = t + 1;
        if (!(m_best.BestVVo < m_plan.SelectionCriterion)) {
            return true;
        }
        const TrialLattice trial = trialAt(m_plan, t);
        const double area = overlayerArea(m_plan, trial);
        const bool geometric = trial.b1Multiple * trial.b2Multiple != 1;
        m_result.hits.add(m_best.BestAngle, m_plan.kind != RunKind::SubstrateRigid, geometric);

        Match match;
        match.trial = t;
        match.angle = m_best.BestAngle;
        match.vvo = m_best.BestVVo;
        match.c1 = trial.values[0];
        match.c2 = trial.values[1];
        match.c3 = trial.values[2];
        match.m11 = m_best.BestPx;
        match.m12 = m_best.BestQy;
        match.m21 = m_best.BestQx;
        match.m22 = m_best.BestPy;
        match.area = area;
        match.b1Multiple = trial.b1Multiple;
        match.b2Multiple = trial.b2Multiple;
        match.singles = trial.singles;
        match.multipliedLengths = trial.multipliedLengths;
        m_result.matches.push_back(match);
        m_result.MatchRecords.push_back(matchRecord(m_best, trial.values, area));
        ++m_result.MatchCount;
        return m_result.MatchCount < kMaxIterationMatches;
    }

    IterationProgress progress() const {
        IterationProgress p;
        p.trialsDone = m_result.trialsDone;
        p.trialCount = m_result.trialCount;
        p.matchCount = m_result.MatchCount;
        if (m_result.trialsDone > 0) {
            p.current = trialAt(m_plan, m_result.trialsDone - 1);
        }
        return p;
    }

  private:
    const IterationPlan& m_plan;
    engine::BestOrientation& m_best;
    CompletedIteration& m_result;
};

}  // namespace

int defaultThreadCount() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : static_cast<int>(cores);
}

CompletedIteration runIteration(const IterationPlan& plan, engine::BestOrientation& best,
                             const IterationCallbacks& callbacks, int threads) {
    CompletedIteration result;
    result.capture = plan.run;
    result.kind = plan.kind;
    result.hits = HitCounts::create(plan.HistogramLowAngle, plan.HistogramHighAngle);
    result.trialCount = plan.trialCount;
    result.ranges = plan.ranges;
    result.SelectionCriterion = plan.SelectionCriterion;
    result.restoredFields = restoredFields(plan);

    Committer committer(plan, best, result);
    PipelineHooks hooks;
    hooks.compute = [&plan](int64_t t, ScanOutcome& out) {
        out = iterationScan(geometryOf(plan, trialAt(plan, t)), plan.lastAngleIndex);
    };
    hooks.commit = [&committer](int64_t t, const ScanOutcome& scan) {
        return committer.commit(t, scan);
    };
    hooks.poll = [&] {
        if (callbacks.progress) {
            callbacks.progress(committer.progress());
        }
        return callbacks.abortRequested && callbacks.abortRequested();
    };
    runOrderedTrials(plan.trialCount, threads < 1 ? defaultThreadCount() : threads, hooks);

    if (result.MatchCount >= kMaxIterationMatches) {
        result.stop = StopReason::Limit;
    } else if (result.trialsDone < result.trialCount) {
        result.stop = StopReason::Aborted;
    }
    if (callbacks.progress) {
        callbacks.progress(committer.progress());
    }
    return result;
}

}  // namespace lamivex::iteration
