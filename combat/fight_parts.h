#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "combat/combatant.h"
#include "combat/exact_odds.h"
#include "combat/fight.h"

// The exact odds in parts that a search caches and combines.
//
// exactOdds follows each side's blows to the other's fall and combines the
// two sides by the mode's stop rule. Each side's part depends on few of the
// fighters' values, so a search over thousands of fighters that differ in a
// few statistics (where to spend points, which gear against whom) builds
// each part once and combines two cached parts per fight: microseconds
// instead of a whole exactOdds.
//
// A side's part, the blows of an attacker at a defender, comes in three
// levels, each cached by exactly what it depends on:
// - the blow law: the attacker's Str., Tactics, dice count, dice sides and
//   damage bonus; the defender's A.R. (its half), whether it carries a
//   shield and, when it does, the shield's absorb and its Parry (its parry
//   bound, Parry / 2 up to 100);
// - the first passage in landed blows: the blow law and the defender's hit
//   points;
// - the first passage in swings: that and the hit chance, which depends on
//   the two W. Skills through the hit bound.
// The ticks of a side's swings depend on its weapon speed and Dex. alone and
// need no cache. Which parts a fight needs depends on the mode:
// "Find damage per 60 seconds" and a fight stopped on tick 0 (hit points of
// 0 or less) only the two blow laws; "to the death of the opponent" the
// You side's passage and the Opponent's blow law; "to the death" both
// passages.
//
// So for one opponent, the You side's blows depend on its Str., Tactics and
// W. Skill (and weapon), the blows it takes on its A.R., Parry, W. Skill
// (and shield) and its hit points, and its Dex. on nothing cached.
namespace skarn {

// The expected results of a fight, per fight: those of exactOdds for the
// same input, within 1e-12 relative. They differ only in roundings and in
// chances below 1e-16 that exactOdds leaves unfollowed and the parts follow,
// which may show in a win % of almost nothing (1e-14 percent points at
// most). No spreads, laws or percentiles: what the searches rank by.
struct ExactMeans {
    FightMode mode = DamagePer60Seconds;
    std::optional<double> winPercent;  // in percent; only ToTheDeath counts wins
    double damageTaken = 0.0;          // by the You side
    double damageGiven = 0.0;          // by the You side, i.e. taken by the Opponent
    double time = 0.0;                 // in seconds, not truncated
};

// How many parts of each level have been built.
struct PartCounts {
    std::int64_t blowLaws = 0;
    std::int64_t hitPassages = 0;
    std::int64_t swingPassages = 0;
};

// A cache of the parts of the exact odds, for a search. Every function may
// be called from several threads at once: each part is built once, by the
// first thread that needs it, while the others needing it wait. Parts are
// kept until the object goes; a search over one opponent keeps some
// thousands (tens of megabytes).
//
// The inputs are those of exactOdds: the statistics as copied in (before
// setSwingDelay / setHitSkill; weaponSkill stands for hitSkill), the
// shieldIndex of each, the hit points the mode uses, all within the run
// limits (combat/fight.h).
class ExactParts {
public:
    ExactParts();
    ~ExactParts();
    ExactParts(const ExactParts&) = delete;
    ExactParts& operator=(const ExactParts&) = delete;

    // The limit when the parts this fight needs, and their combination, are
    // estimated past what the engine takes on (the bound of
    // findExactOddsLimit), or nothing when means() will answer. Worked out
    // from the fighters alone, never a clock: the same on every machine,
    // whatever is cached. Each part's estimate counts in full even when it is
    // cached, so the answer does not depend on what was asked before. Builds
    // only blow laws (microseconds each); passages are only planned, and
    // their estimates count towards plannedWork.
    // A search calls it for every fight it will ask means() for, and
    // refuses up front when any has a limit. It declines less often than
    // findExactOddsLimit: the means need no law of the damage, so the
    // hopeless fights "to the death of the opponent" whose Opponent's
    // thousands of blows exactOdds declines to add up are answered (about a
    // tenth of generated fights in that mode with up to 10,000 hit points).
    // In "Fight to the death" it counts both passages in full, where
    // exactOdds follows the side that falls later only as long as the other
    // may stand, so it could decline a fight that exactOdds answers; none of
    // a thousand generated fights of up to 10,000 hit points is.
    std::optional<ExactOddsLimit> limit(const Combatant& you, const Combatant& opponent,
                                        std::int32_t yourHitPoints, std::int32_t oppHitPoints,
                                        FightMode mode);

    // The expected results of the fight from cached parts, building those
    // missing. Nothing when limit() gives a limit, or, should a part's
    // estimate have fallen short by half, when building it passes 1.2e9
    // multiply-adds (counted, the same on every machine).
    std::optional<ExactMeans> means(const Combatant& you, const Combatant& opponent,
                                    std::int32_t yourHitPoints, std::int32_t oppHitPoints,
                                    FightMode mode);

    // The estimated work, in multiply-adds (about 0.8 ns each on the
    // development machine, a 2-core AMD EPYC), of every part that limit() or
    // means() has met, each counted once, plus the combination of every
    // fight limit() was asked about: after limit() for every fight of a
    // search, what answering them all costs from an empty cache. Summed in
    // whole steps, so it is the same for any order and number of threads.
    double plannedWork() const;

    // The parts built so far.
    PartCounts built() const;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace skarn
