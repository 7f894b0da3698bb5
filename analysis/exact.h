#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "analysis/engine.h"
#include "analysis/fighter.h"
#include "analysis/method.h"
#include "combat/exact_odds.h"
#include "combat/fight.h"

// The analyses answered exactly by the exact odds engine (combat/exact_odds.h)
// instead of by sampling fights: figures with no noise and no interval.
// The engine answers most matchups in well under a millisecond, and declines
// a few, judged from the fighters alone (never a clock): an analysis is
// exact only when it answers every matchup the analysis needs; otherwise it
// says which one it declined, and the caller samples the whole analysis
// instead and says so.
//
// Everything here is pure: any thread may call it, several at once.
namespace skarn::analysis {

// Why the engine does not answer an analysis: the first matchup it declines.
struct ExactRefusal {
    // The matchup declined, in the words of the analysis: empty for a single
    // matchup; a candidate's quoted name in a ranking; in a scale, the quoted
    // name of the fighter as it is, or a stat at a value ("Str. 110").
    std::string subject;
    // Its index among the analysis's matchups: the candidate in a ranking;
    // in a scale, 0 for the fighter as it is, else the plan's variant
    // (planScale); 0 for a single matchup.
    int index = 0;
    // The engine's sentence, e.g. "Exact odds would take too long (about
    // 2.1e+09 steps, at most 8.0e+08)."
    std::string reason;

    // The reason, after "<subject>: " when there is a subject.
    std::string message() const;
};

// How an exact analysis runs.
struct ExactSettings {
    FightMode mode = DamagePer60Seconds;
    int threads = 0;  // threadCount(threads) threads at most; 0: one per core
    // Called on the calling thread with the matchups done and the matchups in
    // all, after each one the calling thread works out and once at the end.
    Progress progress;
    // When it turns true (from any thread), the analysis stops after the
    // matchups under way and returns nothing, marked cancelled.
    const std::atomic<bool>* cancel = nullptr;
};

// The 5th, 50th and 95th percentiles of a law: each the smallest value whose
// cumulative probability reaches it (percentile in combat/exact_odds.h).
struct ExactPercentiles {
    double p5 = 0.0;
    double p50 = 0.0;
    double p95 = 0.0;
};
// REQUIRES: law is not empty.
ExactPercentiles percentilesOf(const ExactLaw& law);

// The exact outcome of one matchup: the engine's figures per fight (means,
// standard deviations, the laws of the time, the damage given and the
// damage taken, the probability left unaccounted) with their percentiles.
struct ExactOutcome {
    Method method = Method::Exact;
    FightMode mode = DamagePer60Seconds;
    // winPercent is absent outside ToTheDeath; times are in seconds, not
    // truncated.
    ExactOdds odds;
    ExactPercentiles time, damageGiven, damageTaken;

    // The figure of a result; nothing for the win % outside ToTheDeath.
    std::optional<ExactFigure> figure(Result result) const;
    // Its mean; 0 for the win % outside ToTheDeath.
    double mean(Result result) const;
};

// Nothing when the engine answers `you` against `opp` in `mode`, else why
// not. It estimates the engine's work from the fighters (findExactOddsLimit):
// microseconds, milliseconds for a hundred dice. exactOutcome may still
// decline, in the rare case the estimate falls short by half.
// REQUIRES: the values are within the run limits (combat/fight.h): those of
// model::findRunFault, which may however find the fights too long to sample.
std::optional<ExactRefusal> findExactOutcomeRefusal(const Fighter& you, const Fighter& opp,
                                                    FightMode mode);

// The exact outcome of `you` against `opp` in `mode`, or nothing with
// `declined` set (its subject empty) when the engine declines.
// REQUIRES: as findExactOutcomeRefusal.
std::optional<ExactOutcome> exactOutcome(const Fighter& you, const Fighter& opp, FightMode mode,
                                         ExactRefusal& declined);

// The exact answers to several matchups, worked out on up to
// threadCount(settings.threads) threads: the same for any number of
// threads. All or nothing: when the engine declines a variant, nothing, with
// `declined` naming the first declined in the order of `variants` (index
// set, subject left empty); when cancelled, nothing with `cancelled` set.
// It checks every variant first (findExactRefusal), so a refusal comes
// before any matchup is worked out; there is no need to check beforehand
// unless the answer is wanted without the work.
// REQUIRES: each variant within the run limits.
std::optional<std::vector<ExactOutcome>> exactOutcomes(const std::vector<Variant>& variants,
                                                       const ExactSettings& settings,
                                                       ExactRefusal& declined, bool& cancelled);

// The first of `variants` the engine declines (index set, subject empty),
// judged as findExactOutcomeRefusal judges one, on one thread per core;
// nothing when it answers all.
// REQUIRES: each variant within the run limits.
std::optional<ExactRefusal> findExactRefusal(const std::vector<Variant>& variants,
                                             FightMode mode);

}  // namespace skarn::analysis
