#pragma once

#include <cstdint>
#include <optional>

#include "combat/fight.h"

namespace skarn::analysis {

// A 95% confidence interval around a mean.
struct Interval {
    double mean = 0.0;
    double low = 0.0;
    double high = 0.0;

    double halfWidth() const { return (high - low) / 2.0; }
};

// The two-sided 95% point of the standard normal distribution.
inline constexpr double kZ95 = 1.959963984540054;

// Wilson score interval of a proportion, in percent: `successes` of `n`.
// At 0 or n successes the matching end is exactly 0 or 100.
// REQUIRES: n >= 1, 0 <= successes <= n.
Interval wilsonPercent(double successes, std::int64_t n);

// Normal interval of a mean from the sum and the sum of squares of n samples,
// each scaled by `scale`; the sample standard deviation is used. Nothing for
// n < 2, where there is no spread to estimate.
std::optional<Interval> meanInterval(double sum, double sumOfSquares, std::int64_t n,
                                     double scale = 1.0);

// The intervals of the four results of a run. The win percentage has one
// only in mode ToTheDeath, the only mode that counts wins; in mode
// DamagePer60Seconds every fight lasts exactly 6000 ticks, so the time's
// interval is the point 60.
struct RunIntervals {
    std::optional<Interval> winPercent;
    std::optional<Interval> damageTaken;
    std::optional<Interval> damageGiven;
    std::optional<Interval> time;
};
RunIntervals runIntervals(const RunTotals& totals, const RunSquares& squares, FightMode mode,
                          std::int64_t fights);

}  // namespace skarn::analysis
