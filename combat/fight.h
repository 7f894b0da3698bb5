#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "combat/combatant.h"
#include "combat/random.h"

namespace skarn {

// The stop rule of a fight.
enum FightMode : std::int32_t {
    DamagePer60Seconds = 0,  // stop after tick 6000; no wins counted
    ToDeathOfOpponent = 1,   // stop when the Opponent's damage reaches its hit points
    ToTheDeath = 2,          // stop when either falls; the Opponent's fall is a win
};

// The caller-owned sums of a run.
struct RunTotals {
    double winCount = 0.0;
    double damageTakenSum = 0.0;
    double damageGivenSum = 0.0;
    double tickSum = 0.0;
};

// Per-fight sums of squares, for confidence intervals. Optional.
struct RunSquares {
    double damageTakenSq = 0.0;
    double damageGivenSq = 0.0;
    double tickSq = 0.0;
};

// The four numbers of the Results dialog, cut (not rounded).
struct RunResults {
    double resultDamageGiven = 0.0;
    double resultDamageTaken = 0.0;
    double resultTime = 0.0;
    double resultWinPercent = 0.0;
};

// Called once after each fight with (100 * f) / N, f counted from 0.
using ProgressCallback = std::function<void(int)>;

// A reason a pair of fighters may not be run: the side ("You" or
// "Opponent", empty for the run as a whole), the value's name, the value and
// the range it must lie in.
struct RunFault {
    std::string side;
    std::string field;
    std::int64_t value = 0;
    std::int64_t low = 0;
    std::int64_t high = 0;

    // One sentence for the user, e.g.
    // "Opponent: weapon speed 0 is out of range (1 to 1000)."
    std::string message() const;
};

// Checks the values runFights depends on, before it is called: non-zero
// divisors, products within 32 bits, fights that end within the limits.
// Returns the first fault found, or nothing when the run may go ahead.
// Statistics are read from the fighters as copied in by the caller (before
// setSwingDelay / setHitSkill).
std::optional<RunFault> findRunFault(const Combatant& you, const Combatant& opponent,
                                     std::int32_t yourHitPoints, std::int32_t oppHitPoints,
                                     FightMode mode, std::int64_t fights);

// Fights `fights` fights between the two fighters and returns the averages.
// Prepares both fighters (swing delay, hit skill), resets the totals, and
// reports progress after every fight. Changes both fighters, the totals and
// the generator.
// REQUIRES: findRunFault(...) returns nothing; 1 <= fights <= 10^9.
RunResults runFights(Combatant& you, Combatant& opponent, std::int32_t yourHitPoints,
                     std::int32_t oppHitPoints, FightMode mode, std::int64_t fights,
                     RunTotals& totals, const ProgressCallback& progress = {},
                     Random& rng = globalRandom(), RunSquares* squares = nullptr);

// The four averages of a run from its totals: damages cut to one decimal,
// win % as winCount * 100 / fights cut to one decimal, time in whole seconds.
// REQUIRES: fights >= 1.
RunResults resultsOf(const RunTotals& totals, std::int64_t fights);

// x cut toward zero to `digits` decimals (at most 9): 66.666 -> 66.6,
// -2.57 -> -2.5.
double truncateTo(double x, int digits);

}  // namespace skarn
