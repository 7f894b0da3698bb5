#include "combat/fight.h"

#include <algorithm>
#include <cmath>
#include <vector>

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

// x % d for draws (x < 2^15) and divisors 1 <= d <= 1000 without a division:
// with m = ceil(2^32 / d), the low 32 bits of m * x are the fraction x / d
// scaled by 2^32, and multiplying them by d gives the remainder in the high
// bits. For d = 1, m wraps to 0 and the result is 0, as it should be.
struct FastModulo {
    std::uint32_t m;
    std::uint32_t d;

    explicit FastModulo(std::int32_t divisor)
        : m(0xFFFFFFFFu / static_cast<std::uint32_t>(divisor) + 1u),
          d(static_cast<std::uint32_t>(divisor)) {}
    std::int32_t operator()(int x) const {
        const std::uint32_t fraction = m * static_cast<std::uint32_t>(x);
        return static_cast<std::int32_t>((static_cast<std::uint64_t>(fraction) * d) >> 32);
    }
};

// k steps of the generator at once: state_k = a * state + c (mod 2^32).
struct Jump {
    std::uint32_t a;
    std::uint32_t c;
};

// jumps[k] for k = 0..count.
std::vector<Jump> jumpTable(std::size_t count) {
    std::vector<Jump> jumps(count + 1);
    jumps[0] = {1u, 0u};
    for (std::size_t k = 1; k <= count; ++k)
        jumps[k] = {jumps[k - 1].a * 214013u, jumps[k - 1].c * 214013u + 2531011u};
    return jumps;
}

// One fighter's swing at the other with everything that stays fixed during a
// run worked out once. The arithmetic and the draws are exactly those of
// Combatant::rollToHit, rollDamage and dealDamage.
struct Strike {
    Combatant* attacker;
    Combatant* defender;
    std::int32_t chance;
    std::int32_t diceCount;
    FastModulo dice;
    std::int32_t damageBonus;
    double strengthFactor;
    double tacticsFactor;
    // The blow after Str. and Tactics for each dice sum from diceCount up,
    // when the sums are few enough to tabulate; empty otherwise.
    std::vector<std::int32_t> scaledBySum;
    bool shield;
    std::int32_t halfParry;
    std::int32_t shieldAbsorb;
    std::int32_t halfArmor;
    FastModulo armor;

    Strike(Combatant& a, Combatant& d)
        : attacker(&a),
          defender(&d),
          chance(((a.hitSkill + 50) * 50) / (d.hitSkill + 50)),
          diceCount(a.diceCount),
          dice(a.diceCount > 0 ? a.diceSides : 1),
          damageBonus(a.damageBonus),
          strengthFactor(a.strength * 0.002 + 1.0),
          tacticsFactor((a.tactics + 50.0) * 0.01),
          shield(d.shieldIndex >= 0),
          halfParry(d.parry / 2),
          shieldAbsorb(d.shieldAbsorb),
          halfArmor(d.armorRating / 2),
          armor(d.armorRating / 2 + 1) {
        const std::int64_t sums = a.diceCount > 0 ? std::int64_t{a.diceCount} * (a.diceSides - 1) + 1 : 1;
        if (sums <= 4096) {
            scaledBySum.resize(static_cast<std::size_t>(sums));
            const std::int32_t lowest = std::max(0, a.diceCount);
            for (std::size_t k = 0; k < scaledBySum.size(); ++k)
                scaledBySum[k] = scaled(lowest + static_cast<std::int32_t>(k));
        }
    }

    // Steps 2 and 3 of a blow, in double, one rounding per operation.
    std::int32_t scaled(std::int32_t sum) const {
        const auto base = static_cast<std::int32_t>(static_cast<double>(sum + damageBonus) * strengthFactor);
        return static_cast<std::int32_t>(base * tacticsFactor);
    }

    // Takes the swing from generator state `state`. A miss takes one draw and
    // a hit 3 + diceCount (+1 against a shield). Whether a swing lands is a
    // coin toss that a branch would mispredict half the time, so both
    // outcomes are worked out and the right one kept by masking; and every
    // draw is taken straight from `state` by a jump of k steps, so the draws
    // of one swing do not wait on each other.
    void operator()(std::uint32_t& state, const std::vector<Jump>& jumps) const {
        attacker->target = defender;
        const std::uint32_t s = state;
        const auto at = [&](std::size_t k) { return jumps[k].a * s + jumps[k].c; };
        const auto value = [](std::uint32_t x) { return static_cast<int>((x >> 16) & 0x7FFFu); };
        const std::uint32_t afterMiss = at(1);
        const bool lands = value(afterMiss) % 101 <= chance;
        std::size_t k = 3;
        std::int32_t sum = 0;
        for (std::int32_t i = 0; i < diceCount; ++i) sum += dice(value(at(k++))) + 1;
        auto dmg = scaledBySum.empty() ? scaled(sum)
                                       : scaledBySum[static_cast<std::size_t>(sum - std::max(0, diceCount))];
        if (shield) {
            const std::int32_t parried = -static_cast<std::int32_t>(value(at(k++)) % 101 <= halfParry);
            dmg -= shieldAbsorb & parried;
        }
        const std::uint32_t afterHit = at(k);
        dmg = (dmg - halfArmor - armor(value(afterHit))) / 2;
        dmg = dmg < 1 ? 1 : dmg;
        const std::uint32_t keep = 0u - static_cast<std::uint32_t>(lands);
        state = (afterHit & keep) | (afterMiss & ~keep);
        defender->damageTaken += dmg & static_cast<std::int32_t>(keep);
    }

    // Draws one landed swing takes.
    std::size_t drawsOfHit() const {
        return 3 + static_cast<std::size_t>(std::max(0, diceCount)) + (shield ? 1 : 0);
    }
};

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
    const Strike yourStrike(you, opponent);
    const Strike oppStrike(opponent, you);
    const std::vector<Jump> jumps =
        jumpTable(std::max(yourStrike.drawsOfHit(), oppStrike.drawsOfHit()));

    // A 60-second fight (ticks 0 to 6000, recorded as 6000 long) swings on the
    // same ticks in the same order every time: lay the swings out once and
    // play them back.
    std::vector<const Strike*> sixtySeconds;
    if (mode == DamagePer60Seconds) {
        const Strike* yours = &yourStrike;
        const Strike* theirs = &oppStrike;
        for (std::int64_t i = 0; i <= kSixtySeconds; ++i) {
            const bool yourSwing = (i + 1) % yourPeriod == 0;
            const bool theirSwing = (i + 1) % oppPeriod == 0;
            if (i % 2 == 0) {
                if (yourSwing) sixtySeconds.push_back(yours);
                if (theirSwing) sixtySeconds.push_back(theirs);
            } else {
                if (theirSwing) sixtySeconds.push_back(theirs);
                if (yourSwing) sixtySeconds.push_back(yours);
            }
        }
    }

    std::uint32_t state = rng.state();
    for (std::int64_t f = 0; f < fights; ++f) {
        you.resetSwingTimer();
        opponent.resetSwingTimer();
        you.damageTaken = 0.0;
        opponent.damageTaken = 0.0;

        std::int64_t length = kSixtySeconds;
        if (mode == DamagePer60Seconds) {
            for (const Strike* strike : sixtySeconds) (*strike)(state, jumps);
        } else {
            std::int64_t yourNext = yourPeriod - 1;
            std::int64_t oppNext = oppPeriod - 1;
            // When the rule already holds before any blow, the fight ends on
            // tick 0 after that tick's swings.
            const bool fallen = oppHp <= 0.0 || (mode == ToTheDeath && yourHp <= 0.0);
            std::int64_t i = fallen ? 0 : std::min(yourNext, oppNext);
            for (;;) {
                if (i % 2 == 0) {
                    if (yourNext == i) { yourStrike(state, jumps); yourNext += yourPeriod; }
                    if (oppNext == i) { oppStrike(state, jumps); oppNext += oppPeriod; }
                } else {
                    if (oppNext == i) { oppStrike(state, jumps); oppNext += oppPeriod; }
                    if (yourNext == i) { yourStrike(state, jumps); yourNext += yourPeriod; }
                }
                if (opponent.damageTaken >= oppHp) {
                    if (mode == ToTheDeath) totals.winCount += 1.0;
                    break;
                }
                if (mode == ToTheDeath && you.damageTaken >= yourHp) break;
                i = std::min(yourNext, oppNext);
            }
            length = i;
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
    rng.seed(state);

    return resultsOf(totals, fights);
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

RunResults resultsOf(const RunTotals& totals, std::int64_t fights) {
    const auto n = static_cast<double>(fights);
    RunResults results;
    results.resultDamageGiven = truncateTo(totals.damageGivenSum / n, 1);
    results.resultDamageTaken = truncateTo(totals.damageTakenSum / n, 1);
    results.resultWinPercent = truncateTo((totals.winCount * 100.0) / n, 1);
    results.resultTime = truncateTo(totals.tickSum / static_cast<double>(fights * 100), 0);
    return results;
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
