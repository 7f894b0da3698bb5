#include "analysis/curve.h"

#include <gtest/gtest.h>

#include "analysis/main_result.h"
#include "tests/analysis/fighters.h"

namespace skarn::analysis {
namespace {

using model::Stat;

ExactOdds oddsOf(FightMode mode, std::optional<double> win, double taken, double given,
                 double time) {
    ExactOdds odds;
    odds.mode = mode;
    if (win) odds.winPercent = ExactFigure{*win, 0.0};
    odds.damageTaken.mean = taken;
    odds.damageGiven.mean = given;
    odds.time.mean = time;
    return odds;
}

TEST(MainResultTest, OrdersByTheModesKeyAndTiesWithinFiveHundredths) {
    struct Case {
        const char* what;
        ExactOdds a, b;
        int better;  // -1: a, 1: b, 0: equal
        bool tied;   // a with b as the best
    };
    const Case cases[] = {
        {"death: win % first", oddsOf(ToTheDeath, 60, 90, 0, 30), oddsOf(ToTheDeath, 50, 10, 0, 10),
         -1, false},
        {"death: equal wins, less damage taken", oddsOf(ToTheDeath, 100, 20, 0, 30),
         oddsOf(ToTheDeath, 100, 30, 0, 10), -1, false},
        {"death: then the shorter fight", oddsOf(ToTheDeath, 0, 20, 0, 30),
         oddsOf(ToTheDeath, 0, 20, 0, 10), 1, false},
        {"death: 0.05 points apart is a tie", oddsOf(ToTheDeath, 50.05, 20, 0, 30),
         oddsOf(ToTheDeath, 50, 20, 0, 30), -1, true},
        {"death: just over 0.05 is not", oddsOf(ToTheDeath, 50.0501, 20, 0, 30),
         oddsOf(ToTheDeath, 50, 20, 0, 30), -1, false},
        {"opponent: the shorter fight first", oddsOf(ToDeathOfOpponent, {}, 90, 0, 10),
         oddsOf(ToDeathOfOpponent, {}, 10, 0, 20), -1, false},
        {"damage60: given less taken", oddsOf(DamagePer60Seconds, {}, 50, 80, 60),
         oddsOf(DamagePer60Seconds, {}, 10, 50, 60), 1, false},
        {"damage60: equal margins, less taken", oddsOf(DamagePer60Seconds, {}, 10, 50, 60),
         oddsOf(DamagePer60Seconds, {}, 20, 60, 60), -1, false},
        {"damage60: a second key apart breaks the tie", oddsOf(DamagePer60Seconds, {}, 20.03, 60, 60),
         oddsOf(DamagePer60Seconds, {}, 20, 60.06, 60), 1, false},
        {"equal", oddsOf(ToDeathOfOpponent, {}, 10, 0, 10), oddsOf(ToDeathOfOpponent, {}, 10, 0, 10),
         0, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(compareMain(c.a, c.b), c.better) << c.what;
        EXPECT_EQ(compareMain(c.b, c.a), -c.better) << c.what;
        EXPECT_EQ(tiedWith(c.a, c.b), c.tied) << c.what;
    }
}

double figureOf(const Fighter& you, const Fighter& opp, FightMode mode) {
    ExactRefusal declined;
    const auto outcome = exactOutcome(you, opp, mode, declined);
    EXPECT_TRUE(outcome) << declined.message();
    return outcome ? mainFigure(outcome->odds) : 0.0;
}

TEST(CurveTest, PointsAndChangesAreSingleOutcomes) {
    Fighter knight = testing::knightFighter();
    knight.stats[Stat::Tactics] = 295;  // near the top of 0..300: +10 is clipped
    const Fighter brute = testing::bruteFighter();
    for (const FightMode mode : {DamagePer60Seconds, ToDeathOfOpponent, ToTheDeath}) {
        ExactSettings settings;
        settings.mode = mode;
        ExactRefusal declined;
        bool cancelled = false;
        const auto curves = exactCurves(knight, brute, {Stat::Tactics, Stat::ArmorRating}, 60, 10,
                                        true, settings, declined, cancelled);
        ASSERT_TRUE(curves) << declined.message();
        EXPECT_DOUBLE_EQ(curves->now, figureOf(knight, brute, mode));
        for (const StatCurve& curve : curves->stats) {
            const model::StatInfo& info = model::statInfo(curve.stat);
            ASSERT_FALSE(curve.points.empty());
            EXPECT_EQ(curve.points.front().value, info.low);
            EXPECT_EQ(curve.points.back().value, info.high);
            for (const CurvePoint& p : curve.points) {
                EXPECT_DOUBLE_EQ(p.figure, figureOf(model::withStat(knight, curve.stat, p.value, true),
                                                    brute, mode))
                    << model::statInfo(curve.stat).caption << " " << p.value;
            }
            for (const auto& change : {curve.minus, curve.plus, curve.next}) {
                ASSERT_TRUE(change);
                EXPECT_DOUBLE_EQ(change->change,
                                 figureOf(model::withStat(knight, curve.stat, change->value, true),
                                          brute, mode) -
                                     curves->now);
            }
        }
        const StatCurve& tactics = curves->stats[0];
        EXPECT_EQ(tactics.minus->value, 285);
        EXPECT_EQ(tactics.plus->value, 300);  // clipped to the range
        EXPECT_EQ(tactics.next->value, 296);
    }
}

TEST(CurveTest, HitPointsFollowStrOnlyWhenAsked) {
    Fighter knight = testing::knightFighter();  // Str. 100, 100 hit points stored
    knight.hitPoints = {150, true};
    const Fighter brute = testing::bruteFighter();
    ExactSettings settings;
    settings.mode = ToTheDeath;
    for (const bool follow : {true, false}) {
        ExactRefusal declined;
        bool cancelled = false;
        const auto curves = exactCurves(knight, brute, {Stat::Strength}, 400, 10, follow, settings,
                                        declined, cancelled);
        ASSERT_TRUE(curves) << declined.message();
        Fighter weaker = knight;
        weaker.stats[Stat::Strength] = 90;
        weaker.hitPoints.value = follow ? 140 : 150;
        EXPECT_DOUBLE_EQ(curves->stats[0].minus->change,
                         figureOf(weaker, brute, ToTheDeath) - curves->now)
            << "follow " << follow;
        Fighter stronger = knight;
        stronger.stats[Stat::Strength] = 400;
        stronger.hitPoints.value = follow ? 450 : 150;
        EXPECT_DOUBLE_EQ(curves->stats[0].points.back().figure, figureOf(stronger, brute, ToTheDeath));
    }
}

}  // namespace
}  // namespace skarn::analysis
