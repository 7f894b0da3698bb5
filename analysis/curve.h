#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/exact.h"
#include "analysis/fighter.h"
#include "analysis/main_result.h"

// Stat curves, answered exactly: the main result's first key (main_result.h)
// over a stat's whole range, and the real change it makes to move the stat
// by n points down or up, or by one. Pure: any thread may call it.
namespace skarn::analysis {

using model::Stat;

struct CurvePoint {
    std::int32_t value = 0;  // of the stat
    double figure = 0.0;     // the main result's first key there
};

// A move of the stat from its current value: the value reached (clipped to
// the stat's range) and the change of the figure, in the figure's own unit
// (percentage points for the win %).
struct StatChange {
    std::int32_t value = 0;
    double change = 0.0;
};

struct StatCurve {
    Stat stat = Stat::Strength;
    std::int32_t current = 0;
    // The stat's low end, then every `step` values up to its high end (the
    // high end itself when the steps do not reach it exactly).
    std::vector<CurvePoint> points;
    // At current - n, current + n and current + 1; absent where the range
    // leaves no room to move that way.
    std::optional<StatChange> minus, plus, next;
};

struct Curves {
    FightMode mode = DamagePer60Seconds;
    KeyFigure figure = KeyFigure::Margin;  // mainKey(mode).front()
    double now = 0.0;                      // the figure with the stats as they are
    bool hitPointsFollow = true;
    std::int32_t step = 1;
    std::int32_t n = 10;
    std::vector<StatCurve> stats;  // in the order asked for
};

// The curves of `stats` of `you` against `opp`. With `hitPointsFollow`, a
// change of Str. by d changes the hit points by d too. The matchups are
// worked out on up to threadCount(settings.threads) threads, with the same
// figures for any number. All or nothing: when a value puts a fighter
// outside the run limits, or the engine declines one of the matchups,
// nothing, with `declined` naming it ("Str. 0"); when cancelled, nothing
// with `cancelled` set.
// REQUIRES: step >= 1, n >= 1; the fighters within the run limits.
std::optional<Curves> exactCurves(const Fighter& you, const Fighter& opp,
                                  const std::vector<Stat>& stats, std::int32_t step,
                                  std::int32_t n, bool hitPointsFollow,
                                  const ExactSettings& settings, ExactRefusal& declined,
                                  bool& cancelled);

}  // namespace skarn::analysis
