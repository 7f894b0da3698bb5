#include "analysis/interval.h"

#include <algorithm>
#include <cmath>

namespace skarn::analysis {

Interval wilsonPercent(double successes, std::int64_t n) {
    const double count = static_cast<double>(n);
    const double p = successes / count;
    const double z2 = kZ95 * kZ95;
    const double centre = (p + z2 / (2.0 * count)) / (1.0 + z2 / count);
    const double half =
        kZ95 * std::sqrt(p * (1.0 - p) / count + z2 / (4.0 * count * count)) / (1.0 + z2 / count);
    Interval interval{100.0 * p, 100.0 * std::max(0.0, centre - half),
                      100.0 * std::min(1.0, centre + half)};
    // The bounds are exactly 0 and 1 at the extremes; rounding would leave
    // them a hair inside, which reads as doubt where there is none.
    if (successes <= 0.0) interval.low = 0.0;
    if (successes >= count) interval.high = 100.0;
    return interval;
}

std::optional<Interval> meanInterval(double sum, double sumOfSquares, std::int64_t n,
                                     double scale) {
    if (n < 2) return std::nullopt;
    const double count = static_cast<double>(n);
    const double mean = sum / count;
    // Rounding can make the difference slightly negative for samples that
    // barely vary.
    const double variance = std::max(0.0, (sumOfSquares - sum * mean) / (count - 1.0));
    const double half = kZ95 * std::sqrt(variance / count);
    return Interval{mean * scale, (mean - half) * scale, (mean + half) * scale};
}

RunIntervals runIntervals(const RunTotals& totals, const RunSquares& squares, FightMode mode,
                          std::int64_t fights) {
    RunIntervals intervals;
    if (mode == ToTheDeath) intervals.winPercent = wilsonPercent(totals.winCount, fights);
    intervals.damageTaken = meanInterval(totals.damageTakenSum, squares.damageTakenSq, fights);
    intervals.damageGiven = meanInterval(totals.damageGivenSum, squares.damageGivenSq, fights);
    if (mode == DamagePer60Seconds) {
        intervals.time = Interval{60.0, 60.0, 60.0};
    } else {
        intervals.time = meanInterval(totals.tickSum, squares.tickSq, fights, 0.01);
    }
    return intervals;
}

}  // namespace skarn::analysis
