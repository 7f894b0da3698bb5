#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "combat/combatant.h"
#include "combat/random.h"

// Everything here runs on the calling thread and keeps no state of its own:
// several threads may call it at once on fighters, totals and generators of
// their own, and share one PreparedFights.
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

// The four averages of a run, cut (not rounded).
struct RunResults {
    double resultDamageGiven = 0.0;
    double resultDamageTaken = 0.0;
    double resultTime = 0.0;
    double resultWinPercent = 0.0;
};

// Called once after each fight with (100 * f) / N, f counted from 0.
using ProgressCallback = std::function<void(int)>;

// The values runFights, PreparedFights and the estimates below are made for
// (their "run limits"): the fight mode is 0, 1 or 2; there are 1 to 10^9
// fights; each fighter's Str. and Dex. lie in 0..400, A.R. in 0..100,
// W. Skill, Tactics and Parry in 0..300, weapon speed in 1..10000, dice
// count in 0..1000, dice sides in 1..1000 (when there are dice), damage
// bonus and (with a shield) shield absorb in -100000..100000; and the hit
// points the stop rule uses (the Opponent's in modes 1 and 2, the You side's
// in mode 2) lie in -1000000..1000000. Within them no divisor is zero and
// every product and conversion stays within 32 bits. Statistics are read as
// copied in, before setSwingDelay / setHitSkill.

// An estimate, on the generous side, of the time runFights takes for one
// fight of these fighters, in microseconds of the development machine (a
// 2-core AMD EPYC): the expected swings of both fighters until the stop rule
// holds, their landed blows and dice, each at the top of its measured cost.
// bench_run_limits checks it against hundreds of random pairs. A run of N
// fights also spends some tens of microseconds setting up, whatever N.
// REQUIRES: the values are within the run limits.
double expectedFightMicroseconds(const Combatant& you, const Combatant& opponent,
                                 std::int32_t yourHitPoints, std::int32_t oppHitPoints,
                                 FightMode mode);

// An estimate, on the generous side as expectedFightMicroseconds is, of the
// draws from the generator that one fight of these fighters takes: over the
// same expected swings, each swing's draw to hit and a landed blow's draws.
// REQUIRES: the values are within the run limits.
double expectedFightDraws(const Combatant& you, const Combatant& opponent,
                          std::int32_t yourHitPoints, std::int32_t oppHitPoints, FightMode mode);

// What expectedFightMicroseconds takes for the length of a fight: 6000 ticks
// in mode 0; otherwise a bound, never below the expected number of the
// fight's last tick, from the hit chances and the least mean and the most of
// the blows.
// REQUIRES: the values are within the run limits.
double expectedFightTicks(const Combatant& you, const Combatant& opponent,
                          std::int32_t yourHitPoints, std::int32_t oppHitPoints, FightMode mode);

// Fights `fights` fights between the two fighters and returns the averages.
// Every roll is drawn from `rng`, from its current state on, one fight after
// the other. Prepares both fighters (swing delay, hit skill), resets the
// totals, and calls `progress` (unless empty) after every fight, with the
// fighters and `rng` as that fight left them. Changes both fighters, the
// totals and `rng` exactly as fighting every tick of every fight would,
// but visits only the ticks on which a swing is due. Fight lengths are
// counted in 64 bits. `squares`, when given, receives the per-fight sums of
// squares.
// REQUIRES: the values are within the run limits; `you` and `opponent` are
// two distinct fighters.
RunResults runFights(Combatant& you, Combatant& opponent, std::int32_t yourHitPoints,
                     std::int32_t oppHitPoints, FightMode mode, std::int64_t fights,
                     RunTotals& totals, const ProgressCallback& progress, Random& rng,
                     RunSquares* squares = nullptr);

// How one fight ended.
struct FightEnd {
    std::int64_t length = 0;  // the tick on which it stopped
    double yourDamage = 0.0;  // damage the You side took
    double oppDamage = 0.0;   // damage the Opponent took: the damage You gave
    bool won = false;         // in mode ToTheDeath, the Opponent fell (a win)
};

// Two fighters with everything that stays fixed while they fight worked out
// once: their swing delays and hit skills, the order of a 60-second fight's
// swings, the tables of their blows. Fights can then start from any
// generator state, with the loop runFights uses and at the same cost per
// fight. The object is not changed by fighting, so several threads may fight
// with one at the same time.
class PreparedFights {
public:
    // Copies the fighters' statistics (before setSwingDelay / setHitSkill).
    // `fights` is about how many fights will be fought; it only decides
    // which tables repay their making.
    // REQUIRES: the values are within the run limits.
    PreparedFights(const Combatant& you, const Combatant& opponent, std::int32_t yourHitPoints,
                   std::int32_t oppHitPoints, FightMode mode, std::int64_t fights);
    ~PreparedFights();
    PreparedFights(PreparedFights&&) noexcept;
    PreparedFights& operator=(PreparedFights&&) noexcept;

    // Fights one fight for each k, fight k from generator state starts[k],
    // and writes its end to ends[k]. The draws of fight k are those runFights
    // would make for a fight that begins at that state.
    // REQUIRES: starts.size() == ends.size().
    void fight(std::span<const std::uint32_t> starts, std::span<FightEnd> ends) const;

    // Fights ends.size() fights one after the other, as runFights does: the
    // first from `state`, each further one from where the one before left
    // the generator. `state` ends as the last fight leaves it.
    void fightChain(std::uint32_t& state, std::span<FightEnd> ends) const;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

// The four averages of a run from its totals: damages cut to one decimal,
// win % as winCount * 100 / fights cut to one decimal, time in whole seconds.
// REQUIRES: fights >= 1.
RunResults resultsOf(const RunTotals& totals, std::int64_t fights);

// x cut toward zero to `digits` decimals (at most 9): 66.666 -> 66.6,
// -2.57 -> -2.5.
double truncateTo(double x, int digits);

}  // namespace skarn
