#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "model/equipment.h"
#include "model/lookup.h"
#include "data/platform_file_system.h"
#include "tests/support/files.h"

namespace skarn::model {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

class EquipmentTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::writeBytes(dir_.path() / "equifile.cfg",
                            "[MaceWeapons]\r\n"
                            "\"Club\"\t30 3 8 4 1\r\n"
                            "\"Maul\"\t20 2 10 -3 2\r\n"
                            "\"Stick\"\t25 1 6 0\r\n"
                            "\"Cracked\"\t25 1 x 0 2\r\n"
                            "\"Huge\"\t25 1 6 99999999999 2\r\n"
                            "\"Broken\"\tfast 1 6 0 2\r\n"
                            "[Shields]\r\n"
                            "\"Kite\"\t5\r\n"
                            "\"Dented\"\tdent\r\n"
                            "\"Tower\"\t-99999999999\r\n");
        file_.emplace(dir_.file("equifile.cfg"), files_, SectionFile::Mode::ReadOnly);
    }
    SectionFile& file() { return *file_; }
    std::string in(const std::string& section) { return "in [" + section + "] of " + file().fileName(); }

private:
    testing::TempDir dir_;
    PlatformFileSystem files_;
    std::optional<SectionFile> file_;
};

// Fields 1 to 5 are read in order up to the first that fails; that one
// holds what the lookup left, and the problem names it.
TEST_F(EquipmentTest, LooksUpAWeaponsStatisticsInOrder) {
    // " in [MaceWeapons] of <the file>"
    const std::string mace = std::string(" ").append(in("MaceWeapons"));
    struct Case {
        const char* weapon;
        WeaponStats stats;
        int unreadField;
        bool hasStatistics;
        std::string problem;
    };
    const Case cases[] = {
        {"Club", {30, 3, 8, 4, 1}, 0, true, ""},
        {"Maul", {20, 2, 10, -3, 2}, 0, true, ""},
        {"Stick", {25, 1, 6, 0, 0}, 5, true, "cannot read field 5 (hands) of weapon \"Stick\"" + mace},
        {"Cracked", {25, 1, 0, 0, 0}, 3, false,
         "cannot read field 3 (diceSides) of weapon \"Cracked\"" + mace},
        {"Huge", {25, 1, 6, kMax, 0}, 4, false,
         "field 4 (damageBonus) of weapon \"Huge\"" + mace + " is 99999999999, out of the 32-bit range"},
        {"Broken", {0, 0, 0, 0, 0}, 1, false, "cannot read field 1 (speed) of weapon \"Broken\"" + mace},
        {"Axe", {0, 0, 0, 0, 0}, 1, false, "cannot read field 1 (speed) of weapon \"Axe\"" + mace},
    };
    for (const Case& c : cases) {
        const WeaponLookup w = lookupWeapon(file(), "MaceWeapons", c.weapon);
        EXPECT_EQ(w.stats, c.stats) << c.weapon;
        EXPECT_EQ(w.unreadField, c.unreadField) << c.weapon;
        EXPECT_EQ(w.hasStatistics(), c.hasStatistics) << c.weapon;
        EXPECT_EQ(w.problem, c.problem) << c.weapon;
    }
    // A section that does not exist, like the empty one of no weapon type.
    EXPECT_EQ(lookupWeapon(file(), "", "Club").unreadField, 1);
    EXPECT_EQ(lookupWeapon(file(), "SwordWeapons", "Club").problem,
              "cannot read field 1 (speed) of weapon \"Club\" " + in("SwordWeapons"));
}

// The hands count is read on its own, whatever the fields before it hold.
TEST_F(EquipmentTest, LooksUpTheHandsAlone) {
    EXPECT_EQ(lookupHands(file(), "MaceWeapons", "Broken").hands, 2);
    EXPECT_TRUE(lookupHands(file(), "MaceWeapons", "Broken").read);
    EXPECT_FALSE(lookupHands(file(), "MaceWeapons", "Stick").read);
    EXPECT_EQ(lookupHands(file(), "MaceWeapons", "Stick").hands, 0);
    EXPECT_FALSE(lookupHands(file(), "MaceWeapons", "Axe").read);
}

TEST_F(EquipmentTest, LooksUpAShieldsAbsorb) {
    const ShieldLookup kite = lookupShield(file(), "Kite");
    EXPECT_TRUE(kite.read);
    EXPECT_EQ(kite.absorb, 5);
    EXPECT_EQ(kite.problem, "");
    struct Case {
        const char* shield;
        std::string problem;
    };
    const Case failures[] = {
        {"- none -", "cannot read field 1 (absorb) of shield \"- none -\" " + in("Shields")},
        {"", "cannot read field 1 (absorb) of shield \"\" " + in("Shields")},
        {"Dented", "cannot read field 1 (absorb) of shield \"Dented\" " + in("Shields")},
        {"Tower", "field 1 (absorb) of shield \"Tower\" " + in("Shields") +
                      " is -99999999999, out of the 32-bit range"},
    };
    for (const Case& c : failures) {
        const ShieldLookup s = lookupShield(file(), c.shield);
        EXPECT_FALSE(s.read) << c.shield;
        EXPECT_EQ(s.problem, c.problem) << c.shield;
    }
}

TEST(QuoteNameTest, EscapesControlCharacters) {
    EXPECT_EQ(quoteName("Bob"), "\"Bob\"");
    EXPECT_EQ(quoteName("a\tb\nc\rd\x01" "e\x7f" "f\xc3\xa9"),
              "\"a\\tb\\nc\\rd\\x01e\\x7ff\xc3\xa9\"");
    // C1 controls in UTF-8 (U+009B is a terminal's CSI) are escaped too; a
    // lone byte that is not UTF-8, and U+00A0 just past them, are left.
    EXPECT_EQ(quoteName("x\xc2\x9b" "31m\xc2\x80\xc2\x9f\xc2\xa0\x9b\xc2"),
              "\"x\\u009b31m\\u0080\\u009f\xc2\xa0\x9b\xc2\"");
}

TEST(QuoteNameTest, EscapingMayKeepLineEnds) {
    EXPECT_EQ(escapeControls("a\x1b[2J\nb\r\n", true), "a\\x1b[2J\nb\\r\n");
    EXPECT_EQ(escapeControls("a\x1b[2J\nb\r\n", false), "a\\x1b[2J\\nb\\r\\n");
}

}  // namespace
}  // namespace skarn::model
