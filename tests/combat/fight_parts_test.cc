#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "combat/exact_odds.h"
#include "combat/fight_parts.h"
#include "tests/combat/exact_matchups.h"
#include "tests/combat/run_limits.h"

namespace skarn {
namespace {

using testing::Matchup;
using testing::randomMatchup;

// The four means of the parts against those of exactOdds, within 1e-12
// relative: a result of 0 must come out 0. A win % of almost nothing may
// differ by the chances below 1e-16 that exactOdds leaves unfollowed where
// the parts follow them (1e-14 in percent).
void expectSameMeans(const ExactMeans& parts, const ExactOdds& odds, const std::string& what) {
    const auto near = [&](double got, double want, const char* name, double floor = 0.0) {
        EXPECT_NEAR(got, want, std::max(1e-12 * std::abs(want), floor)) << name << ", " << what;
    };
    EXPECT_EQ(parts.mode, odds.mode) << what;
    near(parts.time, odds.time.mean, "time");
    near(parts.damageGiven, odds.damageGiven.mean, "damage given");
    near(parts.damageTaken, odds.damageTaken.mean, "damage taken");
    ASSERT_EQ(parts.winPercent.has_value(), odds.winPercent.has_value()) << what;
    if (parts.winPercent) near(*parts.winPercent, odds.winPercent->mean, "win %", 1e-14);
}

// Generated matchups in all three modes, from hit points of 0 or less to
// fights of hundreds of swings, all from one cache. An unoptimised build
// (the sanitizers') takes a quarter as many, to stay within a few seconds.
#ifdef __OPTIMIZE__
constexpr int kMatchups = 300;
#else
constexpr int kMatchups = 75;
#endif

TEST(ExactPartsTest, MeansEqualExactOdds) {
    std::mt19937 gen(23);
    ExactParts parts;
    int compared = 0;
    for (int i = 0; i < kMatchups; ++i) {
        Matchup m = randomMatchup(gen);
        if (i % 3 == 0) {  // longer fights
            m.yourHp *= 4;
            m.oppHp *= 4;
        }
        ASSERT_TRUE(testing::withinRunLimits(m.you, m.opp, m.yourHp, m.oppHp, m.mode)) << m.describe();
        if (exactOddsWork(m.you, m.opp, m.yourHp, m.oppHp, m.mode) > 2e7) continue;  // keep it quick
        const auto odds = exactOdds(m.you, m.opp, m.yourHp, m.oppHp, m.mode);
        ASSERT_TRUE(odds) << m.describe();
        EXPECT_FALSE(parts.limit(m.you, m.opp, m.yourHp, m.oppHp, m.mode)) << m.describe();
        const auto means = parts.means(m.you, m.opp, m.yourHp, m.oppHp, m.mode);
        ASSERT_TRUE(means) << m.describe();
        expectSameMeans(*means, *odds, m.describe());
        ++compared;
    }
    EXPECT_GT(compared, kMatchups * 4 / 5);
}

// A fighter in the middle of the window's ranges, with a shield, against a
// well-armoured Opponent: fights of a few dozen swings.
Matchup baseMatchup(FightMode mode) {
    Matchup m;
    m.you.strength = 120;
    m.you.dexterity = 150;
    m.you.armorRating = 40;
    m.you.weaponSkill = 110;
    m.you.tactics = 90;
    m.you.parry = 80;
    m.you.weaponSpeed = 40;
    m.you.diceCount = 2;
    m.you.diceSides = 6;
    m.you.damageBonus = 3;
    m.you.shieldIndex = 0;
    m.you.shieldAbsorb = 4;
    m.opp = m.you;
    m.opp.strength = 200;
    m.opp.armorRating = 70;
    m.opp.weaponSkill = 140;
    m.opp.weaponSpeed = 55;
    m.opp.diceCount = 3;
    m.opp.shieldIndex = -1;
    m.yourHp = 150;
    m.oppHp = 220;
    m.mode = mode;
    return m;
}

// Swings on every tick (delays 0 and 1), and hit points of 0 or less, which
// stop the fight on tick 0: a win only when Your one swing then fells the
// Opponent.
TEST(ExactPartsTest, MeansEqualExactOddsOnTick0AndEveryTick) {
    // Per 60 seconds the hit points do not matter, and its 6,000 swings a
    // side are dear for exactOdds' laws: once for each delay.
    const struct {
        int yourSpeed, yourHp, oppHp;
        bool per60;
    } cases[] = {{10000, 0, 5, true}, {10000, -3, 1, false}, {10000, 5, 0, false},
                 {10000, 40, 60, false}, {7500, 0, 3, true}, {7500, 30, 30, false}};
    ExactParts parts;
    for (const auto& c : cases) {
        for (const FightMode mode : {DamagePer60Seconds, ToDeathOfOpponent, ToTheDeath}) {
            if (mode == DamagePer60Seconds && !c.per60) continue;
            Matchup m = baseMatchup(mode);
            m.you.weaponSpeed = c.yourSpeed;  // delay 0, or 1 with Dex. 100
            m.you.dexterity = c.yourSpeed == 7500 ? 100 : 400;
            m.opp.weaponSpeed = 10000;
            m.opp.dexterity = 400;
            m.opp.armorRating = 0;  // blows of a few points
            m.yourHp = c.yourHp;
            m.oppHp = c.oppHp;
            ASSERT_TRUE(testing::withinRunLimits(m.you, m.opp, m.yourHp, m.oppHp, m.mode));
            const auto odds = exactOdds(m.you, m.opp, m.yourHp, m.oppHp, m.mode);
            ASSERT_TRUE(odds) << m.describe();
            const auto means = parts.means(m.you, m.opp, m.yourHp, m.oppHp, m.mode);
            ASSERT_TRUE(means) << m.describe();
            expectSameMeans(*means, *odds, m.describe());
        }
    }
}

// Fighters that differ only in values a part does not depend on take that
// part from the cache, and the figures still equal a fresh exactOdds. The
// counts are of the parts each change builds, in "Fight to the death",
// where both sides' passages are needed.
TEST(ExactPartsTest, ReusesPartsAcrossFightersThatDifferElsewhere) {
    struct Case {
        const char* name;
        std::function<void(Matchup&)> change;
        PartCounts builds;  // blow laws, passages in hits, in swings
    };
    const Case cases[] = {
        {"the first fight", [](Matchup&) {}, {2, 2, 2}},
        {"the same again", [](Matchup&) {}, {0, 0, 0}},
        // Swing timing alone: nothing new.
        {"your Dex.", [](Matchup& m) { m.you.dexterity = 310; }, {0, 0, 0}},
        {"your weapon speed", [](Matchup& m) { m.you.weaponSpeed = 25; }, {0, 0, 0}},
        // Your hit chance and the Opponent's move; no blow law does.
        {"your W. Skill", [](Matchup& m) { m.you.weaponSkill = 200; }, {0, 0, 2}},
        // Only the Opponent's blows at You.
        {"your A.R.", [](Matchup& m) { m.you.armorRating = 60; }, {1, 1, 1}},
        {"your Parry", [](Matchup& m) { m.you.parry = 160; }, {1, 1, 1}},
        {"your hit points", [](Matchup& m) { m.yourHp = 190; }, {0, 1, 1}},
        // Your blows, and with hit points following Str. the Opponent's
        // passage through them.
        {"your Str. and hit points",
         [](Matchup& m) {
             m.you.strength += 30;
             m.yourHp += 30;
         },
         {1, 2, 2}},
        {"your Tactics", [](Matchup& m) { m.you.tactics = 250; }, {1, 1, 1}},
        // A.R. 41 has the half of 40: the same blows.
        {"your A.R. by one", [](Matchup& m) { m.you.armorRating = 41; }, {0, 0, 0}},
    };
    ExactParts parts;
    for (const Case& c : cases) {
        Matchup m = baseMatchup(ToTheDeath);
        c.change(m);
        ASSERT_TRUE(testing::withinRunLimits(m.you, m.opp, m.yourHp, m.oppHp, m.mode)) << c.name;
        const PartCounts before = parts.built();
        const auto means = parts.means(m.you, m.opp, m.yourHp, m.oppHp, m.mode);
        ASSERT_TRUE(means) << c.name;
        const PartCounts after = parts.built();
        EXPECT_EQ(after.blowLaws - before.blowLaws, c.builds.blowLaws) << c.name;
        EXPECT_EQ(after.hitPassages - before.hitPassages, c.builds.hitPassages) << c.name;
        EXPECT_EQ(after.swingPassages - before.swingPassages, c.builds.swingPassages) << c.name;
        const auto odds = exactOdds(m.you, m.opp, m.yourHp, m.oppHp, m.mode);
        ASSERT_TRUE(odds) << c.name;
        expectSameMeans(*means, *odds, c.name);
    }
}

// Each mode builds only the parts it needs: per 60 seconds the blow laws;
// to the death of the opponent Your passage alone, never the Opponent's
// blows through Your hit points.
TEST(ExactPartsTest, BuildsOnlyThePartsTheModeNeeds) {
    const struct {
        FightMode mode;
        PartCounts builds;
    } cases[] = {{DamagePer60Seconds, {4, 0, 0}}, {ToDeathOfOpponent, {4, 1, 1}}};
    for (const auto& c : cases) {
        ExactParts parts;
        for (const int str : {0, 150, 300}) {
            Matchup m = baseMatchup(c.mode);
            m.opp.strength = str;  // the Opponent's blows only
            const auto means = parts.means(m.you, m.opp, m.yourHp, m.oppHp, m.mode);
            ASSERT_TRUE(means) << c.mode;
            const auto odds = exactOdds(m.you, m.opp, m.yourHp, m.oppHp, m.mode);
            ASSERT_TRUE(odds) << c.mode;
            expectSameMeans(*means, *odds, "mode " + std::to_string(c.mode));
        }
        EXPECT_EQ(parts.built().blowLaws, c.builds.blowLaws) << c.mode;
        EXPECT_EQ(parts.built().hitPassages, c.builds.hitPassages) << c.mode;
        EXPECT_EQ(parts.built().swingPassages, c.builds.swingPassages) << c.mode;
    }
}

// Threads sharing a cache get the very figures one thread gets, and each
// part is built once.
TEST(ExactPartsTest, ThreadsShareTheCache) {
    std::vector<Matchup> fights;
    for (const int str : {0, 100, 250}) {
        for (const int skill : {40, 180}) {
            for (const FightMode mode : {ToDeathOfOpponent, ToTheDeath}) {
                Matchup m = baseMatchup(mode);
                m.you.strength = str;
                m.yourHp = str + 30;
                m.you.weaponSkill = skill;
                fights.push_back(m);
            }
        }
    }
    ExactParts alone;
    std::vector<std::optional<ExactMeans>> expected;
    for (const Matchup& m : fights)
        expected.push_back(alone.means(m.you, m.opp, m.yourHp, m.oppHp, m.mode));

    ExactParts shared;
    std::vector<std::optional<ExactMeans>> got[2];
    const auto run = [&](int t) {
        // The two threads go through the fights in opposite orders.
        for (std::size_t i = 0; i < fights.size(); ++i) {
            const Matchup& m = fights[t == 0 ? i : fights.size() - 1 - i];
            got[t].push_back(shared.means(m.you, m.opp, m.yourHp, m.oppHp, m.mode));
        }
    };
    std::thread first(run, 0), second(run, 1);
    first.join();
    second.join();
    for (std::size_t i = 0; i < fights.size(); ++i) {
        for (int t = 0; t < 2; ++t) {
            const auto& g = got[t][t == 0 ? i : fights.size() - 1 - i];
            ASSERT_TRUE(g && expected[i]) << i;
            EXPECT_EQ(g->time, expected[i]->time) << i;
            EXPECT_EQ(g->damageGiven, expected[i]->damageGiven) << i;
            EXPECT_EQ(g->damageTaken, expected[i]->damageTaken) << i;
            EXPECT_EQ(g->winPercent, expected[i]->winPercent) << i;
        }
    }
    EXPECT_EQ(shared.built().blowLaws, alone.built().blowLaws);
    EXPECT_EQ(shared.built().hitPassages, alone.built().hitPassages);
    EXPECT_EQ(shared.built().swingPassages, alone.built().swingPassages);
}

// The parts decline what exactOdds declines, from the fighters alone, and
// the same whatever the cache holds.
TEST(ExactPartsTest, DeclinesWhatWouldTakeTooLong) {
    Matchup plain = baseMatchup(ToTheDeath);
    // 1000 dice of 1000 sides: their sums alone would take minutes.
    Matchup huge = plain;
    huge.you.diceCount = 1000;
    huge.you.diceSides = 1000;
    // Blows of 1 point at the smallest hit chance through 10^6 hit points:
    // millions of swings, each over a wide band of counts of hits.
    Matchup endless = plain;
    endless.you.weaponSkill = 0;
    endless.opp.weaponSkill = 300;
    endless.you.damageBonus = -1000;
    endless.opp.damageBonus = -1000;
    endless.yourHp = 1000000;
    endless.oppHp = 1000000;
    // A fight that answers and shares parts with the declined one: the plain
    // one shares the Opponent's blows at You with the huge dice; the endless
    // fighters per 60 seconds share both blow laws.
    Matchup endlessPer60 = endless;
    endlessPer60.mode = DamagePer60Seconds;
    const struct {
        const Matchup& declined;
        const Matchup& answered;
    } cases[] = {{huge, plain}, {endless, endlessPer60}};
    for (const auto& c : cases) {
        const Matchup& m = c.declined;
        ASSERT_TRUE(testing::withinRunLimits(m.you, m.opp, m.yourHp, m.oppHp, m.mode));
        ASSERT_TRUE(findExactOddsLimit(m.you, m.opp, m.yourHp, m.oppHp, m.mode)) << m.describe();
        ExactParts parts;
        const auto first = parts.limit(m.you, m.opp, m.yourHp, m.oppHp, m.mode);
        ASSERT_TRUE(first) << m.describe();
        EXPECT_GT(first->work, first->most);
        EXPECT_FALSE(parts.means(m.you, m.opp, m.yourHp, m.oppHp, m.mode)) << m.describe();
        const Matchup& a = c.answered;
        EXPECT_FALSE(parts.limit(a.you, a.opp, a.yourHp, a.oppHp, a.mode)) << a.describe();
        ASSERT_TRUE(parts.means(a.you, a.opp, a.yourHp, a.oppHp, a.mode)) << a.describe();
        EXPECT_GT(parts.built().blowLaws, 0);
        const auto again = parts.limit(m.you, m.opp, m.yourHp, m.oppHp, m.mode);
        ASSERT_TRUE(again) << m.describe();
        EXPECT_EQ(again->work, first->work) << m.describe();
    }
}

}  // namespace
}  // namespace skarn
