#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/run_check.h"
#include "model/stats.h"
#include "tests/combat/fighter_values.h"

namespace skarn::model {
namespace {

using testing::FighterValues;

// The main window's ranges, with weapons up to speed 200 and 100 dice of 100
// sides, bonuses of +-1000 and 10,000 hit points, may always run in modes 0
// and 2, up to 10^9 fights: every pairing of the weakest, the strongest and a
// typical fighter, and the longest fights these values allow.
TEST(FindRunFaultTest, LetsTheWindowsRangesThrough) {
    FighterValues low, high, typical;
    low.strength = low.dexterity = low.armorRating = low.tactics = low.weaponSkill = low.parry = 0;
    low.weaponSpeed = 1;
    low.diceCount = 0;
    low.damageBonus = -1000;
    high.strength = high.dexterity = 400;
    high.armorRating = 100;
    high.tactics = high.weaponSkill = high.parry = 300;
    high.weaponSpeed = 200;
    high.diceCount = 100;
    high.diceSides = 100;
    high.damageBonus = 1000;
    high.shieldIndex = 0;
    high.shieldAbsorb = 1000;
    // Blows of 1 from 100 dice, the most work a blow can be: as long as the
    // fights of 10,000 hit points get, with all the dice to draw.
    FighterValues feeble = high;
    feeble.strength = feeble.tactics = 0;
    feeble.diceSides = 1;
    feeble.damageBonus = -1000;
    feeble.weaponSkill = 0;
    FighterValues sure = feeble;  // lands every swing on a W. Skill of 0
    sure.weaponSkill = 300;
    // The longest: 8 swings in 101 land against every swing, with swing delays
    // in the ratio that lets neither side fall first (225 and 2840 ticks).
    FighterValues quick = feeble, slow = sure;
    quick.weaponSpeed = 14;
    quick.dexterity = 375;
    slow.weaponSpeed = 2;
    slow.dexterity = 164;
    struct Pair { const FighterValues* you; const FighterValues* opp; const char* what; };
    std::vector<Pair> pairs = {{&feeble, &feeble, "feeble"}, {&quick, &slow, "balanced"},
                               {&slow, &quick, "balanced, sides swapped"},
                               {&feeble, &sure, "feeble against sure"}};
    const FighterValues* corners[] = {&low, &high, &typical};
    for (const FighterValues* you : corners)
        for (const FighterValues* opp : corners) pairs.push_back({you, opp, "corner"});
    for (FightMode mode : {DamagePer60Seconds, ToTheDeath}) {
        for (const Pair& p : pairs) {
            const auto fault =
                findRunFault(p.you->make(), p.opp->make(), 10000, 10000, mode, 1000000000);
            EXPECT_FALSE(fault) << "mode " << mode << " " << p.what << ": " << fault->message();
        }
    }
    // Mode 1 too, where the You side can fell the Opponent.
    for (const Pair& p : {Pair{&high, &low, "high against low"}, Pair{&typical, &low, "typical against low"},
                          Pair{&sure, &feeble, "sure against feeble"}}) {
        EXPECT_FALSE(findRunFault(p.you->make(), p.opp->make(), 10000, 10000, ToDeathOfOpponent, 2187))
            << p.what;
    }
}

TEST(FindRunFaultTest, NamesTheSideAndTheValue) {
    struct F { const char* what; FighterValues you, opp; int yourHp, oppHp; FightMode mode;
               std::int64_t fights; std::string message; };
    FighterValues ok, noSpeed, lowDex, noSides, lowArmour, fast;
    noSpeed.weaponSpeed = 0;
    lowDex.dexterity = -100;
    noSides.diceSides = 0;
    lowArmour.armorRating = -2;  // A.R. / 2 + 1 would be 0
    fast.weaponSpeed = 10001;
    const F cases[] = {
        {"speed 0", ok, noSpeed, 100, 100, ToTheDeath, 3,
         "Opponent: weapon speed 0 is out of range (1 to 10000)."},
        {"speed 10001", fast, ok, 100, 100, ToTheDeath, 3,
         "You: weapon speed 10001 is out of range (1 to 10000)."},
        {"dex -100", lowDex, ok, 100, 100, DamagePer60Seconds, 3,
         "You: Dex. -100 is out of range (0 to 400)."},
        {"A.R. -2", ok, lowArmour, 100, 100, DamagePer60Seconds, 3,
         "Opponent: A.R. -2 is out of range (0 to 100)."},
        {"sides 0", noSides, ok, 100, 100, DamagePer60Seconds, 3,
         "You: dice sides 0 is out of range (1 to 1000)."},
        {"hit points", ok, ok, 100, 2000000, ToDeathOfOpponent, 3,
         "Opponent: hit points 2000000 is out of range (-1000000 to 1000000)."},
        {"no fights", ok, ok, 100, 100, DamagePer60Seconds, 0,
         "number of fights 0 is out of range (1 to 1000000000)."},
    };
    for (const F& f : cases) {
        const auto fault = findRunFault(f.you.make(), f.opp.make(), f.yourHp, f.oppHp, f.mode, f.fights);
        ASSERT_TRUE(fault) << f.what;
        EXPECT_EQ(fault->message(), f.message) << f.what;
    }
    // Hit points that no stop rule uses are not checked.
    EXPECT_FALSE(findRunFault(ok.make(), ok.make(), 2000000, 2000000, DamagePer60Seconds, 3));
    EXPECT_FALSE(findRunFault(ok.make(), ok.make(), 2000000, 100, ToDeathOfOpponent, 3));
}

// The slowest fighter, doing 1 point a blow and landing 8 swings in 101, needs
// about 2 * 10^9 ticks to fell 10,000 hit points in mode 1, while the
// Opponent swings every 15 ticks: refused, not left to run for hours.
TEST(FindRunFaultTest, RefusesFightsThatWouldNotEndInReasonableTime) {
    FighterValues weak, fast;
    weak.weaponSkill = 0;
    weak.weaponSpeed = 1;
    weak.dexterity = 0;
    weak.diceCount = 0;
    weak.damageBonus = 0;
    weak.strength = 0;
    fast.weaponSkill = 300;
    fast.weaponSpeed = 200;
    fast.dexterity = 400;
    fast.armorRating = 100;
    const auto fault = findRunFault(weak.make(), fast.make(), 10000, 10000, ToDeathOfOpponent, 3);
    ASSERT_TRUE(fault);
    EXPECT_TRUE(fault->tooLong);
    EXPECT_GT(fault->value, 100 * fault->high);
    // The same pair in mode 2 ends when the fast side fells the weak one.
    EXPECT_FALSE(findRunFault(weak.make(), fast.make(), 10000, 10000, ToTheDeath, 3));

    RunFault tooLong;
    tooLong.value = 38042;
    tooLong.high = 2500;
    tooLong.tooLong = true;
    EXPECT_EQ(tooLong.message(), "Fights would last too long (about 38.0 ms each, at most 2.5 ms).");
}


// Each statistic may take the ends of its range and nothing beyond them, on
// either side; the fault names it by its caption.
TEST(FindRunFaultTest, ChecksEachStatisticAgainstItsRange) {
    struct Member {
        Stat stat;
        int FighterValues::*member;
    };
    const Member members[] = {
        {Stat::Strength, &FighterValues::strength},       {Stat::Dexterity, &FighterValues::dexterity},
        {Stat::ArmorRating, &FighterValues::armorRating}, {Stat::WeaponSkill, &FighterValues::weaponSkill},
        {Stat::Tactics, &FighterValues::tactics},         {Stat::Parry, &FighterValues::parry},
    };
    const FighterValues ok;
    for (const Member& m : members) {
        const StatInfo& info = statInfo(m.stat);
        for (const int value : {info.low, info.high}) {
            FighterValues f;
            f.*m.member = value;
            EXPECT_FALSE(findRunFault(f.make(), f.make(), 100, 100, ToTheDeath, 3))
                << info.caption << " " << value;
        }
        FighterValues over, under;
        over.*m.member = info.high + 1;
        under.*m.member = info.low - 1;
        const auto high = findRunFault(over.make(), ok.make(), 100, 100, ToTheDeath, 3);
        ASSERT_TRUE(high) << info.caption;
        EXPECT_EQ(high->message(), std::string("You: ") + info.caption + " " +
                                       std::to_string(info.high + 1) + " is out of range (0 to " +
                                       std::to_string(info.high) + ").");
        const auto low = findRunFault(ok.make(), under.make(), 100, 100, ToTheDeath, 3);
        ASSERT_TRUE(low) << info.caption;
        EXPECT_EQ(low->message(), std::string("Opponent: ") + info.caption + " -1 is out of range (0 to " +
                                      std::to_string(info.high) + ").");
    }
}


// Fighters are checked as they would be run: their hit points, and their
// shield's absorb only when they carry the shield.
TEST(FindRunFaultTest, ChecksFightersAsTheyWouldBeRun) {
    Fighter you, opp;
    you.stats[Stat::WeaponSkill] = opp.stats[Stat::WeaponSkill] = 100;
    you.weapon = opp.weapon = {40, 2, 6, 2, 1};
    you.hitPoints = {100, true};
    opp.hitPoints = {2000000, false};
    const auto fault = findRunFault(you, opp, ToDeathOfOpponent, 3);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->message(), "Opponent: hit points 2000000 is out of range (-1000000 to 1000000).");
    opp.hitPoints.value = 100;
    EXPECT_FALSE(findRunFault(you, opp, ToDeathOfOpponent, 3));
    opp.shieldAbsorb = 200000;
    EXPECT_FALSE(findRunFault(you, opp, ToDeathOfOpponent, 3));
    opp.hasShield = true;
    ASSERT_TRUE(findRunFault(you, opp, ToDeathOfOpponent, 3));
    EXPECT_EQ(findRunFault(you, opp, ToDeathOfOpponent, 3)->message(),
              "Opponent: shield absorb 200000 is out of range (-100000 to 100000).");
}

}  // namespace
}  // namespace skarn::model
