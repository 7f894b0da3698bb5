#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "combat/exact_odds.h"
#include "combat/swing_law.h"
#include "tests/combat/exact_matchups.h"
#include "tests/combat/run_limits.h"

namespace skarn {
namespace {

using testing::Matchup;
using testing::randomMatchup;

constexpr double kDraws = 32768.0;

// A fighter by the values that matter here. The defaults swing every 100
// ticks (speed 50, Dex. 200) with no dice, Str. 0 and Tactics 50, so that a
// blow is the damage bonus halved against A.R. 0 and 1: bonus 20 is a
// blow of 10.
struct Side {
    int skill = 100, speed = 50, dexterity = 200, dice = 0, sides = 1, bonus = 20,
        strength = 0, tactics = 50, armor = 0, parry = 0, absorb = 0;
    bool shield = false;

    Combatant make() const {
        Combatant c;
        c.weaponSkill = skill;
        c.weaponSpeed = speed;
        c.dexterity = dexterity;
        c.diceCount = dice;
        c.diceSides = sides;
        c.damageBonus = bonus;
        c.strength = strength;
        c.tactics = tactics;
        c.armorRating = armor;
        c.parry = parry;
        c.shieldAbsorb = absorb;
        c.shieldIndex = shield ? 0 : -1;
        return c;
    }
};

// Skill 0 against 300 lands for r <= 7: 8 remainders of 325 draws each.
const double kLow = 8 * 325 / kDraws;
// Equal skills land for r <= 50: 44 remainders of 325 draws and 7 of 324.
const double kEven = (44 * 325 + 7 * 324) / kDraws;

struct Figure {
    double mean, sd;
};

struct HandCase {
    std::string name;
    Side you, opp;
    int yourHp, oppHp;
    FightMode mode;
    std::optional<Figure> win;
    Figure given, taken, time;
};

double binomialSd(double n, double p) { return std::sqrt(n * p * (1.0 - p)); }

std::vector<HandCase> handCases() {
    const Side sure{.skill = 300};
    const Side feeble{.skill = 0, .bonus = 8};  // lands 8 in 101 on `sure`, for 4
    const Side weak{.skill = 0};                // lands 8 in 101, for 10
    const Side pecking{.skill = 300, .bonus = 2};  // always lands, for 1
    const Side even{};
    const double p = kLow;
    // The equal one-blow fighters: You win unless the Opponent lands first;
    // the fight ends at the first swing either lands.
    const double w = 1.0 / (2.0 - kEven);
    const double q = 1.0 - (1.0 - kEven) * (1.0 - kEven);
    std::vector<HandCase> cases = {
        // Every blow of You lands for 10: the 10th fells 95 hit points on
        // tick 999; the Opponent's 10 swings by then land 4 each, binomially.
        {"sure blows to the opponent's death", sure, feeble, 1000, 95, ToDeathOfOpponent,
         std::nullopt, {100, 0}, {40 * p, 4 * binomialSd(10, p)}, {9.99, 0}},
        {"sure blows to the death", sure, feeble, 1000, 95, ToTheDeath, Figure{100, 0}, {100, 0},
         {40 * p, 4 * binomialSd(10, p)}, {9.99, 0}},
        {"sure blows for 60 seconds", sure, feeble, 1000, 95, DamagePer60Seconds, std::nullopt,
         {600, 0}, {240 * p, 4 * binomialSd(60, p)}, {60, 0}},
        // One blow fells: the fight lasts a geometric number T of swings,
        // ending on tick 100T - 1; the Opponent lands 1 point on each.
        {"one-blow kills: a geometric length", weak, pecking, 1000, 10, ToDeathOfOpponent,
         std::nullopt, {10, 0}, {1 / p, std::sqrt(1 - p) / p},
         {(100 / p - 1) / 100, std::sqrt(1 - p) / p}},
        // The Opponent fells You on the first swing, tick 99; You win
        // whenever Your first swing lands, on the same tick.
        {"a fall on the same tick is a win", weak, Side{.skill = 300}, 10, 10, ToTheDeath,
         Figure{100 * p, 100 * binomialSd(1, p)}, {10 * p, 10 * binomialSd(1, p)}, {10, 0},
         {0.99, 0}},
        {"equal one-blow fighters", even, even, 10, 10, ToTheDeath,
         Figure{100 * w, 100 * binomialSd(1, w)}, {10 * w, 10 * binomialSd(1, w)},
         {10 * w, 10 * binomialSd(1, w)}, {(100 / q - 1) / 100, std::sqrt(1 - q) / q}},
        // Hit points of 0 or less stop the fight after tick 0: only a
        // fighter who swings on every tick has swung.
        {"no hit points", sure, feeble, 1000, 0, ToDeathOfOpponent, std::nullopt, {0, 0}, {0, 0},
         {0, 0}},
        {"no hit points, You swinging every tick", Side{.skill = 300, .speed = 7500, .dexterity = 100},
         feeble, 1000, 0, ToDeathOfOpponent, std::nullopt, {10, 0}, {0, 0}, {0, 0}},
        {"the Opponent felled on tick 0", Side{.skill = 300, .speed = 7500, .dexterity = 100}, feeble,
         0, 10, ToTheDeath, Figure{100, 0}, {10, 0}, {0, 0}, {0, 0}},
        {"You fallen before a swing", sure, feeble, -5, 10, ToTheDeath, Figure{0, 0}, {0, 0},
         {0, 0}, {0, 0}},
        {"the Opponent fallen before a swing", sure, feeble, 0, -5, ToTheDeath, Figure{100, 0},
         {0, 0}, {0, 0}, {0, 0}},
        // Swing delays 0 and 1 both swing on every one of 6001 ticks.
        {"delay 0", Side{.skill = 300, .speed = 7501, .dexterity = 100}, feeble, 1000, 95,
         DamagePer60Seconds, std::nullopt, {60010, 0}, {240 * p, 4 * binomialSd(60, p)}, {60, 0}},
        {"delay 1", Side{.skill = 300, .speed = 7500, .dexterity = 100}, feeble, 1000, 95,
         DamagePer60Seconds, std::nullopt, {60010, 0}, {240 * p, 4 * binomialSd(60, p)}, {60, 0}},
    };

    // A parry takes 6 off a blow of 20 before it is halved: 7 instead of 10.
    // Parry 0 parries for r = 0 only (325 draws), 200 and more always; an
    // absorb of 100 leaves the least blow, 1.
    const double q0 = 325 / kDraws;
    Side shielded = feeble;
    shielded.shield = true;
    shielded.absorb = 6;
    cases.push_back({"parry 0", sure, shielded, 1000, 95, DamagePer60Seconds, std::nullopt,
                     {60 * (10 - 3 * q0), 3 * binomialSd(60, q0)}, {240 * p, 4 * binomialSd(60, p)},
                     {60, 0}});
    for (int parry : {200, 300}) {
        shielded.parry = parry;
        cases.push_back({"parry " + std::to_string(parry), sure, shielded, 1000, 95,
                         DamagePer60Seconds, std::nullopt, {420, 0}, {240 * p, 4 * binomialSd(60, p)},
                         {60, 0}});
    }
    shielded.absorb = 100;
    cases.push_back({"an absorb beyond the blow", sure, shielded, 1000, 95, DamagePer60Seconds,
                     std::nullopt, {60, 0}, {240 * p, 4 * binomialSd(60, p)}, {60, 0}});

    // One d6 against A.R. 4 (half 2, armor draw 0 to 2): (face - 2 - a) / 2
    // is 2 only for face 6 (5461 draws; faces 1 and 2 have 5462) with a = 0
    // (10923 draws; a = 2 has 10922); every other blow is 1.
    const double two = (5461 / kDraws) * (10923 / kDraws);
    cases.push_back({"a die against armor", Side{.skill = 300, .dice = 1, .sides = 6, .bonus = 0},
                     Side{.skill = 0, .bonus = 8, .armor = 4}, 1000, 95, DamagePer60Seconds,
                     std::nullopt, {60 * (1 + two), binomialSd(60, two)},
                     {240 * p, 4 * binomialSd(60, p)}, {60, 0}});
    return cases;
}

void expectFigure(const ExactFigure& got, const Figure& want, const std::string& what) {
    EXPECT_NEAR(got.mean, want.mean, 1e-9 * std::max(1.0, std::abs(want.mean))) << what;
    EXPECT_NEAR(got.sd, want.sd, 1e-9 * std::max(1.0, want.sd)) << what;
}

TEST(ExactOddsTest, HandWorkedCases) {
    for (const HandCase& c : handCases()) {
        const Combatant you = c.you.make();
        const Combatant opp = c.opp.make();
        ASSERT_TRUE(testing::withinRunLimits(you, opp, c.yourHp, c.oppHp, c.mode)) << c.name;
        const auto odds = exactOdds(you, opp, c.yourHp, c.oppHp, c.mode);
        ASSERT_TRUE(odds) << c.name;
        ASSERT_EQ(odds->winPercent.has_value(), c.win.has_value()) << c.name;
        if (c.win) expectFigure(*odds->winPercent, *c.win, c.name + ": win %");
        expectFigure(odds->damageGiven, c.given, c.name + ": damage given");
        expectFigure(odds->damageTaken, c.taken, c.name + ": damage taken");
        expectFigure(odds->time, c.time, c.name + ": time");
        EXPECT_LT(odds->unaccounted, 1e-14) << c.name;
    }
}

TEST(ExactOddsTest, LawsOfHandWorkedCases) {
    const Combatant sure = Side{.skill = 300}.make();
    const Combatant weak = Side{.skill = 0}.make();
    const Combatant pecking = Side{.skill = 300, .bonus = 2}.make();

    // Fixed blows: one value each.
    auto odds = exactOdds(sure, weak, 1000, 95, ToDeathOfOpponent);
    ASSERT_TRUE(odds);
    ASSERT_EQ(odds->timeLaw.size(), 1u);
    EXPECT_DOUBLE_EQ(odds->timeLaw[0].value, 9.99);
    ASSERT_EQ(odds->damageGivenLaw.size(), 1u);
    EXPECT_EQ(odds->damageGivenLaw[0].value, 100.0);
    EXPECT_NEAR(odds->damageGivenLaw[0].probability, 1.0, 1e-15);

    // A geometric length: swing k fells with (1 - p)^(k - 1) p, on tick
    // 100k - 1, and the Opponent has then landed k blows of 1.
    odds = exactOdds(weak, pecking, 1000, 10, ToDeathOfOpponent);
    ASSERT_TRUE(odds);
    ASSERT_GT(odds->timeLaw.size(), 300u);
    ASSERT_GT(odds->damageTakenLaw.size(), 300u);
    double chance = kLow;
    for (std::size_t k = 1; k <= 300; ++k) {
        const ExactPoint& time = odds->timeLaw[k - 1];
        const ExactPoint& taken = odds->damageTakenLaw[k - 1];
        ASSERT_DOUBLE_EQ(time.value, (100.0 * k - 1) / 100) << k;
        ASSERT_NEAR(time.probability, chance, 1e-12 * chance) << k;
        ASSERT_EQ(taken.value, static_cast<double>(k));
        ASSERT_NEAR(taken.probability, chance, 1e-12 * chance) << k;
        chance *= 1 - kLow;
    }
}

TEST(ExactOddsTest, DelaysZeroAndOneGiveTheSameOdds) {
    const Combatant every0 = Side{.speed = 7501, .dexterity = 100, .dice = 2, .sides = 6}.make();
    const Combatant every1 = Side{.speed = 7500, .dexterity = 100, .dice = 2, .sides = 6}.make();
    const Combatant opp = Side{.skill = 120, .speed = 40, .dexterity = 87, .armor = 30}.make();
    for (FightMode mode : {DamagePer60Seconds, ToDeathOfOpponent, ToTheDeath}) {
        const auto a = exactOdds(every0, opp, 200, 300, mode);
        const auto b = exactOdds(every1, opp, 200, 300, mode);
        ASSERT_TRUE(a && b) << mode;
        EXPECT_EQ(a->damageGiven.mean, b->damageGiven.mean) << mode;
        EXPECT_EQ(a->damageTaken.mean, b->damageTaken.mean) << mode;
        EXPECT_EQ(a->time.mean, b->time.mean) << mode;
        EXPECT_EQ(a->timeLaw.size(), b->timeLaw.size()) << mode;
        EXPECT_EQ(a->damageGivenLaw.size(), b->damageGivenLaw.size()) << mode;
    }
}

// A generator whose next draw yields `value`: the state before the one
// whose bits 16 to 30 are `value`, found with the multiplier's inverse.
Random drawingNext(int value) {
    constexpr std::uint32_t a = 214013u;
    std::uint32_t inverse = a;  // Newton's iteration doubles the correct bits
    for (int i = 0; i < 5; ++i) inverse *= 2u - a * inverse;
    const std::uint32_t after = static_cast<std::uint32_t>(value) << 16;
    return Random((after - 2531011u) * inverse);
}

// The swing law against the fighters' own rolls, wherever a roll takes only
// one draw that matters, over all 32,768 values of that draw.
TEST(SwingLawTest, MatchesTheRollsOfOneDraw) {
    // The hit roll.
    for (const auto& [attacker, defender] : {std::pair{0, 300}, {100, 100}, {300, 0}, {37, 211}}) {
        Combatant a = Side{.skill = attacker}.make();
        Combatant d = Side{.skill = defender}.make();
        a.setHitSkill();
        d.setHitSkill();
        int hits = 0;
        for (int v = 0; v < 32768; ++v) {
            Random rng = drawingNext(v);
            hits += a.rollToHit(d, rng);
        }
        EXPECT_EQ(exact::swingLaw(a, d).hitCount, hits) << attacker << " vs " << defender;
    }
    // A blow whose only draw that matters is the armor's, a die's or the
    // parry's: no dice, or half an A.R. of 0 (draw % 1), or both.
    const struct {
        const char* name;
        Side attacker, defender;
    } blows[] = {
        {"armor", Side{.bonus = 40, .strength = 123, .tactics = 77}, Side{.armor = 100}},
        {"a die", Side{.dice = 1, .sides = 7, .bonus = 3, .strength = 80, .tactics = 8},
         Side{.armor = 1}},
        {"a large die", Side{.dice = 1, .sides = 1000, .bonus = -20, .strength = 400, .tactics = 300},
         Side{.armor = 0}},
        {"a parry", Side{.bonus = 25, .strength = 80}, Side{.parry = 57, .absorb = 9, .shield = true}},
        {"a parry beyond the blow", Side{.bonus = 25},
         Side{.parry = 150, .absorb = 400, .shield = true}},
    };
    for (const auto& b : blows) {
        Combatant a = b.attacker.make();
        Combatant d = b.defender.make();
        const exact::SwingLaw law = exact::swingLaw(a, d);
        std::vector<int> counts(law.blow.size() + 64, 0);
        for (int v = 0; v < 32768; ++v) {
            Random rng = drawingNext(v);
            a.target = &d;
            const std::int32_t blow = a.rollDamage(rng);
            ASSERT_GE(blow, law.low) << b.name;
            ASSERT_LE(blow, law.high()) << b.name;
            ++counts[static_cast<std::size_t>(blow - law.low)];
        }
        for (std::size_t k = 0; k < law.blow.size(); ++k)
            EXPECT_NEAR(law.blow[k], counts[k] / kDraws, 1e-15) << b.name << ", blow " << law.low + k;
    }
}

// The marginal law of draw % n, for every n the rules take a remainder by:
// 101 (hit and parry rolls), the sides of a die (1 to 1000) and half an
// A.R. plus 1 (1 to 51).
TEST(SwingLawTest, RemainderCountsMatchEveryDraw) {
    std::vector<int> tally;
    for (std::int32_t n = 1; n <= 1000; ++n) {
        tally.assign(static_cast<std::size_t>(n), 0);
        for (int draw = 0; draw < 32768; ++draw) ++tally[static_cast<std::size_t>(draw % n)];
        for (std::int32_t r = 0; r < n; ++r)
            ASSERT_EQ(exact::remainderCount(n, r), tally[static_cast<std::size_t>(r)]) << r << " % " << n;
        ASSERT_EQ(exact::remainderCount(n, n), 0) << n;
    }
    for (std::int32_t bound = -2; bound <= 102; ++bound) {
        int count = 0;
        for (int draw = 0; draw < 32768; ++draw) count += draw % 101 <= bound;
        EXPECT_EQ(exact::countAtMost101(bound), count) << bound;
    }
}

double totalOf(const ExactLaw& law) {
    exact::CompensatedSum sum;
    for (const ExactPoint& p : law) sum.add(p.probability);
    return sum.value();
}

double meanOf(const ExactLaw& law) {
    exact::CompensatedSum sum;
    for (const ExactPoint& p : law) sum.add(p.probability * p.value);
    return sum.value();
}

double sdOf(const ExactLaw& law) {
    const double mean = meanOf(law);
    exact::CompensatedSum sum;
    for (const ExactPoint& p : law) sum.add(p.probability * (p.value - mean) * (p.value - mean));
    return std::sqrt(sum.value());
}

// The laws add up to 1 with what is unaccounted; their means are the
// expected results, which the engine works out apart from them (Wald's
// identity); where it works out a spread apart from the law, the law has
// it; the win % is the chance that the damage given reaches the hit points.
TEST(ExactOddsTest, LawsAgreeWithTheExpectedResults) {
    std::mt19937 gen(20);
    for (int i = 0; i < 150; ++i) {
        const Matchup m = randomMatchup(gen);
        ASSERT_TRUE(testing::withinRunLimits(m.you, m.opp, m.yourHp, m.oppHp, m.mode)) << m.describe();
        const auto odds = exactOdds(m.you, m.opp, m.yourHp, m.oppHp, m.mode);
        ASSERT_TRUE(odds) << m.describe();
        EXPECT_LT(odds->unaccounted, 1e-13) << m.describe();
        const struct {
            const char* name;
            const ExactLaw& law;
            const ExactFigure& figure;
            bool ownSpread;  // worked out without the law
        } results[] = {
            {"time", odds->timeLaw, odds->time, false},
            {"damage given", odds->damageGivenLaw, odds->damageGiven, m.mode == DamagePer60Seconds},
            {"damage taken", odds->damageTakenLaw, odds->damageTaken, m.mode != ToTheDeath},
        };
        for (const auto& r : results) {
            const std::string what = std::string(r.name) + ", " + m.describe();
            ASSERT_FALSE(r.law.empty()) << what;
            for (std::size_t k = 0; k < r.law.size(); ++k) {
                ASSERT_GT(r.law[k].probability, 0.0) << what;
                if (k > 0) {
                    ASSERT_LT(r.law[k - 1].value, r.law[k].value) << what;
                }
            }
            EXPECT_NEAR(totalOf(r.law) + odds->unaccounted, 1.0, 1e-12) << what;
            EXPECT_NEAR(meanOf(r.law), r.figure.mean, 1e-9 * std::max(1.0, r.figure.mean)) << what;
            if (r.ownSpread) {
                EXPECT_NEAR(sdOf(r.law), r.figure.sd, 1e-7 * std::max(1.0, r.figure.sd)) << what;
            }
        }
        if (m.mode == ToTheDeath) {
            ASSERT_TRUE(odds->winPercent) << m.describe();
            double reached = 0.0;
            for (const ExactPoint& p : odds->damageGivenLaw)
                if (p.value >= m.oppHp) reached += p.probability;
            EXPECT_NEAR(odds->winPercent->mean, 100.0 * reached, 1e-9) << m.describe();
        } else {
            EXPECT_FALSE(odds->winPercent) << m.describe();
        }
    }
}

// The estimate of the work, which decides whether the engine answers,
// stays near the work done (both are counts, the same on every machine).
TEST(ExactOddsTest, WorkEstimateFollowsTheWorkDone) {
    std::mt19937 gen(7);
    int checked = 0;
    for (int i = 0; i < 400; ++i) {
        Matchup m = randomMatchup(gen);
        m.yourHp *= 3;  // up to 900 hit points, for longer fights
        m.oppHp *= 3;
        const double estimate = exactOddsWork(m.you, m.opp, m.yourHp, m.oppHp, m.mode);
        if (estimate > 1e7) continue;  // a test keeps to the quick ones
        ++checked;
        EXPECT_FALSE(findExactOddsLimit(m.you, m.opp, m.yourHp, m.oppHp, m.mode)) << m.describe();
        const auto odds = exactOdds(m.you, m.opp, m.yourHp, m.oppHp, m.mode);
        ASSERT_TRUE(odds) << m.describe();
        EXPECT_GT(estimate, odds->work / 3) << m.describe();
        EXPECT_LT(estimate, odds->work * 6) << m.describe();
    }
    EXPECT_GT(checked, 300);
}

TEST(ExactOddsTest, DeclinesWhatWouldTakeTooLong) {
    // 1000 dice of 1000 sides: their sums alone would take minutes.
    const Combatant huge = Side{.dice = 1000, .sides = 1000}.make();
    const Combatant plain = Side{}.make();
    ASSERT_TRUE(testing::withinRunLimits(huge, plain, 100, 100, ToTheDeath));
    const auto limit = findExactOddsLimit(huge, plain, 100, 100, ToTheDeath);
    ASSERT_TRUE(limit);
    EXPECT_GT(limit->work, limit->most);
    EXPECT_EQ(limit->message().rfind("Exact odds would take too long (about ", 0), 0u)
        << limit->message();
    EXPECT_FALSE(exactOdds(huge, plain, 100, 100, ToTheDeath));

    // The hour-long fights of a slow, feeble You against an Opponent landing
    // every blow: the sum of its thousands of blows has a hundred thousand
    // values.
    const Combatant slow = Side{.skill = 20, .speed = 30, .dexterity = 50, .dice = 2, .sides = 6,
                                .bonus = 2, .armor = 30, .parry = 100}
                               .make();
    const Combatant strong = Side{.skill = 250, .speed = 40, .dexterity = 200, .dice = 3,
                                  .sides = 6, .bonus = 2, .strength = 350, .tactics = 250,
                                  .armor = 90, .parry = 100}
                                 .make();
    ASSERT_TRUE(testing::withinRunLimits(slow, strong, 300, 200, ToDeathOfOpponent));
    EXPECT_TRUE(findExactOddsLimit(slow, strong, 300, 200, ToDeathOfOpponent));
    EXPECT_FALSE(exactOdds(slow, strong, 300, 200, ToDeathOfOpponent));
}

TEST(ExactOddsTest, PercentileIsTheFirstValueReachingTheFraction) {
    const ExactLaw law = {{1, 0.25}, {2, 0.25}, {5, 0.5}};
    const struct {
        double fraction, value;
    } cases[] = {{0.0, 1}, {0.1, 1}, {0.25, 1}, {0.26, 2}, {0.5, 2}, {0.5000001, 5}, {1.0, 5}};
    for (const auto& c : cases) EXPECT_EQ(percentile(law, c.fraction), c.value) << c.fraction;

    // Probabilities that add up to a boundary only within rounding still
    // reach it; a law short of 1 (its unaccounted part) ends at its last value.
    const ExactLaw tenths = {{1, 0.1}, {2, 0.1}, {3, 0.1}, {4, 0.7 - 1e-15}};
    EXPECT_EQ(percentile(tenths, 0.3), 3.0);
    EXPECT_EQ(percentile(tenths, 1.0), 4.0);
}

}  // namespace
}  // namespace skarn
