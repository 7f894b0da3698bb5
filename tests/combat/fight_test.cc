#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "combat/fight.h"
#include "tests/combat/fighter_values.h"
#include "tests/combat/random_fighters.h"
#include "tests/combat/reference_loop.h"
#include "tests/support/scripted_rolls.h"
#include "tests/combat/run_limits.h"

namespace skarn {
namespace {

using Fighter = testing::FighterValues;

struct Case {
    Fighter you, opp;
    int yourHp = 100, oppHp = 100;
    FightMode mode = DamagePer60Seconds;
    int fights = 3;
    std::uint32_t seed = 1;

    std::string describe() const {
        std::ostringstream s;
        s << "mode " << mode << " fights " << fights << " seed " << seed << " hp " << yourHp
          << "/" << oppHp << " speed " << you.weaponSpeed << "/" << opp.weaponSpeed << " dex "
          << you.dexterity << "/" << opp.dexterity << " shields " << you.shieldIndex << "/"
          << opp.shieldIndex;
        return s.str();
    }
};

// What a progress callback sees: the value, and the generator and the
// fighters' damage as the fight just finished left them.
struct Report {
    int progress;
    std::uint32_t state;
    double yourDamage, oppDamage;
    bool operator==(const Report&) const = default;
};

struct Outcome {
    RunResults results;
    RunTotals totals;
    Combatant you, opp;
    std::uint32_t state = 0;
    std::vector<Report> reports;
    // Whom each fighter last rolled against: "none", "opponent" or "other".
    std::string yourTarget, oppTarget;

    std::vector<int> progress() const {
        std::vector<int> values;
        for (const Report& r : reports) values.push_back(r.progress);
        return values;
    }
};

template <typename Run>
Outcome runWith(const Case& c, Run run) {
    Outcome o{{}, {}, c.you.make(), c.opp.make(), 0, {}, {}, {}};
    Random rng(c.seed);
    o.results = run(o, rng, [&](int p) {
        o.reports.push_back({p, rng.state(), o.you.damageTaken, o.opp.damageTaken});
    });
    o.state = rng.state();
    const auto name = [](const Combatant* target, const Combatant& other) {
        return target == nullptr ? "none" : target == &other ? "opponent" : "other";
    };
    o.yourTarget = name(o.you.target, o.opp);
    o.oppTarget = name(o.opp.target, o.you);
    return o;
}

Outcome runFast(const Case& c) {
    return runWith(c, [&](Outcome& o, Random& rng, const ProgressCallback& progress) {
        return runFights(o.you, o.opp, c.yourHp, c.oppHp, c.mode, c.fights, o.totals, progress,
                         rng);
    });
}

Outcome runReference(const Case& c) {
    return runWith(c, [&](Outcome& o, Random& rng, const ProgressCallback& progress) {
        return testing::referenceRunFights(o.you, o.opp, c.yourHp, c.oppHp, c.mode, c.fights,
                                           o.totals, progress, rng);
    });
}

void expectSame(const Case& c) {
    const Outcome fast = runFast(c);
    const Outcome ref = runReference(c);
    const std::string what = c.describe();
    EXPECT_EQ(fast.results.resultDamageGiven, ref.results.resultDamageGiven) << what;
    EXPECT_EQ(fast.results.resultDamageTaken, ref.results.resultDamageTaken) << what;
    EXPECT_EQ(fast.results.resultTime, ref.results.resultTime) << what;
    EXPECT_EQ(fast.results.resultWinPercent, ref.results.resultWinPercent) << what;
    EXPECT_EQ(fast.totals.winCount, ref.totals.winCount) << what;
    EXPECT_EQ(fast.totals.damageTakenSum, ref.totals.damageTakenSum) << what;
    EXPECT_EQ(fast.totals.damageGivenSum, ref.totals.damageGivenSum) << what;
    EXPECT_EQ(fast.totals.tickSum, ref.totals.tickSum) << what;
    EXPECT_EQ(fast.state, ref.state) << what;
    EXPECT_TRUE(fast.reports == ref.reports) << what;
    EXPECT_EQ(fast.you.damageTaken, ref.you.damageTaken) << what;
    EXPECT_EQ(fast.opp.damageTaken, ref.opp.damageTaken) << what;
    EXPECT_EQ(fast.you.swingTimer, ref.you.swingTimer) << what;
    EXPECT_EQ(fast.opp.swingTimer, ref.opp.swingTimer) << what;
    EXPECT_EQ(fast.you.swingDelay, ref.you.swingDelay) << what;
    EXPECT_EQ(fast.you.hitSkill, ref.you.hitSkill) << what;
    EXPECT_EQ(fast.yourTarget, ref.yourTarget) << what;
    EXPECT_EQ(fast.oppTarget, ref.oppTarget) << what;
}

TEST(RunFightsTest, MatchesTheTickLoopOnChosenCases) {
    std::vector<Case> cases;
    Case typical;  // a 187-tick swing against a slower one
    typical.opp.weaponSpeed = 30;
    typical.opp.dexterity = 60;
    for (FightMode mode : {DamagePer60Seconds, ToDeathOfOpponent, ToTheDeath}) {
        Case c = typical;
        c.mode = mode;
        cases.push_back(c);
        c.fights = 10;  // fights run one after another through the same generator
        cases.push_back(c);
        c.fights = 3;
        c.you.weaponSpeed = 7500;  // swing delay 1
        cases.push_back(c);
        c.you.weaponSpeed = 4000;  // swing delay 0
        c.you.dexterity = 300;
        cases.push_back(c);
        c.opp = c.you;  // equal delays
        cases.push_back(c);
        c = typical;
        c.mode = mode;
        c.opp = c.you;  // equal delays of 187
        cases.push_back(c);
        c = typical;
        c.mode = mode;
        c.you.weaponSpeed = 1;  // 15000 ticks, beyond mode 0's end: no swing at all
        c.you.dexterity = 0;
        cases.push_back(c);
        c = typical;
        c.mode = mode;
        c.you.shieldIndex = 0;
        cases.push_back(c);
        c.opp.shieldIndex = 0;
        c.opp.parry = 300;
        cases.push_back(c);
        for (int hp : {0, -5}) {
            c = typical;
            c.mode = mode;
            c.oppHp = hp;
            cases.push_back(c);
            c.yourHp = hp;
            c.you.weaponSpeed = 4000;  // a swing due on tick 0 too
            c.you.dexterity = 300;
            cases.push_back(c);
        }
        c = typical;
        c.mode = mode;
        c.yourHp = 0;
        cases.push_back(c);
        c = typical;  // too many dice sums to tabulate
        c.mode = mode;
        c.you.diceCount = 100;
        c.you.diceSides = 100;
        c.opp.damageBonus = -1000;
        c.oppHp = c.yourHp = 10000;
        cases.push_back(c);
    }
    for (const Case& c : cases) {
        ASSERT_TRUE(testing::withinRunLimits(c.you.make(), c.opp.make(), c.yourHp, c.oppHp, c.mode))
            << c.describe();
        expectSame(c);
    }
}

// Random fighters of every kind the limits let through, with short fights
// (the tick loop visits every tick).
std::vector<Case> generatedCases(int tries) {
    std::mt19937 gen(20261210);
    auto pick = [&](std::initializer_list<int> values) {
        std::uniform_int_distribution<std::size_t> d(0, values.size() - 1);
        return *(values.begin() + d(gen));
    };
    auto fighter = [&] {
        Fighter f;
        f.strength = pick({0, 50, 100, 400});
        f.dexterity = pick({0, 100, 250, 400});
        f.armorRating = pick({0, 1, 30, 100});
        f.tactics = pick({0, 8, 100, 300});
        f.weaponSkill = pick({0, 100, 300});
        f.parry = pick({0, 100, 300});
        f.weaponSpeed = pick({1, 20, 40, 200, 3751, 7500, 10000});  // delays 15000 .. 0
        f.diceCount = pick({0, 1, 3, 40});
        f.diceSides = pick({1, 6, 20, 1000});
        f.damageBonus = pick({-1000, -5, 0, 10, 100000});
        f.shieldAbsorb = pick({-10, 0, 5, 50});
        f.shieldIndex = pick({-1, 0});
        return f;
    };
    std::vector<Case> cases;
    for (int n = 0; n < tries; ++n) {
        Case c;
        c.you = fighter();
        c.opp = fighter();
        c.mode = static_cast<FightMode>(pick({0, 1, 2}));
        c.yourHp = pick({-1, 0, 1, 40, 120});
        c.oppHp = pick({-1, 0, 1, 40, 120});
        c.fights = pick({1, 2, 5});
        c.seed = static_cast<std::uint32_t>(gen());
        const Combatant you = c.you.make(), opp = c.opp.make();
        if (expectedFightMicroseconds(you, opp, c.yourHp, c.oppHp, c.mode) > 200.0) continue;
        cases.push_back(c);
    }
    return cases;
}

TEST(RunFightsTest, MatchesTheTickLoopOnGeneratedCases) {
    const std::vector<Case> cases = generatedCases(300);
    EXPECT_GT(cases.size(), 200u);
    for (const Case& c : cases) expectSame(c);
}

// A fight prepared once and fought from a given generator state is the fight
// runFights fights from that state; a chain of them is runFights' run.
TEST(PreparedFightsTest, FightsFromAnyStateAsRunFightsDoes) {
    for (const Case& c : generatedCases(120)) {
        const Combatant you = c.you.make(), opp = c.opp.make();
        const PreparedFights prepared(you, opp, c.yourHp, c.oppHp, c.mode, c.fights);
        // Several starts in one call: mode 0 overlaps one fight's blows with
        // the next fight's hit rolls.
        const std::vector<std::uint32_t> starts{c.seed, c.seed * 7u + 1u, 0u, 0xFFFFFFFFu};
        std::vector<FightEnd> ends(starts.size());
        prepared.fight(starts, ends);
        for (std::size_t k = 0; k < starts.size(); ++k) {
            Combatant y = you, o = opp;
            RunTotals totals;
            Random rng(starts[k]);
            runFights(y, o, c.yourHp, c.oppHp, c.mode, 1, totals, {}, rng);
            const std::string what = c.describe() + " start " + std::to_string(starts[k]);
            EXPECT_EQ(ends[k].yourDamage, totals.damageTakenSum) << what;
            EXPECT_EQ(ends[k].oppDamage, totals.damageGivenSum) << what;
            EXPECT_EQ(static_cast<double>(ends[k].length), totals.tickSum) << what;
            EXPECT_EQ(ends[k].won ? 1.0 : 0.0, totals.winCount) << what;
        }

        std::uint32_t state = c.seed;
        std::vector<FightEnd> chain(static_cast<std::size_t>(c.fights));
        prepared.fightChain(state, chain);
        const Outcome run = runFast(c);
        RunTotals sums;
        for (const FightEnd& end : chain) {
            sums.damageTakenSum += end.yourDamage;
            sums.damageGivenSum += end.oppDamage;
            sums.tickSum += static_cast<double>(end.length);
            sums.winCount += end.won ? 1.0 : 0.0;
        }
        EXPECT_EQ(state, run.state) << c.describe();
        EXPECT_EQ(sums.damageTakenSum, run.totals.damageTakenSum) << c.describe();
        EXPECT_EQ(sums.damageGivenSum, run.totals.damageGivenSum) << c.describe();
        EXPECT_EQ(sums.tickSum, run.totals.tickSum) << c.describe();
        EXPECT_EQ(sums.winCount, run.totals.winCount) << c.describe();
    }
}

TEST(RunFightsTest, ModeZeroLastsSixtySecondsAndCountsNoWins) {
    Case c;
    c.fights = 5;
    const Outcome o = runFast(c);
    EXPECT_EQ(o.totals.tickSum, 6000.0 * 5);
    EXPECT_EQ(o.results.resultTime, 60.0);
    EXPECT_EQ(o.results.resultWinPercent, 0.0);
    EXPECT_GT(o.results.resultDamageGiven, 0.0);
}

TEST(RunFightsTest, ModeOneFellsTheOpponentButCountsNoWin) {
    Case c;
    c.mode = ToDeathOfOpponent;
    c.fights = 4;
    const Outcome o = runFast(c);
    EXPECT_EQ(o.totals.winCount, 0.0);
    EXPECT_EQ(o.results.resultWinPercent, 0.0);
    EXPECT_GE(o.opp.damageTaken, 100.0);
}

// A fight to the death in which both swing on every tick (a swing delay of
// 1) with one hit point each, so that each fight's first landed blow ends it.
// Equal skills: a hit for r from 0 to 50. A landed blow takes the hit draw,
// one more, two dice and the armour draw.
Case duel() {
    Case c;
    c.mode = ToTheDeath;
    c.you.weaponSpeed = c.opp.weaponSpeed = 7500;
    c.yourHp = c.oppHp = 1;
    return c;
}
using testing::anyDraw;
using testing::hit;
using testing::miss;

// Whenever both are down after the same tick, the Opponent's fall is tested
// first: a win. On tick 0 You swing first, then the Opponent.
TEST(RunFightsTest, BothFallingOnTheSameTickIsAWin) {
    Case c = duel();
    c.fights = 1;
    c.seed = testing::stateGiving({hit(50), anyDraw(), anyDraw(), anyDraw(), anyDraw(), hit(50)});
    const Outcome o = runFast(c);
    ASSERT_GE(o.you.damageTaken, 1.0);
    ASSERT_GE(o.opp.damageTaken, 1.0);
    EXPECT_EQ(o.totals.tickSum, 0.0);
    EXPECT_EQ(o.totals.winCount, 1.0);
}

TEST(RunFightsTest, ZeroHitPointsEndTheFightOnTickZero) {
    for (FightMode mode : {ToDeathOfOpponent, ToTheDeath}) {
        Case c;
        c.mode = mode;
        c.oppHp = 0;
        const Outcome o = runFast(c);
        EXPECT_EQ(o.totals.tickSum, 0.0) << mode;
        EXPECT_EQ(o.totals.winCount, mode == ToTheDeath ? 3.0 : 0.0) << mode;
        EXPECT_EQ(o.state, 1u) << "no swing is due on tick 0, so no draw";
    }
}

// Two fights that You win on tick 0 (You land, the Opponent misses), then
// one You lose (You miss, the Opponent lands).
TEST(RunFightsTest, TwoWinsOutOfThreeShow66Point6) {
    Case c = duel();
    c.fights = 3;
    c.seed = testing::stateGiving({hit(50), anyDraw(), anyDraw(), anyDraw(), anyDraw(), miss(50),  //
                                   hit(50), anyDraw(), anyDraw(), anyDraw(), anyDraw(), miss(50),  //
                                   miss(50), hit(50)});
    const Outcome o = runFast(c);
    ASSERT_EQ(o.totals.winCount, 2.0);
    EXPECT_EQ(o.results.resultWinPercent, 66.6);
}

// A swing delay of 200 with a sure hit on 1 hit point ends on tick 199.
TEST(RunFightsTest, A199TickFightShowsOneSecond) {
    Case c;
    c.mode = ToDeathOfOpponent;
    c.you.weaponSpeed = 75;
    c.you.dexterity = 0;
    c.you.weaponSkill = 300;
    c.opp.weaponSkill = 0;
    c.opp.weaponSpeed = 1;
    c.opp.dexterity = 0;
    c.oppHp = 1;
    c.fights = 1;
    const Outcome o = runFast(c);
    EXPECT_EQ(o.totals.tickSum, 199.0);
    EXPECT_EQ(o.results.resultTime, 1.0);
}

TEST(RunFightsTest, ProgressReportsEachFightAndNeverAHundred) {
    struct P { int fights; std::vector<int> expected; };
    for (const P& p : {P{1, {0}}, P{3, {0, 33, 66}}, P{4, {0, 25, 50, 75}}}) {
        Case c;
        c.fights = p.fights;
        EXPECT_EQ(runFast(c).progress(), p.expected) << p.fights;
    }
}

TEST(RunFightsTest, SameSeedSameResultsAndSquaresAddUp) {
    Case c;
    c.mode = ToTheDeath;
    c.fights = 9;
    const Outcome a = runFast(c);
    const Outcome b = runFast(c);
    EXPECT_EQ(a.results.resultDamageGiven, b.results.resultDamageGiven);
    EXPECT_EQ(a.totals.tickSum, b.totals.tickSum);
    EXPECT_EQ(a.state, b.state);

    Combatant you = c.you.make(), opp = c.opp.make();
    RunTotals totals;
    RunSquares squares;
    Random rng(c.seed);
    const RunResults r = runFights(you, opp, c.yourHp, c.oppHp, c.mode, c.fights, totals, {}, rng,
                                   &squares);
    EXPECT_EQ(r.resultDamageGiven, a.results.resultDamageGiven);
    EXPECT_EQ(rng.state(), a.state);
    // Each square is at least the square of the mean times N.
    EXPECT_GE(squares.tickSq * c.fights, totals.tickSum * totals.tickSum);
    EXPECT_GT(squares.damageGivenSq, 0.0);
}

TEST(TruncateToTest, CutsTowardZero) {
    struct T { double x; int digits; double expected; };
    for (const T& t : {T{66.666666666666671, 1, 66.6}, T{59.99, 0, 59.0}, T{-2.57, 1, -2.5},
                       T{1.99, 0, 1.0}, T{5.0, -1, 5.0}, T{3e10, 1, 3e10}}) {
        EXPECT_EQ(truncateTo(t.x, t.digits), t.expected) << t.x << " " << t.digits;
    }
}

// The fight length that the time estimate rests on is never below the mean
// length of the fights, nor its draws below the draws the fights take:
// chosen pairs where a bound is easily got wrong, and 200 random pairs over
// the run limits. The mean of a
// few hundred fights may stray above the expected length by chance; four of
// its standard errors leave room for that.
TEST(ExpectedFightTicksTest, IsNeverBelowTheMeanLength) {
    struct Pair {
        std::string what;
        Combatant you, opp;
        int yourHp, oppHp;
        FightMode mode;
    };
    Fighter feeble;  // blows of 1
    feeble.damageBonus = -1000;
    Fighter parried = feeble;  // 1, or tens of thousands when the Opponent parries
    Fighter shielded;
    shielded.shieldIndex = 0;
    shielded.shieldAbsorb = -50000;
    shielded.parry = 40;
    Fighter wide;  // blows spread from 1 to about 900
    wide.diceCount = 1;
    wide.diceSides = 1000;
    Fighter crushing = wide;  // every blow fells
    crushing.diceCount = 300;
    std::vector<Pair> pairs = {
        {"blows of 1", feeble.make(), feeble.make(), 300, 300, ToTheDeath},
        {"a parry that adds a huge blow", parried.make(), shielded.make(), 100, 30000, ToDeathOfOpponent},
        {"blows around the hit points", wide.make(), wide.make(), 400, 400, ToTheDeath},
        {"blows far above the hit points", crushing.make(), feeble.make(), 100, 5, ToDeathOfOpponent},
        {"no hit points", wide.make(), wide.make(), 0, -3, ToTheDeath},
    };
    testing::RandomFighters random(13);
    for (int found = 0; found < 200;) {
        Pair p{"random pair " + std::to_string(found), random.fighter(), random.fighter(),
               random.hitPoints(), random.hitPoints(),
               random.uniform(0, 1) == 0 ? ToDeathOfOpponent : ToTheDeath};
        // Long fights cost the test time and are the easy ones to bound.
        if (expectedFightMicroseconds(p.you, p.opp, p.yourHp, p.oppHp, p.mode) > 200.0) continue;
        pairs.push_back(p);
        ++found;
    }
    for (const Pair& p : pairs) {
        Combatant you = p.you, opp = p.opp;
        const double bound = expectedFightTicks(you, opp, p.yourHp, p.oppHp, p.mode);
        const double us = expectedFightMicroseconds(you, opp, p.yourHp, p.oppHp, p.mode);
        const int fights = std::clamp(static_cast<int>(1000.0 / us), 50, 500);
        RunTotals totals;
        RunSquares squares;
        Random rng(7);
        runFights(you, opp, p.yourHp, p.oppHp, p.mode, fights, totals, {}, rng, &squares);
        const double mean = totals.tickSum / fights;
        const double variance = std::max(0.0, squares.tickSq / fights - mean * mean);
        EXPECT_LE(mean, bound + 4.0 * std::sqrt(variance / fights))
            << p.what << " (mode " << p.mode << ", hit points " << p.yourHp << "/" << p.oppHp << ")";
        // The draws of the same fights, counted by stepping the generator to
        // where the run left it, against the draws the estimate expects.
        Random counter(7);
        std::int64_t draws = 0;
        while (counter.state() != rng.state()) {
            counter.draw();
            ++draws;
        }
        const double expectedDraws = expectedFightDraws(p.you, p.opp, p.yourHp, p.oppHp, p.mode);
        EXPECT_LE(static_cast<double>(draws) / fights, expectedDraws * 1.05 + 5.0)
            << p.what << " (mode " << p.mode << ", hit points " << p.yourHp << "/" << p.oppHp << ")";
    }
}

// A sure hit of 1 point every 15000 ticks on 150,000 hit points ends on tick
// 15000 * 150000 - 1, past 2^31.
TEST(RunFightsTest, CountsFightsLongerThan2To31Ticks) {
    Case c;
    c.mode = ToDeathOfOpponent;
    c.you.weaponSpeed = 1;
    c.you.dexterity = 0;
    c.you.weaponSkill = 300;
    c.opp.weaponSkill = 0;
    c.you.diceCount = 0;
    c.you.damageBonus = 0;
    c.opp.weaponSpeed = 1;
    c.opp.dexterity = 0;
    c.oppHp = 150000;
    c.fights = 2;
    ASSERT_TRUE(testing::withinRunLimits(c.you.make(), c.opp.make(), c.yourHp, c.oppHp, c.mode));
    const Outcome o = runFast(c);
    EXPECT_EQ(o.totals.tickSum, 2 * 2249999999.0);
    EXPECT_EQ(o.results.resultTime, 22499999.0);
    EXPECT_EQ(o.opp.damageTaken, 150000.0);
}

// 100 * f passes 2^31 from the 21,474,837th fight on; a 32-bit product would
// report negative progress there.
TEST(RunFightsTest, ProgressStaysExactPast2To31Over100Fights) {
    Case c;
    c.mode = ToDeathOfOpponent;
    c.oppHp = 0;  // every fight ends on tick 0, before any swing
    c.fights = 21500000;
    Combatant you = c.you.make(), opp = c.opp.make();
    RunTotals totals;
    Random rng(c.seed);
    std::int64_t calls = 0;
    int last = -1;
    bool ordered = true;
    runFights(you, opp, c.yourHp, c.oppHp, c.mode, c.fights, totals,
              [&](int p) {
                  ordered = ordered && p >= last && p == (100 * calls) / c.fights;
                  last = p;
                  ++calls;
              },
              rng);
    EXPECT_EQ(calls, c.fights);
    EXPECT_TRUE(ordered);
    EXPECT_EQ(last, 99);
}

TEST(ResultsOfTest, AveragesOverAThousandMillionFights) {
    RunTotals totals;
    totals.tickSum = 6000.0 * 1e9;
    totals.winCount = 2e9 / 3.0;
    EXPECT_EQ(resultsOf(totals, 1000000000).resultTime, 60.0);
    totals.winCount = 2.0;
    EXPECT_EQ(resultsOf(totals, 3).resultWinPercent, 66.6);
}

}  // namespace
}  // namespace skarn
