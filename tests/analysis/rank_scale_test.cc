// Scale factors and rankings on paired per-fight streams.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/rank.h"
#include "analysis/scale.h"
#include "tests/analysis/fighters.h"

namespace skarn::analysis {
namespace {

using skarn::testing::bruteFighter;
using skarn::testing::knightFighter;

RunSettings settingsFor(FightMode mode, std::int64_t fights) {
    RunSettings settings;
    settings.mode = mode;
    settings.seed = 11;
    settings.fights = fights;
    settings.threads = 2;
    return settings;
}

const StatScale& find(const Scale& scale, Stat stat) {
    for (const StatScale& s : scale.stats)
        if (s.stat == stat) return s;
    throw std::logic_error("stat missing");
}

TEST(ScaleTest, StatsThatCannotChangeTheDamageGivenScaleByExactlyZero) {
    // A.R. and Parry act only on the blows the Knight takes: fight by fight,
    // the damage it gives is the same.
    const Scale scale = scaleStats(knightFighter(), bruteFighter(), 10,
                                   settingsFor(DamagePer60Seconds, 3000));
    ASSERT_EQ(scale.result, Result::DamageGiven);
    ASSERT_EQ(scale.fights, 3000);
    for (const Stat stat : {Stat::ArmorRating, Stat::Parry}) {
        const StatScale& s = find(scale, stat);
        ASSERT_TRUE(s.perPoint) << model::statInfo(stat).caption;
        EXPECT_EQ(s.perPoint->mean, 0.0) << model::statInfo(stat).caption;
        EXPECT_EQ(s.perPoint->low, 0.0) << model::statInfo(stat).caption;
        EXPECT_EQ(s.perPoint->high, 0.0) << model::statInfo(stat).caption;
    }
    // More Tactics never lowers a blow: every fight gives as much or more.
    const StatScale& tactics = find(scale, Stat::Tactics);
    ASSERT_TRUE(tactics.perPoint);
    EXPECT_GT(tactics.perPoint->mean, 0.0);
    EXPECT_GE(tactics.perPoint->low, 0.0);
    // Best first: the zeros come after every gain.
    for (std::size_t i = 1; i < scale.stats.size(); ++i)
        EXPECT_GE(scale.stats[i - 1].perPoint->mean, scale.stats[i].perPoint->mean);
}

TEST(ScaleTest, HitPointsFollowStrOnlyWhenTheCharacterHasNoneStored) {
    const Fighter brute = bruteFighter();
    const RunSettings settings = settingsFor(ToTheDeath, 2000);
    Fighter follows = knightFighter();
    follows.hitPoints = {100, false};  // Str. 100 serves as hit points
    Fighter stored = knightFighter();
    stored.hitPoints = {100, true};

    const Scale followScale = scaleStats(follows, brute, 10, settings);
    const Scale keepScale = scaleStats(stored, brute, 10, settings);
    const StatScale& followed = find(followScale, Stat::Strength);
    const StatScale& kept = find(keepScale, Stat::Strength);
    EXPECT_TRUE(followed.hitPointsFollow);
    EXPECT_FALSE(kept.hitPointsFollow);

    // The factors are those of Str. 90 against 110 with the hit points moved
    // along, and held at 100.
    const auto factor = [&](const Fighter& base, bool move) {
        Job job;
        for (const std::int32_t str : {110, 90}) {
            Fighter f = base;
            f.stats[Stat::Strength] = str;
            if (move) f.hitPoints.value = str;
            job.variants.push_back(variantOf(f, brute));
        }
        job.pairs = {{0, 1}};
        job.pairedResult = Result::WinPercent;
        return runJob(job, settings).pairs[0].interval(Result::WinPercent)->mean / 20.0;
    };
    ASSERT_TRUE(followed.perPoint && kept.perPoint);
    EXPECT_DOUBLE_EQ(followed.perPoint->mean, factor(follows, true));
    EXPECT_DOUBLE_EQ(kept.perPoint->mean, factor(stored, false));
    EXPECT_NE(followed.perPoint->mean, kept.perPoint->mean);
}

TEST(ScaleTest, AStatAtTheEndOfItsRangeIsComparedOnOneSide) {
    Fighter values = knightFighter();
    values.stats[Stat::ArmorRating] = 100;  // the top of A.R.
    values.stats[Stat::Dexterity] = 3;      // near the bottom of Dex.
    const Scale scale = scaleStats(values, bruteFighter(), 10,
                                   settingsFor(ToTheDeath, 500));
    const StatScale& ar = find(scale, Stat::ArmorRating);
    EXPECT_EQ(ar.low, 90);
    EXPECT_EQ(ar.high, 100);
    EXPECT_TRUE(ar.oneSided());
    const StatScale& dex = find(scale, Stat::Dexterity);
    EXPECT_EQ(dex.low, 0);
    EXPECT_EQ(dex.high, 13);
    EXPECT_FALSE(dex.oneSided());
    const StatScale& str = find(scale, Stat::Strength);
    EXPECT_EQ(str.low, 90);
    EXPECT_EQ(str.high, 110);
    EXPECT_FALSE(str.oneSided());
}

TEST(RankTest, OrdersBestFirstWithPairedDifferencesToTheBest) {
    const Fighter brute = bruteFighter();
    const Fighter knight = knightFighter();
    std::vector<Candidate> candidates;
    const auto add = [&](const std::string& name, std::int32_t speed, std::int32_t dice) {
        Candidate c{name, knight};
        c.you.weaponName = name;
        c.you.weapon.speed = speed;
        c.you.weapon.diceCount = dice;
        candidates.push_back(c);
    };
    add("slow", 20, 2);
    add("heavy", 40, 4);
    add("heavy twin", 40, 4);  // the same weapon under another name
    add("plain", 40, 2);
    const Ranking ranking = rank(candidates, brute, RankBy::Weapon, settingsFor(ToTheDeath, 3000));
    ASSERT_EQ(ranking.result, Result::WinPercent);
    ASSERT_EQ(ranking.entries.size(), 4u);
    EXPECT_EQ(ranking.entries[0].candidate.name, "heavy");  // ties keep the candidates' order
    EXPECT_EQ(ranking.entries[1].candidate.name, "heavy twin");
    EXPECT_EQ(ranking.entries[3].candidate.name, "slow");
    const Interval zero{0.0, 0.0, 0.0};
    for (std::size_t i = 0; i < ranking.entries.size(); ++i) {
        const RankEntry& e = ranking.entries[i];
        ASSERT_TRUE(e.versusBest) << e.candidate.name;
        if (i > 0) {
            EXPECT_GE(ranking.entries[i - 1].value, e.value);
        }
        EXPECT_NEAR(e.versusBest->mean, e.value - ranking.entries[0].value, 1e-9) << e.candidate.name;
    }
    // The best itself, and its twin on the same dice, differ by exactly nothing.
    for (std::size_t i : {0, 1}) {
        EXPECT_EQ(ranking.entries[i].versusBest->mean, zero.mean);
        EXPECT_EQ(ranking.entries[i].versusBest->low, zero.low);
        EXPECT_EQ(ranking.entries[i].versusBest->high, zero.high);
    }
    EXPECT_LT(ranking.entries[3].versusBest->high, 0.0);
}

}  // namespace
}  // namespace skarn::analysis
