#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/engine.h"
#include "analysis/fighter.h"
#include "analysis/interval.h"
#include "analysis/method.h"
#include "model/stats.h"

namespace skarn::analysis {

using model::Stat;

// How much one point of a statistic changes the result.
struct StatScale {
    Stat stat = Stat::Strength;
    std::int32_t value = 0;  // as the fighter has it
    std::int32_t low = 0;    // the values compared: value - delta and value + delta,
    std::int32_t high = 0;   // kept within statInfo's range
    // Str. of a fighter without stored hit points: its hit points are its
    // Str., so they change with it.
    bool hitPointsFollow = false;
    std::string refused;  // why the stat could not be scaled; empty when it was
    // The change of the result per point, (result at high - result at low)
    // / (high - low), with the 95% interval of those differences fight by
    // fight. Exactly 0, of width 0, for a stat that changes no fight.
    std::optional<Interval> perPoint;

    // A stat at an end of its range is compared with one side only.
    bool oneSided() const { return low == value || high == value; }
};

struct Scale {
    Method method = Method::Sampled;
    Result result = Result::DamageGiven;  // the mode's main result
    FightMode mode = DamagePer60Seconds;  // the settings' stop rule
    std::uint32_t seed = 0;               // the settings' seed
    std::int32_t delta = 0;
    std::int64_t fights = 0;  // per value tried
    bool cancelled = false;
    VariantSums base;              // the fighter as it is
    std::vector<StatScale> stats;  // the best to raise first; refused ones last
};

// The scale factors of the You fighter's six statistics against `opp`:
// every variant on the same per-fight streams, so each factor's interval
// comes from paired differences.
// REQUIRES: delta >= 1; model::findRunFault(you, opp, settings.mode,
// settings.fights) is empty.
Scale scaleStats(const Fighter& you, const Fighter& opp, std::int32_t delta,
                 const RunSettings& settings);

// The fighters scaleStats runs: for an estimate of its time.
std::vector<Variant> scaleVariants(const Fighter& you, const Fighter& opp, std::int32_t delta,
                                   FightMode mode, std::int64_t fights);

// What a scale compares, for scaleStats and its exact twin: the fighter as
// it is (variants[0]) and each stat at its low and its high value.
struct ScalePlan {
    // In the order the stats are tried; perPoint empty. A stat that
    // model::findRunFault refuses at low or high for the mode and the
    // fights has `refused` set.
    std::vector<StatScale> stats;
    std::vector<Variant> variants;
    // Per stat: the variants at its high and at its low value (0 where the
    // value is the fighter's own), or -1 and -1 when it was refused.
    std::vector<std::pair<int, int>> compared;
};
// REQUIRES: delta >= 1.
ScalePlan planScale(const Fighter& you, const Fighter& opp, std::int32_t delta, FightMode mode,
                    std::int64_t fights);

// The order of a scale's stats, best to raise first, as indices into
// `perPoint` (each stat's change per point, nothing for a stat with none):
// the largest gain first, or for a result of which less is better
// (lowerIsBetter) the largest cut; stats with no change per point last;
// ties keep the order given. The sampled and the exact scales both order
// by it.
std::vector<int> scaleOrder(const std::vector<std::optional<double>>& perPoint, Result result);

}  // namespace skarn::analysis
