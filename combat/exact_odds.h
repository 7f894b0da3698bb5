#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "combat/combatant.h"
#include "combat/fight.h"

// The exact odds of a fight: what runFights would average over infinitely
// many fights, worked out from the laws of the swings instead of sampled.
//
// A side's swings fall on fixed ticks, and each swing does an independent
// amount of damage (0 on a miss), so the swing on which each side's damage
// first reaches the other's hit points has a law that a truncated
// convolution gives, and the stop rule of the mode combines the two sides.
// The draws are taken as independent, each following the generator's exact
// marginal law (see combat/swing_law.h); consecutive draws of the real
// generator are not quite independent, so a long seeded run drifts from
// these figures by about 1e-5 to 3e-4 relative (see the README).
//
// The engine uses no transcendental function, so every platform gives the
// same bits.
namespace skarn {

// One result of a fight: its mean and its standard deviation over fights.
struct ExactFigure {
    double mean = 0.0;
    double sd = 0.0;
};

// A value a result takes, and its probability.
struct ExactPoint {
    double value = 0.0;
    double probability = 0.0;
};

// The law of a result: its values in increasing order, each with a
// probability above 0. The probabilities add up to 1 less at most
// ExactOdds::unaccounted (and rounding, below 1e-12).
using ExactLaw = std::vector<ExactPoint>;

// The exact counterpart of a run's results, per fight.
struct ExactOdds {
    FightMode mode = DamagePer60Seconds;
    // In percent; only ToTheDeath counts wins.
    std::optional<ExactFigure> winPercent;
    ExactFigure damageTaken;  // by the You side
    ExactFigure damageGiven;  // by the You side, i.e. taken by the Opponent
    ExactFigure time;         // in seconds, not truncated
    ExactLaw timeLaw;         // in seconds
    ExactLaw damageTakenLaw;
    ExactLaw damageGivenLaw;
    // The probability the engine did not follow: fights longer than it
    // followed (it stops below 1e-16 still standing), the far tails it
    // trimmed along the way (below 1e-21 a step) and the roundings of its
    // steps. About 1e-15; up to about 1e-14 for fights of 10^5 swings. Each
    // law adds up to 1 less at most this.
    double unaccounted = 0.0;
    // The multiply-adds it took: the same for the same input on every
    // machine (compare exactOddsWork).
    double work = 0.0;
};

// The engine's work for one matchup: what it is estimated to be, in
// multiply-adds, and the most it takes on.
struct ExactOddsLimit {
    double work = 0.0;
    double most = 0.0;

    // One sentence for the user, e.g. "Exact odds would take too long
    // (about 2.1e9 steps, at most 4.0e8)."
    std::string message() const;
};

// The work exactOdds is expected to do for these fighters, in
// multiply-adds, worked out from their statistics alone (no clock), so the
// same input takes the same path on every machine: their swing laws, then
// the number of landed blows and of swings the engine follows and the
// widths of the laws it steps, at about ten standard deviations past the
// mean. It takes microseconds (milliseconds for a hundred dice or more).
// Past the estimate, exactOdds takes about 0.8 ns a multiply-add on the
// development machine (a 2-core AMD EPYC).
// REQUIRES: the values are within the run limits (combat/fight.h).
double exactOddsWork(const Combatant& you, const Combatant& opponent, std::int32_t yourHitPoints,
                     std::int32_t oppHitPoints, FightMode mode);

// The limit when exactOddsWork is past what the engine takes on (8e8
// multiply-adds, about half a second), or nothing when exactOdds will
// answer. With statistics in their ranges (Str. and Dex. 0 to 400, A.R. 0
// to 100, the others 0 to 300) and the example files' weapons,
// "Find damage per 60 seconds" always passes, "Fight to the death" up to a
// few thousand hit points (2% declined at 10,000), and "Fight to the death
// of the opponent" all but 0.4% at 300 hit points (16% at 10,000): a
// hopeless You, whose fight lasts hours while the Opponent's thousands of
// blows pile up into a law of tens of thousands of values. Blows of 1 point
// against 10,000 hit points on both sides pass at any hit chance; a hundred
// dice of a hundred sides and hit points of 10^5 and more mostly do not.
// REQUIRES: as exactOddsWork.
std::optional<ExactOddsLimit> findExactOddsLimit(const Combatant& you, const Combatant& opponent,
                                                 std::int32_t yourHitPoints,
                                                 std::int32_t oppHitPoints, FightMode mode);

// The exact odds of `you` against `opponent` under the stop rule of `mode`,
// with the inputs runFights takes: the statistics as copied in (before
// setSwingDelay / setHitSkill; weaponSkill stands for hitSkill), the
// shieldIndex of each, the hit points the mode uses. Nothing when
// findExactOddsLimit gives a limit, and also, should the estimate have
// fallen short by half, when the work done passes 1.2e9 multiply-adds
// (counted, not timed: again the same on every machine); the caller then
// samples instead. The fighters are not changed, no generator is used, and
// nothing is shared: several threads may call it at once.
// REQUIRES: the values are within the run limits (combat/fight.h).
std::optional<ExactOdds> exactOdds(const Combatant& you, const Combatant& opponent,
                                   std::int32_t yourHitPoints, std::int32_t oppHitPoints,
                                   FightMode mode);

// The smallest value of `law` whose cumulative probability reaches
// `fraction` (0 to 1), within 1e-12 so that rounding cannot move a
// percentile off a value where it falls exactly; the last value when the
// law never reaches it (its unaccounted part).
// REQUIRES: law is not empty.
double percentile(const ExactLaw& law, double fraction);

}  // namespace skarn
