#include "combat/fight.h"

#include <algorithm>
#include <cmath>

namespace skarn {

namespace {

constexpr std::int64_t kMaxFights = 1'000'000'000;
constexpr std::int64_t kSixtySeconds = 6000;  // ticks of mode 0

// Expected work of one fight (generator draws plus swings of both fighters),
// above which a run is refused, so that 2187 fights finish within seconds.
constexpr double kMaxExpectedWork = 1'000'000.0;

struct Range {
    const char* field;
    std::int64_t low;
    std::int64_t high;
};

std::int64_t period(std::int32_t swingDelay) { return std::max<std::int64_t>(1, swingDelay); }

std::int32_t swingDelayOf(const Combatant& c) {
    return 1500000 / (c.weaponSpeed * (c.dexterity + 100));
}

// Chance that a swing of `a` lands on `d`: r = draw % 101 lands when r <= chance.
double hitProbability(const Combatant& a, const Combatant& d) {
    const std::int32_t chance = ((a.weaponSkill + 50) * 50) / (d.weaponSkill + 50);
    return (std::min(chance, 100) + 1) / 101.0;
}

// A cautious estimate of the damage of one landed blow of `a` on `d`. The blow
// is max(1, x) with x almost linear in the dice, so taking x at the mean of
// its draws does not overstate it.
double expectedBlow(const Combatant& a, const Combatant& d) {
    const double meanSum = a.diceCount > 0 ? a.diceCount * (a.diceSides + 1) / 2.0 : 0.0;
    double dmg = (meanSum + a.damageBonus) * (1.0 + a.strength * 0.002) * ((a.tactics + 50) * 0.01);
    if (d.shieldIndex >= 0) {
        const double parried = (std::min(d.parry / 2, 100) + 1) / 101.0;
        dmg -= parried * d.shieldAbsorb;
    }
    const double h = d.armorRating / 2;
    return std::max(1.0, (dmg - h - h / 2.0) / 2.0);
}

// Expected ticks for `a` to bring `d` to `hitPoints`.
double ticksToFell(const Combatant& a, const Combatant& d, std::int32_t hitPoints) {
    if (hitPoints <= 0) return 0.0;
    const double swings = hitPoints / (hitProbability(a, d) * expectedBlow(a, d));
    return swings * static_cast<double>(period(swingDelayOf(a)));
}

// Expected draws plus one for the swing itself, per swing of `a` at `d`.
double workPerSwing(const Combatant& a, const Combatant& d) {
    const double landed = 1.0 + std::max(0, a.diceCount) + (d.shieldIndex >= 0 ? 1.0 : 0.0) + 1.0;
    return 2.0 + hitProbability(a, d) * landed;
}

std::optional<RunFault> checkSide(const Combatant& c, const char* side) {
    const Range ranges[] = {
        {"Str.", 0, 400},          {"Dex.", 0, 400},        {"A.R.", 0, 100},
        {"W. Skill", 0, 300},      {"Tactics", 0, 300},     {"Parry", 0, 300},
        {"weapon speed", 1, 1000}, {"dice count", 0, 1000},
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

// The fight loop. It visits only the ticks on which a swing is due: every
// other tick just counts both swing timers up, and neither the damage nor the
// stop rule can change there. A fighter with swing delay d swings on the
// ticks i with (i + 1) % max(d, 1) == 0, which is what calling tick() once per
// tick gives.
template <bool kSquares>
RunResults fight(Combatant& you, Combatant& opponent, std::int32_t yourHitPoints,
                 std::int32_t oppHitPoints, FightMode mode, std::int64_t fights,
                 RunTotals& totals, const ProgressCallback& progress, Random& rng,
                 RunSquares* squares) {
    opponent.setSwingDelay();
    you.setSwingDelay();
    opponent.setHitSkill();
    you.setHitSkill();
    totals = RunTotals{};

    const std::int64_t yourPeriod = period(you.swingDelay);
    const std::int64_t oppPeriod = period(opponent.swingDelay);
    const double yourHp = yourHitPoints;
    const double oppHp = oppHitPoints;

    const auto swing = [&rng](Combatant& attacker, Combatant& defender) {
        if (attacker.rollToHit(defender, rng)) attacker.dealDamage(attacker.rollDamage(rng));
    };
    const auto stopsNow = [&]() {
        if (mode == ToDeathOfOpponent) return opponent.damageTaken >= oppHp;
        if (mode == ToTheDeath) return opponent.damageTaken >= oppHp || you.damageTaken >= yourHp;
        return false;
    };

    for (std::int64_t f = 0; f < fights; ++f) {
        you.resetSwingTimer();
        opponent.resetSwingTimer();
        you.damageTaken = 0.0;
        opponent.damageTaken = 0.0;

        std::int64_t yourNext = yourPeriod - 1;
        std::int64_t oppNext = oppPeriod - 1;
        // When the rule already holds before any blow, the fight ends on tick 0
        // after that tick's swings.
        std::int64_t i = stopsNow() ? 0 : std::min(yourNext, oppNext);
        std::int64_t length = 0;
        for (;;) {
            if (mode == DamagePer60Seconds && i > kSixtySeconds) {
                length = kSixtySeconds;
                break;
            }
            if (i % 2 == 0) {
                if (yourNext == i) { swing(you, opponent); yourNext += yourPeriod; }
                if (oppNext == i) { swing(opponent, you); oppNext += oppPeriod; }
            } else {
                if (oppNext == i) { swing(opponent, you); oppNext += oppPeriod; }
                if (yourNext == i) { swing(you, opponent); yourNext += yourPeriod; }
            }
            if (mode == DamagePer60Seconds) {
                if (i >= kSixtySeconds) { length = i; break; }
            } else if (opponent.damageTaken >= oppHp) {
                if (mode == ToTheDeath) totals.winCount += 1.0;
                length = i;
                break;
            } else if (mode == ToTheDeath && you.damageTaken >= yourHp) {
                length = i;
                break;
            }
            i = std::min(yourNext, oppNext);
        }
        // Where the timers stand after the last tick, as if ticked one by one.
        you.swingTimer = static_cast<std::int32_t>((length + 1) % yourPeriod);
        opponent.swingTimer = static_cast<std::int32_t>((length + 1) % oppPeriod);

        const auto ticks = static_cast<double>(length);
        totals.tickSum += ticks;
        totals.damageGivenSum += opponent.damageTaken;
        totals.damageTakenSum += you.damageTaken;
        if constexpr (kSquares) {
            squares->tickSq += ticks * ticks;
            squares->damageGivenSq += opponent.damageTaken * opponent.damageTaken;
            squares->damageTakenSq += you.damageTaken * you.damageTaken;
        }
        if (progress) progress(static_cast<int>((100 * f) / fights));
    }

    const auto n = static_cast<double>(fights);
    RunResults results;
    results.resultDamageGiven = truncateTo(totals.damageGivenSum / n, 1);
    results.resultDamageTaken = truncateTo(totals.damageTakenSum / n, 1);
    results.resultWinPercent = truncateTo((totals.winCount * 100.0) / n, 1);
    results.resultTime = truncateTo(totals.tickSum / static_cast<double>(fights * 100), 0);
    return results;
}

}  // namespace

std::string RunFault::message() const {
    std::string text;
    if (!side.empty()) text = side + ": ";
    text += field + " " + std::to_string(value) + " is out of range (" + std::to_string(low) +
            " to " + std::to_string(high) + ").";
    return text;
}

std::optional<RunFault> findRunFault(const Combatant& you, const Combatant& opponent,
                                     std::int32_t yourHitPoints, std::int32_t oppHitPoints,
                                     FightMode mode, std::int64_t fights) {
    if (mode < DamagePer60Seconds || mode > ToTheDeath)
        return RunFault{"", "fight mode", mode, 0, 2};
    if (fights < 1 || fights > kMaxFights) return RunFault{"", "number of fights", fights, 1, kMaxFights};
    if (auto fault = checkSide(you, "You")) return fault;
    if (auto fault = checkSide(opponent, "Opponent")) return fault;
    if (mode == ToTheDeath) {
        if (auto fault = checkHitPoints(yourHitPoints, "You")) return fault;
    }
    if (mode != DamagePer60Seconds) {
        if (auto fault = checkHitPoints(oppHitPoints, "Opponent")) return fault;
    }

    double ticks = static_cast<double>(kSixtySeconds + 1);
    if (mode == ToDeathOfOpponent) {
        ticks = ticksToFell(you, opponent, oppHitPoints);
    } else if (mode == ToTheDeath) {
        ticks = std::min(ticksToFell(you, opponent, oppHitPoints),
                         ticksToFell(opponent, you, yourHitPoints));
    }
    const double work =
        ticks / static_cast<double>(period(swingDelayOf(you))) * workPerSwing(you, opponent) +
        ticks / static_cast<double>(period(swingDelayOf(opponent))) * workPerSwing(opponent, you);
    if (work > kMaxExpectedWork) {
        return RunFault{"", "expected work per fight", static_cast<std::int64_t>(work), 0,
                        static_cast<std::int64_t>(kMaxExpectedWork)};
    }
    return std::nullopt;
}

RunResults runFights(Combatant& you, Combatant& opponent, std::int32_t yourHitPoints,
                     std::int32_t oppHitPoints, FightMode mode, std::int64_t fights,
                     RunTotals& totals, const ProgressCallback& progress, Random& rng,
                     RunSquares* squares) {
    if (squares != nullptr) {
        return fight<true>(you, opponent, yourHitPoints, oppHitPoints, mode, fights, totals,
                           progress, rng, squares);
    }
    return fight<false>(you, opponent, yourHitPoints, oppHitPoints, mode, fights, totals,
                        progress, rng, nullptr);
}

double truncateTo(double x, int digits) {
    std::int32_t m = 1;
    for (int i = 0; i < std::min(digits, 9); ++i) m *= 10;
    const double scaled = x * m;
    // Within 32 bits this is the integer cut; beyond, the same cut in double.
    const double cut = (scaled > -2147483649.0 && scaled < 2147483648.0)
                           ? static_cast<double>(static_cast<std::int32_t>(scaled))
                           : std::trunc(scaled);
    return cut / m;
}

}  // namespace skarn
