#include "iteration/iteration_run.h"

#include <thread>

#include "iteration/matrix_sine_cache.h"
#include "iteration/trial_pipeline.h"
#include "numbers/number_text.h"

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

// Trial t's match with the best orientation best.
Match matchOf(const IterationPlan& plan, int64_t t, const engine::BestOrientation& best) {
    const TrialLattice trial = trialAt(plan, t);
    Match match;
    match.trial = t;
    match.angle = best.BestAngle;
    match.vvo = best.BestVVo;
    match.c1 = trial.values[0];
    match.c2 = trial.values[1];
    match.c3 = trial.values[2];
    match.m11 = best.BestPx;
    match.m12 = best.BestQy;
    match.m21 = best.BestQx;
    match.m22 = best.BestPy;
    match.area = overlayerArea(plan, trial);
    match.b1Multiple = trial.b1Multiple;
    match.b2Multiple = trial.b2Multiple;
    match.singles = trial.singles;
    match.multipliedLengths = trial.multipliedLengths;
    return match;
}

// On the worker: a trial that found a step below the criterion matches with its own angle
// and matrix whatever came before it.
void prepareMatch(const IterationPlan& plan, int64_t t, ScanOutcome& scan) {
    if (!scan.found || !(scan.BestVVo < plan.SelectionCriterion)) {
        return;
    }
    engine::BestOrientation best;
    applyScan(scan, best);
    scan.match = matchOf(plan, t, best);
}

class Committer {
  public:
    Committer(const IterationPlan& plan, engine::BestOrientation& best, CompletedIteration& result)
        : m_plan(plan), m_best(best), m_result(result) {}

    // Returns false once the match limit is reached.
    bool commit(int64_t t, const ScanOutcome& scan) {
        applyScan(scan, m_best);
        m_lastApproximate = scan.approximate;
        if (scan.found && !scan.approximate) {
            m_lastExactFound = t;
        }
        m_result.trialsDone = t + 1;
        if (!(m_best.BestVVo < m_plan.SelectionCriterion)) {
            return true;
        }
        // A trial that found nothing below 1.0 matches with the carried angle and matrix.
        m_result.matches.push_back(scan.match ? *scan.match : matchOf(m_plan, t, m_best));
        const Match& match = m_result.matches.back();
        m_result.MatchRecords.push_back(matchRecord(match));
        m_result.hits.add(match.angle, m_plan.kind != RunKind::SubstrateRigid,
                          match.b1Multiple * match.b2Multiple != 1);
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

    // A pruned trial that did not match leaves an approximate V/Vo, angle and matrix in the
    // record; the run leaves in it what the exhaustive run leaves: the last trial's V/Vo and
    // the angle and matrix of the last trial that found a step below 1.0. Those trials are
    // computed again in full, from the last one back to the last exact one that found (whose
    // outcome the full computation gives again).
    void restoreRecord(const engine::BestOrientation& before) {
        if (m_result.trialsDone == 0 || !anyApproximate()) {
            return;
        }
        m_best = before;
        bool vvoSet = false;
        for (int64_t t = m_result.trialsDone - 1; t >= 0; --t) {
            const ScanOutcome scan =
                iterationScan(geometryOf(m_plan, trialAt(m_plan, t)), m_plan.lastAngleIndex);
            if (!vvoSet) {
                applyScan(scan, m_best);
                vvoSet = true;
            } else if (scan.found) {
                const double vvo = m_best.BestVVo;
                applyScan(scan, m_best);
                m_best.BestVVo = vvo;
            }
            if (scan.found) {
                return;
            }
        }
    }

  private:
    // Whether a trial after the last exact one that found was pruned: only then may the
    // record differ.
    [[nodiscard]] bool anyApproximate() const {
        return m_lastApproximate || m_lastExactFound != m_result.trialsDone - 1;
    }

    const IterationPlan& m_plan;
    engine::BestOrientation& m_best;
    CompletedIteration& m_result;
    bool m_lastApproximate = false;
    int64_t m_lastExactFound = -1;
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
    result.hits.nearestDegree = plan.kind != RunKind::SubstrateRigid;
    result.trialCount = plan.trialCount;
    result.ranges = plan.ranges;
    result.SelectionCriterion = plan.SelectionCriterion;
    result.restoredFields = restoredFields(plan);

    const engine::BestOrientation before = best;
    Committer committer(plan, best, result);
    // Above 1 every trial matches, with the angle of the trial before it when it finds
    // nothing below 1.0: nothing may be left out then.
    const bool pruned = !plan.exhaustive && plan.SelectionCriterion <= 1;
    MatrixSineCache sines(plan.lastAngleIndex);
    PipelineHooks hooks;
    hooks.compute = [&plan, &sines, pruned](int64_t t, ScanOutcome& out) {
        const engine::PassGeometry g = geometryOf(plan, trialAt(plan, t));
        out = pruned ? prunedIterationScan(g, plan.lastAngleIndex, plan.SelectionCriterion,
                                           sines.of(g))
                     : iterationScan(g, plan.lastAngleIndex);
        prepareMatch(plan, t, out);
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
    if (pruned) {
        committer.restoreRecord(before);
    }

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
