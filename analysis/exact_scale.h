#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/exact.h"
#include "analysis/method.h"
#include "analysis/scale.h"

// Scale factors answered exactly: pure, for any thread.
namespace skarn::analysis {

// How much one point of a statistic changes the result, exactly.
struct ExactStatScale {
    Stat stat = Stat::Strength;
    std::int32_t value = 0;  // as the fighter has it
    std::int32_t low = 0;    // the values compared, as scaleStats compares them
    std::int32_t high = 0;
    bool hitPointsFollow = false;  // as in StatScale
    std::string refused;           // as in StatScale; empty when the stat was scaled
    // The result at low and at high; absent when refused.
    std::optional<ExactOutcome> atLow, atHigh;
    // (result at high - result at low) / (high - low); exactly 0 for a stat
    // that changes no fight. No interval: there is no noise. Absent when
    // refused.
    std::optional<double> perPoint;

    bool oneSided() const { return low == value || high == value; }
};

struct ExactScale {
    Method method = Method::Exact;
    Result result = Result::DamageGiven;  // the mode's main result
    FightMode mode = DamagePer60Seconds;
    std::int32_t delta = 0;
    ExactOutcome base;                  // the fighter as it is
    std::vector<ExactStatScale> stats;  // in scaleOrder: the best to raise first, refused ones last
};

// Nothing when the engine answers every fighter a scale of `you` against
// `opp` compares (planScale: the fighter as it is, each stat at its low and
// its high value, the refused ones left out), else the first it declines:
// its index in the plan's variants and, as subject, `you`'s quoted name for
// the fighter as it is, or the stat and value ("Str. 110"). Judged as
// findExactOutcomeRefusal judges one matchup.
// REQUIRES: delta >= 1; the values within the run limits.
std::optional<ExactRefusal> findExactScaleRefusal(const Fighter& you, const Fighter& opp,
                                                  std::int32_t delta, FightMode mode);

// The scale factors of scaleStats, answered exactly: the same stats,
// values, clipping to the ranges, hit points following Str. for a fighter
// without stored ones, and refusals (model::findRunFault, a fight too long
// to sample included), in the same order. The fighters are worked out on
// up to threadCount(settings.threads) threads, with the same figures for
// any number. All or nothing: when the engine declines one of them,
// nothing, with `declined` as findExactScaleRefusal gives it, and the
// caller samples the whole scale instead; when cancelled, nothing with
// `cancelled` set.
// REQUIRES: as findExactScaleRefusal.
std::optional<ExactScale> exactScale(const Fighter& you, const Fighter& opp, std::int32_t delta,
                                     const ExactSettings& settings, ExactRefusal& declined,
                                     bool& cancelled);

}  // namespace skarn::analysis
