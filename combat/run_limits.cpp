#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

#include "combat/fight.h"

namespace skarn {

namespace {

constexpr std::int64_t kMaxFights = 1'000'000'000;
constexpr double kSixtySecondLastTick = 6000.0;

// The cost of a fight, in nanoseconds of runFights on the development machine
// (a 2-core AMD EPYC, measured with bench_combat and longer runs): a swing in
// a 60-second fight; a swing in the other modes, and the extra when the branch
// predictor gets its hit roll wrong; a landed swing apart from its dice; a
// die; and the fight itself.
constexpr double kSixtySecondSwingNs = 6.0;
constexpr double kSwingNs = 3.0;
constexpr double kMispredictNs = 7.5;
constexpr double kHitNs = 2.0;
constexpr double kDieNs = 0.8;
constexpr double kFightNs = 100.0;

// The longest a fight may be expected to take: 2187 fights in about 5.5
// seconds. The longest fights the main window's values can give, with weapons
// up to speed 200 and 100 dice, bonuses of up to 1000 and 10,000 hit points,
// are estimated at 2.12 ms and take 1.6 ms (mode 2: one side landing 8 swings
// in 101 and the other every swing, 10,000 blows of 1 from 100 dice each,
// their swing delays balanced so that neither falls first).
constexpr double kMaxFightNs = 2'500'000.0;

struct Range {
    const char* field;
    std::int64_t low;
    std::int64_t high;
};

double periodOf(const Combatant& c) {
    return std::max(1, 1500000 / (c.weaponSpeed * (c.dexterity + 100)));
}

// The chance that a swing of `a` lands on `d`: it lands when draw % 101 is at
// most `chance`.
double hitChance(const Combatant& a, const Combatant& d) {
    const std::int32_t chance = ((a.weaponSkill + 50) * 50) / (d.weaponSkill + 50);
    return (std::clamp(chance, -1, 100) + 1) / 101.0;
}

// A lower bound of the mean blow of `a` on `d`. Every step of a blow is
// linear in the draws except the cuts toward zero, each of which takes off
// less than 1, and the final floor of 1, which can only raise the mean; so the
// linear part at the mean draws, less the most the cuts can take, is at most
// the mean blow.
double meanBlowAtLeast(const Combatant& a, const Combatant& d) {
    const double meanSum = a.diceCount > 0 ? a.diceCount * (a.diceSides + 1) / 2.0 : 0.0;
    const double strength = a.strength * 0.002 + 1.0;
    const double tactics = (a.tactics + 50) * 0.01;
    double dmg = (meanSum + a.damageBonus) * strength * tactics - tactics - 1.0;
    if (d.shieldIndex >= 0) dmg -= (std::clamp(d.parry / 2, -1, 100) + 1) / 101.0 * d.shieldAbsorb;
    const double h = d.armorRating / 2;
    return std::max(1.0, (dmg - h - h / 2.0) / 2.0 - 1.0);
}

// The expected ticks until `a` brings `d` to `hitPoints`, or a little more:
// the blows needed, plus one for the last blow's overshoot, each taking
// 1 / chance swings.
double ticksToFell(const Combatant& a, const Combatant& d, std::int32_t hitPoints) {
    if (hitPoints <= 0) return 0.0;
    const double blows = hitPoints / meanBlowAtLeast(a, d) + 1.0;
    return blows / hitChance(a, d) * periodOf(a);
}

// The expected cost of the swings `a` takes at `d` in ticks 0 to `ticks`.
double swingsCost(const Combatant& a, const Combatant& d, double ticks, FightMode mode) {
    const double swings = std::floor(ticks / periodOf(a)) + 1.0;
    const double p = hitChance(a, d);
    const double swing = mode == DamagePer60Seconds
                             ? kSixtySecondSwingNs
                             : kSwingNs + kMispredictNs * std::min(p, 1.0 - p);
    return swings * (swing + p * (kHitNs + kDieNs * std::max(0, a.diceCount)));
}

std::optional<RunFault> checkSide(const Combatant& c, const char* side) {
    const Range ranges[] = {
        {"Str.", 0, 400},           {"Dex.", 0, 400},         {"A.R.", 0, 100},
        {"W. Skill", 0, 300},       {"Tactics", 0, 300},      {"Parry", 0, 300},
        {"weapon speed", 1, 10000}, {"dice count", 0, 1000},
    };
    const std::int64_t values[] = {c.strength, c.dexterity, c.armorRating, c.weaponSkill,
                                   c.tactics,  c.parry,     c.weaponSpeed, c.diceCount};
    for (std::size_t i = 0; i < std::size(ranges); ++i) {
        if (values[i] < ranges[i].low || values[i] > ranges[i].high)
            return RunFault{side, ranges[i].field, values[i], ranges[i].low, ranges[i].high};
    }
    if (c.diceCount > 0 && (c.diceSides < 1 || c.diceSides > 1000))
        return RunFault{side, "dice sides", c.diceSides, 1, 1000};
    if (c.damageBonus < -100000 || c.damageBonus > 100000)
        return RunFault{side, "damage bonus", c.damageBonus, -100000, 100000};
    if (c.shieldIndex >= 0 && (c.shieldAbsorb < -100000 || c.shieldAbsorb > 100000))
        return RunFault{side, "shield absorb", c.shieldAbsorb, -100000, 100000};
    return std::nullopt;
}

std::optional<RunFault> checkHitPoints(std::int32_t hitPoints, const char* side) {
    if (hitPoints < -1000000 || hitPoints > 1000000)
        return RunFault{side, "hit points", hitPoints, -1000000, 1000000};
    return std::nullopt;
}

}  // namespace

std::string RunFault::message() const {
    std::string text;
    if (!side.empty()) text = side + ": ";
    if (tooLong) {
        char figures[96];
        std::snprintf(figures, sizeof figures, "about %.1f ms each, at most %.1f ms",
                      static_cast<double>(value) / 1000.0, static_cast<double>(high) / 1000.0);
        return text + "Fights would last too long (" + figures + ").";
    }
    return text + field + " " + std::to_string(value) + " is out of range (" +
           std::to_string(low) + " to " + std::to_string(high) + ").";
}

double expectedFightMicroseconds(const Combatant& you, const Combatant& opponent,
                                 std::int32_t yourHitPoints, std::int32_t oppHitPoints,
                                 FightMode mode) {
    double ticks = kSixtySecondLastTick;
    if (mode == ToDeathOfOpponent) {
        ticks = ticksToFell(you, opponent, oppHitPoints);
    } else if (mode == ToTheDeath) {
        // The expected end of the shorter of two races comes no later than the
        // shorter of their expected ends.
        ticks = std::min(ticksToFell(you, opponent, oppHitPoints),
                         ticksToFell(opponent, you, yourHitPoints));
    }
    const double ns = kFightNs + swingsCost(you, opponent, ticks, mode) +
                      swingsCost(opponent, you, ticks, mode);
    return ns / 1000.0;
}

std::optional<RunFault> findRunFault(const Combatant& you, const Combatant& opponent,
                                     std::int32_t yourHitPoints, std::int32_t oppHitPoints,
                                     FightMode mode, std::int64_t fights) {
    if (mode < DamagePer60Seconds || mode > ToTheDeath)
        return RunFault{"", "fight mode", mode, 0, 2};
    if (fights < 1 || fights > kMaxFights)
        return RunFault{"", "number of fights", fights, 1, kMaxFights};
    if (auto fault = checkSide(you, "You")) return fault;
    if (auto fault = checkSide(opponent, "Opponent")) return fault;
    if (mode == ToTheDeath) {
        if (auto fault = checkHitPoints(yourHitPoints, "You")) return fault;
    }
    if (mode != DamagePer60Seconds) {
        if (auto fault = checkHitPoints(oppHitPoints, "Opponent")) return fault;
    }

    const double us = expectedFightMicroseconds(you, opponent, yourHitPoints, oppHitPoints, mode);
    const double maxUs = kMaxFightNs / 1000.0;
    if (us > maxUs) {
        RunFault fault{"", "expected time per fight", 0, 0, static_cast<std::int64_t>(maxUs)};
        fault.value = static_cast<std::int64_t>(std::min(us, 1e15));
        fault.tooLong = true;
        return fault;
    }
    return std::nullopt;
}

}  // namespace skarn
