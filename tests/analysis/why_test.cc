#include "analysis/why.h"

#include <cmath>
#include <cstdint>

#include <gtest/gtest.h>

#include "analysis/outcome.h"
#include "combat/random.h"
#include "tests/analysis/fighters.h"

namespace skarn::analysis {
namespace {

// Swings and fights sampled for each figure; an unoptimised build (the
// sanitizers' one) samples a tenth as many to stay within a few seconds,
// with the bound in standard errors as strict.
#ifdef __OPTIMIZE__
constexpr int kSwings = 200'000;
constexpr std::int64_t kFights = 100'000;
#else
constexpr int kSwings = 20'000;
constexpr std::int64_t kFights = 10'000;
#endif

// A sample's mean and its standard error.
struct Sampled {
    double mean = 0.0;
    double se = 0.0;
};

class Sample {
public:
    void add(double x) {
        ++n_;
        sum_ += x;
        sq_ += x * x;
    }
    Sampled result() const {
        const double mean = sum_ / n_;
        const double variance = (sq_ / n_ - mean * mean) * n_ / (n_ - 1);
        return {mean, std::sqrt(variance / n_)};
    }

private:
    double n_ = 0.0, sum_ = 0.0, sq_ = 0.0;
};

// The mean landed blow of `attacker` at `defender`, and the hit chance,
// from swings rolled with the fighters' own rolls on the real generator.
struct SampledSwings {
    Sampled hit, blow;
};
SampledSwings sampleSwings(const model::Fighter& attacker, const model::Fighter& defender,
                           std::uint32_t seed) {
    Combatant a = model::toCombatant(attacker);
    Combatant d = model::toCombatant(defender);
    a.setHitSkill();
    d.setHitSkill();
    Random rng(seed);
    Sample hits, blows;
    for (int i = 0; i < kSwings; ++i) {
        const bool landed = a.rollToHit(d, rng);
        hits.add(landed ? 1.0 : 0.0);
        if (landed) blows.add(a.rollDamage(rng));
    }
    return {hits.result(), blows.result()};
}

void expectWithin(double exact, Sampled sampled, const char* what) {
    EXPECT_LE(std::abs(exact - sampled.mean), 4.5 * sampled.se + 1e-12)
        << what << ": exact " << exact << ", sampled " << sampled.mean << " +- " << sampled.se;
}

TEST(WhyTest, AgreesWithSampledSwingsAndFights) {
    const model::Fighter knight = testing::knightFighter();
    const model::Fighter brute = testing::bruteFighter();
    const Why why = whyOf(knight, brute);
    std::uint32_t seed = 11;
    for (const auto& [side, attacker, defender] :
         {std::tuple{why.you, knight, brute}, std::tuple{why.opp, brute, knight}}) {
        const SampledSwings swings = sampleSwings(attacker, defender, seed++);
        expectWithin(side.hitChance, swings.hit, "hit chance");
        expectWithin(side.meanBlow, swings.blow, "mean blow");

        // The soaks are what the blows gain when the shield, then the
        // armour too, are taken away.
        model::Fighter unshielded = defender;
        unshielded.hasShield = false;
        model::Fighter bare = unshielded;
        bare.stats[model::Stat::ArmorRating] = 0;
        const Sampled withArmour = sampleSwings(attacker, unshielded, seed++).blow;
        const Sampled withNothing = sampleSwings(attacker, bare, seed++).blow;
        expectWithin(side.shieldSoak,
                     {withArmour.mean - swings.blow.mean, std::hypot(withArmour.se, swings.blow.se)},
                     "shield soak");
        expectWithin(side.armourSoak,
                     {withNothing.mean - withArmour.mean, std::hypot(withNothing.se, withArmour.se)},
                     "armour soak");

        // Seconds to fell the other: "to the death of the opponent", sampled.
        RunSettings settings;
        settings.mode = ToDeathOfOpponent;
        settings.seed = seed++;
        settings.fights = kFights;
        settings.threads = 1;
        const Outcome outcome = analyseOutcome(attacker, defender, settings);
        ASSERT_TRUE(outcome.intervals.time && side.secondsToFell && side.swingsToFell);
        expectWithin(*side.secondsToFell,
                     {outcome.intervals.time->mean, outcome.intervals.time->halfWidth() / 1.96},
                     "seconds to fell");
        EXPECT_NEAR(*side.swingsToFell * side.swingSeconds, *side.secondsToFell, 0.0100001);
    }
    EXPECT_EQ(why.you.parryChance, 0.0);  // the Brute carries no shield
    // The Knight's shield parries on draw % 101 <= Parry 80 / 2: remainders
    // 0 to 40, each of 325 of the 32,768 draw values (32768 = 101 * 324 + 44).
    EXPECT_DOUBLE_EQ(why.opp.parryChance, 41.0 * 325.0 / 32768.0);
}

TEST(WhyTest, NothingToSoakAndNothingToFell) {
    model::Fighter knight = testing::knightFighter();
    model::Fighter target = testing::bruteFighter();
    target.stats[model::Stat::ArmorRating] = 0;
    target.hitPoints = {0, true};
    const SideWhy side = whyOf(knight, target).you;
    EXPECT_EQ(side.parryChance, 0.0);
    EXPECT_EQ(side.armourSoak, 0.0);
    EXPECT_EQ(side.shieldSoak, 0.0);
    EXPECT_EQ(side.swingsToFell, 0.0);
    EXPECT_EQ(side.secondsToFell, 0.0);
    // The Knight's 40-speed sword at Dex. 100: 1500000 / 8000 = 187 ticks.
    EXPECT_DOUBLE_EQ(side.swingSeconds, 1.87);
}

}  // namespace
}  // namespace skarn::analysis
