#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "model/fighter.h"
#include "data/platform_file_system.h"
#include "tests/support/files.h"

namespace skarn::model {
namespace {

// Field 8 when it holds a number within 32 bits; otherwise the Str. given.
TEST(HitPointsTest, AreField8OrElseStr) {
    testing::TempDir dir;
    testing::writeBytes(dir.path() / "charfile.cfg",
                        "[YourChars]\r\n"
                        "\"Stored\"\t\t\t100\t90\t100\t2\t30\t100\t80\t140\t\"- none -\"\t\t\"Katana\"\r\n"
                        "\"Short\"\t\t\t100\t90\t100\t2\t30\t100\t80\r\n"
                        "\"Word\"\t\t\t100\t90\t100\t2\t30\t100\t80\tmany\t\"- none -\"\t\t\"Katana\"\r\n"
                        "\"Huge\"\t\t\t100\t90\t100\t2\t30\t100\t80\t99999999999\t\"\"\t\"\"\r\n"
                        "[OppChars]\r\n"
                        "\"Stored\"\t\t\t100\t90\t100\t2\t30\t100\t80\t-7\t\"\"\t\"\"\r\n");
    PlatformFileSystem files;
    SectionFile file(dir.file("charfile.cfg"), files, SectionFile::Mode::ReadOnly);
    struct Case {
        const char* section;
        const char* name;
        HitPoints expected;
    };
    const Case cases[] = {
        {"YourChars", "Stored", {140, true}},   {"OppChars", "Stored", {-7, true}},
        {"YourChars", "Short", {55, false}},    {"YourChars", "Word", {55, false}},
        {"YourChars", "Huge", {55, false}},     {"YourChars", "Nobody", {55, false}},
        {"YourChars", "", {55, false}},         {"Missing", "Stored", {55, false}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(hitPointsOf(file, c.section, c.name, 55), c.expected) << c.section << " " << c.name;
}


// Each statistic and each of the weapon's numbers lands in its own member.
TEST(FighterTest, BecomesTheCombatantItDescribes) {
    Fighter f;
    f.stats[Stat::Strength] = 1;
    f.stats[Stat::Dexterity] = 2;
    f.stats[Stat::ArmorRating] = 3;
    f.stats[Stat::WeaponSkill] = 4;
    f.stats[Stat::Tactics] = 5;
    f.stats[Stat::Parry] = 6;
    f.weapon = {7, 8, 9, 10, 2};
    f.hasShield = true;
    f.shieldAbsorb = 11;
    const Combatant c = toCombatant(f);
    EXPECT_EQ(c.strength, 1);
    EXPECT_EQ(c.dexterity, 2);
    EXPECT_EQ(c.armorRating, 3);
    EXPECT_EQ(c.weaponSkill, 4);
    EXPECT_EQ(c.tactics, 5);
    EXPECT_EQ(c.parry, 6);
    EXPECT_EQ(c.weaponSpeed, 7);
    EXPECT_EQ(c.diceCount, 8);
    EXPECT_EQ(c.diceSides, 9);
    EXPECT_EQ(c.damageBonus, 10);
    EXPECT_EQ(c.shieldAbsorb, 11);
    EXPECT_EQ(c.shieldIndex, 0);
    f.hasShield = false;
    EXPECT_EQ(toCombatant(f).shieldIndex, -1);
}

// Copying into a program-wide combatant keeps its shield flag and what its
// last fight left.
TEST(FighterTest, CopyingKeepsTheShieldFlagAndTheFightState) {
    Combatant other;
    Combatant c;
    c.shieldIndex = 0;
    c.damageTaken = 12.0;
    c.swingDelay = 187;
    c.target = &other;
    Fighter f;
    f.stats[Stat::Tactics] = 42;
    copyInto(f, c);
    EXPECT_EQ(c.tactics, 42);
    EXPECT_EQ(c.shieldIndex, 0);
    EXPECT_EQ(c.damageTaken, 12.0);
    EXPECT_EQ(c.swingDelay, 187);
    EXPECT_EQ(c.target, &other);
}

}  // namespace
}  // namespace skarn::model
