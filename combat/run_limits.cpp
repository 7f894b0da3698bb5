#include <algorithm>
#include <cmath>

#include "combat/blow.h"
#include "combat/fight.h"

namespace skarn {

namespace {

constexpr double kSixtySecondLastTick = 6000.0;

// The cost of a fight, in nanoseconds of runFights on the development machine
// (a 2-core AMD EPYC): the fight itself; in a 60-second fight, a swing, a
// landed swing apart from its dice, a die, a parry roll, and the scaling of a
// blow whose dice have too many sums to tabulate; in the other modes the
// same, and the extra when the branch predictor gets a hit roll wrong.
// They are fitted to the top of bench_run_limits' measurements of hundreds
// of random pairs in every mode, then raised by a third (by a half in
// 60-second fights), since pairs with the same counts of swings, blows and
// dice differ in time by that much (caches, the branch predictor, another
// program on the machine); a die, whose cost varies least, by a sixth (a
// third). A few fights also pay for the tables runFights sets up for a run,
// which kSetUpNs covers.
constexpr double kSixtySecondFightNs = 14.3;
constexpr double kSixtySecondSwingNs = 6.6;
constexpr double kSixtySecondHitNs = 6.5;
constexpr double kSixtySecondDieNs = 1.2;
constexpr double kSixtySecondParryNs = 2.6;
constexpr double kSixtySecondScaleNs = 8.3;
constexpr double kFightNs = 10.8;
constexpr double kSwingNs = 4.2;
constexpr double kMispredictNs = 11.9;
constexpr double kHitNs = 4.6;
constexpr double kDieNs = 1.0;
constexpr double kParryNs = 2.8;
constexpr double kScaleNs = 5.4;
constexpr double kSetUpNs = 30.0;
// runFights tabulates the blows of up to this many dice sums.
constexpr std::int64_t kTabulatedSums = 4096;

double periodOf(const Combatant& c) {
    return std::max(1, 1500000 / (c.weaponSpeed * (c.dexterity + 100)));
}

// The chance that a swing of `a` lands on `d`: it lands when draw % 101 is at
// most `chance`.
double hitChance(const Combatant& a, const Combatant& d) {
    const std::int32_t chance = blow::hitBound(a.weaponSkill, d.weaponSkill);
    return (std::clamp(chance, -1, 100) + 1) / 101.0;
}

// The chance that `d` parries a blow with its shield (0 without one).
double parryChance(const Combatant& d) {
    return d.shieldIndex >= 0 ? (std::clamp(blow::parryBound(d.parry), -1, 100) + 1) / 101.0 : 0.0;
}

// Bounds of the blows of `a` on `d`, parried or not: what the mean blow is at
// least, and what no blow exceeds. Every step of a blow is linear in the
// draws except the cuts toward zero, each of which moves a value by less
// than 1, and the floor of 1, which can only raise a blow; so the linear
// part at the mean draws, less the most the cuts can take, is at most the
// mean blow, and the linear part at the highest draws, plus what the cuts
// can add, is at least the highest.
struct BlowBounds {
    double meanAtLeast;
    double most;
};

BlowBounds blowBounds(const Combatant& a, const Combatant& d, bool parried) {
    const double dice = std::max(0, a.diceCount);
    const double meanSum = dice * (a.diceSides + 1) / 2.0;
    const double highSum = dice * a.diceSides;
    const double strength = blow::strengthFactor(a.strength);
    const double tactics = blow::tacticsFactor(a.tactics);
    const double absorb = parried ? d.shieldAbsorb : 0.0;
    const double h = blow::halfArmor(d.armorRating);
    const double mean =
        ((meanSum + a.damageBonus) * strength * tactics - tactics - 1.0 - absorb - h - h / 2.0) / 2.0 -
        1.0;
    const double high =
        ((highSum + a.damageBonus) * strength * tactics + tactics + 1.0 - absorb - h) / 2.0 + 1.0;
    return {std::max(1.0, mean), std::max(1.0, high)};
}

// The expected ticks until `a` brings `d` to `hitPoints`, or more. With blows
// cut at the hit points (which can only make the count larger), the blows
// landed until the fall, times their mean, add up to less than the hit
// points plus the last blow (Wald's identity), and each landed blow takes
// 1 / chance swings. A blow's mean cut at the hit points is at least its
// mean times hitPoints / (its highest value), and at least 1.
double ticksToFell(const Combatant& a, const Combatant& d, std::int32_t hitPoints) {
    if (hitPoints <= 0) return 0.0;
    const double hp = hitPoints;
    const double q = parryChance(d);
    double meanCut = 0.0;
    double most = 0.0;
    for (const bool parried : {false, true}) {
        const double weight = parried ? q : 1.0 - q;
        if (weight <= 0.0) continue;
        const BlowBounds b = blowBounds(a, d, parried);
        meanCut += weight * std::max(1.0, b.meanAtLeast * std::min(1.0, hp / b.most));
        most = std::max(most, b.most);
    }
    const double blows = (hp + std::min(most, hp)) / meanCut;
    return blows / hitChance(a, d) * periodOf(a);
}

// The swings `a` takes in ticks 0 to `ticks`: exactly in mode 0, else one
// more than their expected number.
double swingsIn(const Combatant& a, double ticks, FightMode mode) {
    return mode == DamagePer60Seconds ? std::floor((ticks + 1.0) / periodOf(a))
                                      : ticks / periodOf(a) + 1.0;
}

// The expected draws of the swings `a` takes at `d` in ticks 0 to `ticks`:
// one to hit; a landed one takes one more, its dice, the parry when `d`
// carries a shield, and the armour.
double swingsDraws(const Combatant& a, const Combatant& d, double ticks, FightMode mode) {
    const double landed = 2.0 + std::max(0, a.diceCount) + (d.shieldIndex >= 0 ? 1.0 : 0.0);
    return swingsIn(a, ticks, mode) * (1.0 + hitChance(a, d) * landed);
}

// The expected cost of the swings `a` takes at `d` in ticks 0 to `ticks`.
double swingsCost(const Combatant& a, const Combatant& d, double ticks, FightMode mode) {
    const double swings = swingsIn(a, ticks, mode);
    const double p = hitChance(a, d);
    const bool tabulated =
        a.diceCount <= 0 || std::int64_t{a.diceCount} * (a.diceSides - 1) + 1 <= kTabulatedSums;
    const double dice = std::max(0, a.diceCount);
    const bool shield = d.shieldIndex >= 0;
    if (mode == DamagePer60Seconds) {
        const double hit = kSixtySecondHitNs + kSixtySecondDieNs * dice +
                           (shield ? kSixtySecondParryNs : 0.0) +
                           (tabulated ? 0.0 : kSixtySecondScaleNs);
        return swings * (kSixtySecondSwingNs + p * hit);
    }
    const double hit =
        kHitNs + kDieNs * dice + (shield ? kParryNs : 0.0) + (tabulated ? 0.0 : kScaleNs);
    return swings * (kSwingNs + kMispredictNs * std::min(p, 1.0 - p) + p * hit);
}

}  // namespace

double expectedFightTicks(const Combatant& you, const Combatant& opponent,
                          std::int32_t yourHitPoints, std::int32_t oppHitPoints, FightMode mode) {
    if (mode == ToDeathOfOpponent) return ticksToFell(you, opponent, oppHitPoints);
    if (mode == ToTheDeath) {
        // The expected end of the shorter of two races comes no later than the
        // shorter of their expected ends.
        return std::min(ticksToFell(you, opponent, oppHitPoints),
                        ticksToFell(opponent, you, yourHitPoints));
    }
    return kSixtySecondLastTick;
}

double expectedFightMicroseconds(const Combatant& you, const Combatant& opponent,
                                 std::int32_t yourHitPoints, std::int32_t oppHitPoints,
                                 FightMode mode) {
    const double ticks = expectedFightTicks(you, opponent, yourHitPoints, oppHitPoints, mode);
    const double fight = mode == DamagePer60Seconds ? kSixtySecondFightNs : kFightNs;
    const double ns = fight + swingsCost(you, opponent, ticks, mode) +
                      swingsCost(opponent, you, ticks, mode);
    return (ns + kSetUpNs) / 1000.0;
}

double expectedFightDraws(const Combatant& you, const Combatant& opponent,
                          std::int32_t yourHitPoints, std::int32_t oppHitPoints, FightMode mode) {
    const double ticks = expectedFightTicks(you, opponent, yourHitPoints, oppHitPoints, mode);
    return swingsDraws(you, opponent, ticks, mode) + swingsDraws(opponent, you, ticks, mode);
}

}  // namespace skarn
