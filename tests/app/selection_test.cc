// The character, weapon and shield lists of the main window: filled from
// small data files, and chosen in as a user does.

#include <cstdint>
#include <string>
#include <vector>

#include <QString>
#include <QTest>

#include <gtest/gtest.h>

#include "app/simulator_dialog.h"
#include "data/records.h"
#include "resources/resource_ids.h"
#include "tests/app/window_fixture.h"

namespace skarn {
namespace {

namespace sim = ids::simulator;
using testing::crlf;
using Side = SimulatorDialog::Side;
using Strings = std::vector<std::string>;

// A character line as a hand-edited file may hold it: every field as text.
std::string character(const std::string& name, const std::string& numbers, const std::string& shield,
                      const std::string& weapon) {
    return "\"" + name + "\"\t" + numbers + "\t\"" + shield + "\"\t\"" + weapon + "\"";
}

const std::string kEquipment = crlf({
    "[FencingWeapons]",
    "\"Rapier\"\t30\t1\t8\t2\t1",
    "[MaceWeapons]",
    "\"Club\"\t25\t2\t4\t1\t1",
    "\"Maul\"\t20\t3\t6\t4\t2",
    "[SwordWeapons]",
    "\"Katana\"\t40\t2\t5\t3\t1",
    "\"Longsword\"\t35\t2\t6\t2",  // no hands field: one hand
    "\"Broken\"\tsharp\t1\t4\t0\t1",
    "[Wrestling]",
    "\"Fists\"\t60\t1\t3\t0\t1",
    "\"\"\t10\t1\t1\t0\t1",
    "[Shields]",
    "\"Kite shield\"\t5",
    "\"buckler\"\t2",
    "\"\"\t9",
});

// Bob's hit points (120) differ from his Str. (100).
const std::string kChars = crlf({
    "[YourChars]",
    character("Bob", "100\t90\t100\t2\t30\t100\t80\t120", "Kite shield", "Katana"),
    character("ann", "50\t60\t70\t0\t10\t20\t30\t50", "- none -", "Rapier"),
    character("Cid", "60\t61\t62\t2\t13\t14\t15\t60", "Tower shield", "Excalibur"),
    character("Dan", "60\t60\t60\t1\t10\t10\t10\t60", "Kite shield", "Maul"),
    character("Eve", "60\t60\t60\t7\t10\t10\t10\t60", "buckler", "Katana"),
    character("Fay", "60\t60\t60\t2\t10\t10\t10\t60", "buckler", "long"),
    character("Gus", "70\t71\t72\t2\tstrong\t10\t10\t60", "buckler", "Katana"),
    character("Hal", "450\t60\t60\t2\t10\t10\t10\t60", "buckler", "Katana"),
    character("Ike", "450\t60\t60\t9\t10\t10\t10\t60", "buckler", "Katana"),
    character("Lee", "60\t60\t60\t2\t10\t10\t10\t60", "buckler", "Broken"),
    character("", "1\t1\t1\t1\t1\t1\t1\t1", "", ""),
    "[OppChars]",
    character("Orc", "200\t100\t99\t1\t50\t51\t52\t250", "buckler", "Club"),
    character("Bob", "77\t66\t55\t3\t44\t33\t22\t77", "- none -", "Fists"),
});

class SelectionTest : public testing::WindowTest {
protected:
    SimulatorDialog& open(const std::string& equipment = kEquipment) {
        return WindowTest::open(kChars, equipment);
    }

    // The number field of a side by its member's role, "Strength" and so on.
    Edit* field(const Side& side, const char* role) {
        const QString name = QString(side.name == "You" ? "your" : "opp") + role;
        return window().findChild<Edit*>(name);
    }
    ComboBox* typeList(const Side& side) {
        return window().comboBox(side.name == "You" ? sim::kYourWeaponTypeList : sim::kOppWeaponTypeList);
    }
};

// A stored character, chosen on either side, shows in every field and list;
// the weapon list is refilled for its type and its equipment is looked up.
TEST_F(SelectionTest, AStoredCharacterLoadsIntoEveryFieldAndList) {
    struct Case {
        bool you;
        const char* name;
        std::int32_t numbers[6];  // Str., Dex., W. Skill, A.R., Tactics, Parry
        const char* type;
        Strings weapons;
        const char* weapon;
        std::int32_t stats[4];  // speed, dice count, dice sides, bonus
        const char* shield;
        std::int32_t absorb;
    };
    const Case cases[] = {
        {true, "Bob", {100, 90, 100, 30, 100, 80}, "Sword", {"Broken", "Katana", "Longsword"}, "Katana",
         {40, 2, 5, 3}, "Kite shield", 5},
        {false, "Orc", {200, 100, 99, 50, 51, 52}, "Mace", {"Club", "Maul"}, "Club", {25, 2, 4, 1},
         "buckler", 2},
    };
    for (const Case& c : cases) {
        SimulatorDialog& w = open();
        Side& side = c.you ? w.yourSide() : w.oppSide();
        Side& other = c.you ? w.oppSide() : w.yourSide();
        choose(side.characterList, c.name);

        const char* roles[] = {"Strength", "Dexterity", "WeaponSkill", "ArmorRating", "Tactics", "Parry"};
        const std::int32_t members[] = {side.strength, side.dexterity,   side.weaponSkill,
                                        side.armorRating, side.tactics, side.parry};
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(members[i], c.numbers[i]) << c.name << ' ' << roles[i];
            EXPECT_EQ(field(side, roles[i])->text(), QString::number(c.numbers[i])) << c.name << ' ' << roles[i];
        }
        EXPECT_EQ(side.characterName, c.name);
        EXPECT_EQ(side.characterList->selectedEntry(), c.name);
        EXPECT_EQ(typeList(side)->selectedEntry(), c.type) << c.name;
        EXPECT_EQ(entries(side.weaponList), c.weapons) << c.name;
        EXPECT_EQ(side.weaponList->selectedEntry(), c.weapon) << c.name;
        EXPECT_EQ(side.weaponName, c.weapon) << c.name;
        const std::int32_t stats[] = {side.weaponSpeed, side.diceCount, side.diceSides, side.damageBonus};
        for (int i = 0; i < 4; ++i) EXPECT_EQ(stats[i], c.stats[i]) << c.name << " statistic " << i;
        EXPECT_EQ(side.shieldList->selectedEntry(), c.shield) << c.name;
        EXPECT_EQ(side.shieldName, c.shield) << c.name;
        EXPECT_EQ(side.shieldAbsorb, c.absorb) << c.name;
        EXPECT_EQ(side.combatant.shieldIndex, 0) << c.name;

        // The other side is untouched.
        EXPECT_EQ(other.strength, 0) << c.name;
        EXPECT_EQ(other.weaponList->count(), 0) << c.name;
        EXPECT_EQ(other.shieldList->curSel(), -1) << c.name;
        EXPECT_TRUE(messages.shown().empty()) << c.name;
    }
}

TEST_F(SelectionTest, ListsAreFilledFromTheDataFiles) {
    SimulatorDialog& w = open();
    // Sorted ignoring case; an empty name is an entry of the character and
    // shield lists, never of a weapon list.
    EXPECT_EQ(entries(w.yourCharacterList),
              (Strings{"", "ann", "Bob", "Cid", "Dan", "Eve", "Fay", "Gus", "Hal", "Ike", "Lee"}));
    EXPECT_EQ(entries(w.oppCharacterList), (Strings{"Bob", "Orc"}));
    for (ComboBox* shields : {w.yourShieldList, w.oppShieldList})
        EXPECT_EQ(entries(shields), (Strings{"", "- none -", "buckler", "Kite shield"}));
    choose(typeList(w.oppSide()), "Wrestling");
    EXPECT_EQ(entries(w.oppWeaponList), (Strings{"Fists"}));
    EXPECT_EQ(w.yourWeaponList->count(), 0);

    // A character without a name loads like any other.
    choose(w.yourCharacterList, "");
    EXPECT_EQ(w.yourStrength, 0) << "an empty name is never found";
    EXPECT_EQ(w.yourWeaponType, -1);
}

TEST_F(SelectionTest, WithoutAShieldsSectionEverySideEndsWithNoShield) {
    const std::string noShields = crlf({"[SwordWeapons]", "\"Katana\"\t40\t2\t5\t3\t1"});
    SimulatorDialog& w = open(noShields);
    EXPECT_EQ(w.yourShieldList->count(), 0);
    EXPECT_EQ(w.oppShieldList->count(), 0);
    choose(w.yourCharacterList, "Bob");
    EXPECT_EQ(w.yourShieldName, NoneEntry);
    EXPECT_EQ(w.yourSide().combatant.shieldIndex, -1);
    EXPECT_EQ(w.yourWeaponName, "Katana");
    EXPECT_EQ(w.yourWeaponSpeed, 40);
}

// A stored weapon the section does not hold leaves no weapon chosen; a
// stored shield the list does not hold leaves the shield shown before, and
// the side carries that one.
TEST_F(SelectionTest, EquipmentNotInItsListLeavesNoWeaponAndTheShieldShownBefore) {
    SimulatorDialog& w = open();
    choose(w.yourCharacterList, "Bob");
    choose(w.yourCharacterList, "Cid");
    EXPECT_EQ(w.yourStrength, 60);
    EXPECT_EQ(w.yourTactics, 14);
    EXPECT_EQ(typeList(w.yourSide())->selectedEntry(), "Sword");
    EXPECT_EQ(w.yourWeaponList->count(), 3);
    EXPECT_EQ(w.yourWeaponList->curSel(), -1);
    EXPECT_EQ(w.yourWeaponName, "");
    EXPECT_EQ(w.yourShieldList->selectedEntry(), "Kite shield");
    EXPECT_EQ(w.yourShieldName, "Kite shield");
    EXPECT_EQ(w.yourSide().combatant.shieldIndex, 0);

    // On a fresh window there is no shield shown before: none.
    SimulatorDialog& fresh = open();
    choose(fresh.yourCharacterList, "Cid");
    EXPECT_EQ(fresh.yourShieldName, NoneEntry);
    EXPECT_EQ(fresh.yourShieldList->selectedEntry(), NoneEntry);
    EXPECT_EQ(fresh.yourSide().combatant.shieldIndex, -1);
}

TEST_F(SelectionTest, TwoHandedWeaponLeavesNoShieldInEitherOrder) {
    // Stored with a shield: the load drops it.
    SimulatorDialog& w = open();
    choose(w.yourCharacterList, "Dan");
    EXPECT_EQ(w.yourWeaponName, "Maul");
    EXPECT_EQ(w.yourWeaponSpeed, 20);
    EXPECT_EQ(w.yourShieldName, NoneEntry);
    EXPECT_EQ(w.yourShieldList->selectedEntry(), NoneEntry);
    EXPECT_EQ(w.yourSide().combatant.shieldIndex, -1);
    // Any shield chosen afterwards turns straight back to none.
    choose(w.yourShieldList, "Kite shield");
    EXPECT_EQ(w.yourShieldName, NoneEntry);
    EXPECT_EQ(w.yourShieldList->selectedEntry(), NoneEntry);
    EXPECT_EQ(w.yourSide().combatant.shieldIndex, -1);

    // Shield first, then the weapon.
    SimulatorDialog& v = open();
    choose(v.oppCharacterList, "Orc");
    ASSERT_EQ(v.oppSide().combatant.shieldIndex, 0);
    choose(v.oppWeaponList, "Maul");
    EXPECT_EQ(v.oppShieldName, NoneEntry);
    EXPECT_EQ(v.oppShieldList->selectedEntry(), NoneEntry);
    EXPECT_EQ(v.oppSide().combatant.shieldIndex, -1);
    EXPECT_EQ(v.oppDiceCount, 3);
    // A one-handed weapon leaves the shield as it is; a shield may then be chosen.
    choose(v.oppWeaponList, "Club");
    EXPECT_EQ(v.oppShieldName, NoneEntry);
    choose(v.oppShieldList, "Kite shield");
    EXPECT_EQ(v.oppShieldName, "Kite shield");
    EXPECT_EQ(v.oppShieldAbsorb, 5);
    EXPECT_EQ(v.oppSide().combatant.shieldIndex, 0);
}

TEST_F(SelectionTest, ChoosingNoneOrAnUnnamedShieldCarriesNoShield) {
    SimulatorDialog& w = open();
    choose(w.yourCharacterList, "Bob");
    for (const char* none : {"- none -", ""}) {
        choose(w.yourShieldList, "Kite shield");
        ASSERT_EQ(w.yourSide().combatant.shieldIndex, 0);
        choose(w.yourShieldList, none);
        EXPECT_EQ(w.yourShieldName, NoneEntry) << '"' << none << '"';
        EXPECT_EQ(w.yourShieldList->selectedEntry(), NoneEntry) << '"' << none << '"';
        EXPECT_EQ(w.yourSide().combatant.shieldIndex, -1) << '"' << none << '"';
        EXPECT_EQ(w.yourShieldAbsorb, 5) << "kept, but not used";
    }
}

TEST_F(SelectionTest, ChangingTheWeaponTypeEmptiesTheWeaponOnly) {
    SimulatorDialog& w = open();
    choose(w.yourCharacterList, "Bob");
    choose(typeList(w.yourSide()), "Fencing");
    EXPECT_EQ(w.yourWeaponType, 0);
    EXPECT_EQ(entries(w.yourWeaponList), (Strings{"Rapier"}));
    EXPECT_EQ(w.yourWeaponList->curSel(), -1);
    EXPECT_EQ(w.yourWeaponName, "");
    EXPECT_EQ(w.yourWeaponSpeed, 40) << "the statistics stay until a weapon is chosen";
    EXPECT_EQ(w.yourShieldName, "Kite shield");
    EXPECT_EQ(w.yourSide().combatant.shieldIndex, 0);
    choose(w.yourWeaponList, "Rapier");
    EXPECT_EQ(w.yourWeaponSpeed, 30);
    EXPECT_EQ(w.yourDiceSides, 8);
}

// Hand-edited entries: a weapon name that begins an entry's name picks that
// entry; a weapon whose numbers cannot be read is no weapon; a type beyond
// the list is no type; a character stops loading at a field that is no
// number but still gets its weapon.
TEST_F(SelectionTest, HandEditedEntriesLoadAsFarAsTheyCan) {
    SimulatorDialog& w = open();
    choose(w.yourCharacterList, "Fay");
    EXPECT_EQ(w.yourWeaponName, "Longsword");
    EXPECT_EQ(w.yourWeaponSpeed, 35);
    EXPECT_EQ(w.yourDiceSides, 6);

    // Katana first, so that its values would be left over.
    choose(w.yourCharacterList, "Bob");
    choose(w.yourCharacterList, "Lee");
    EXPECT_EQ(w.yourWeaponName, "") << "an unreadable weapon is no weapon";
    EXPECT_EQ(w.yourWeaponList->curSel(), -1);
    for (std::int32_t stat : {w.yourWeaponSpeed, w.yourDiceCount, w.yourDiceSides, w.yourDamageBonus})
        EXPECT_EQ(stat, 0);
    choose(w.yourWeaponList, "Katana");
    choose(w.yourWeaponList, "Broken");
    EXPECT_EQ(w.yourWeaponName, "");
    EXPECT_EQ(w.yourWeaponSpeed, 0);

    choose(w.yourCharacterList, "Eve");  // weapon type 7
    EXPECT_EQ(w.yourWeaponType, -1);
    EXPECT_EQ(typeList(w.yourSide())->curSel(), -1);
    EXPECT_EQ(w.yourWeaponList->count(), 0);
    EXPECT_EQ(w.yourWeaponName, "");
    EXPECT_EQ(w.yourShieldName, "buckler");

    choose(w.yourCharacterList, "Gus");  // A.R. is not a number
    EXPECT_EQ(w.yourStrength, 70);
    EXPECT_EQ(w.yourWeaponType, 2);
    EXPECT_EQ(w.yourArmorRating, 0);
    EXPECT_EQ(w.yourTactics, 0) << "fields after the unreadable one stay cleared";
    EXPECT_EQ(w.yourShieldName, NoneEntry) << "the shield is read only after all seven numbers";
    EXPECT_EQ(w.yourWeaponName, "Katana");
    EXPECT_EQ(w.yourWeaponSpeed, 40);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(SelectionTest, AStoredValueOutOfRangeIsShownAndTheLoadCompletes) {
    SimulatorDialog& w = open();
    choose(w.yourCharacterList, "Hal");
    EXPECT_EQ(field(w.yourSide(), "Strength")->text(), "450");
    ASSERT_EQ(messages.shown().size(), 2u) << "the weapon-type and weapon handlers' exchanges";
    EXPECT_EQ(messages.shown()[0].text, "Please enter an integer between 0 and 400.");
    EXPECT_EQ(w.yourWeaponName, "Katana");
    EXPECT_EQ(w.yourWeaponSpeed, 40);
    EXPECT_EQ(w.yourShieldName, "buckler");
    EXPECT_EQ(w.yourSide().combatant.shieldIndex, 0);

    // With the exchanges failing, nothing reads the weapon type back from its
    // list: a stored type beyond the list must still end as no type, and its
    // weapon as no weapon.
    messages.clear();
    choose(w.yourCharacterList, "Ike");
    EXPECT_EQ(messages.shown().size(), 3u) << "the choice itself fails at Hal's Str. too";
    EXPECT_EQ(w.yourCharacterName, "Hal") << "so Hal is reloaded";
    w.yourCharacterName = "Ike";
    w.OnSelectYourCharacter();  // as NEW and SAVE reload a character
    EXPECT_EQ(w.yourStrength, 450);
    EXPECT_EQ(w.yourWeaponType, -1);
    EXPECT_EQ(w.comboBox(sim::kYourWeaponTypeList)->curSel(), -1);
    EXPECT_EQ(w.yourWeaponList->count(), 0);
    EXPECT_EQ(w.yourWeaponName, "");
    EXPECT_EQ(w.yourWeaponSpeed, 0);
}

TEST_F(SelectionTest, ChoosingAgainDiscardsTypedValuesAndTakesTheOtherSides) {
    SimulatorDialog& w = open();
    choose(w.yourCharacterList, "Bob");
    field(w.yourSide(), "Strength")->setText("5");
    field(w.oppSide(), "Tactics")->setText("77");
    choose(w.yourCharacterList, "Bob");
    EXPECT_EQ(w.yourStrength, 100);
    EXPECT_EQ(field(w.yourSide(), "Strength")->text(), "100");
    EXPECT_EQ(w.oppTactics, 77) << "every exchange covers the whole window";
    EXPECT_EQ(field(w.oppSide(), "Tactics")->text(), "77");

    // An invalid value on the other side is reported, and the choice, which
    // comes after it in the exchange, is not taken: the side is reloaded.
    field(w.oppSide(), "Parry")->clear();
    choose(w.yourCharacterList, "ann");
    ASSERT_FALSE(messages.shown().empty());
    EXPECT_EQ(messages.shown()[0].text, "Please enter an integer.");
    EXPECT_EQ(w.yourCharacterName, "Bob");
    EXPECT_EQ(w.yourCharacterList->selectedEntry(), "Bob");
}

// Choosing from the opened list, with the mouse or the keys, loads the
// character chosen, as the same choice made any other way does.
TEST_F(SelectionTest, ChoosingFromTheOpenListLoadsTheCharacter) {
    SimulatorDialog& w = open();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    pick(w.yourCharacterList, "Bob");
    EXPECT_EQ(w.yourCharacterName, "Bob");
    EXPECT_EQ(field(w.yourSide(), "Strength")->text(), "100");
    EXPECT_EQ(w.yourWeaponName, "Katana");

    // Open with Alt+Down, one entry down, Enter: "Cid", after "Bob".
    ComboBox* list = w.yourCharacterList;
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(list->view()->isVisible());
    QTest::keyClick(list->view(), Qt::Key_Down);
    QTest::keyClick(list->view(), Qt::Key_Return);
    EXPECT_FALSE(list->view()->isVisible());
    EXPECT_EQ(w.yourCharacterName, "Cid");
    EXPECT_EQ(field(w.yourSide(), "Strength")->text(), "60");
    EXPECT_TRUE(messages.shown().empty());
}

// The wheel turned over lists on the way elsewhere changes no choice and
// keeps what was typed; over the list that has the focus, it chooses.
TEST_F(SelectionTest, TheWheelChangesOnlyTheListWithTheFocus) {
    SimulatorDialog& w = open();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    pick(w.yourCharacterList, "Bob");
    Edit* strength = field(w.yourSide(), "Strength");
    strength->setFocus();
    strength->selectAll();
    QTest::keyClicks(strength, "123");

    for (ComboBox* list : {w.yourCharacterList, typeList(w.yourSide()), w.yourWeaponList, w.yourShieldList,
                           w.oppCharacterList}) {
        for (int angle : {-120, 120}) {
            turnWheel(*list, angle);
            EXPECT_EQ(strength->text(), "123") << list->objectName().toStdString();
        }
    }
    EXPECT_EQ(w.yourCharacterList->selectedEntry(), "Bob");
    EXPECT_EQ(typeList(w.yourSide())->selectedEntry(), "Sword");
    EXPECT_EQ(w.yourWeaponList->selectedEntry(), "Katana");
    EXPECT_EQ(w.yourShieldList->selectedEntry(), "Kite shield");
    EXPECT_EQ(w.oppCharacterList->curSel(), -1);
    EXPECT_EQ(w.oppStrength, 0);

    w.yourCharacterList->setFocus();
    turnWheel(*w.yourCharacterList, -120);
    EXPECT_EQ(w.yourCharacterName, "Cid");
    EXPECT_EQ(strength->text(), "60");
}

// A hand-edited name longer than the reader keeps, cut inside a letter,
// shows its whole letters and one mark; its bytes still find the character.
TEST_F(SelectionTest, ANameCutInsideALetterShowsItsLettersAndStillLoads) {
    // "Åsa Öhrström i Älvdalen Åström": 36 bytes, listed as its first 29,
    // which end with the first byte of the last "Å".
    const std::string name = "\xC3\x85sa \xC3\x96hrstr\xC3\xB6m i \xC3\x84lvdalen \xC3\x85str\xC3\xB6m";
    const std::string listed = name.substr(0, 29);
    SimulatorDialog& w = WindowTest::open(
        crlf({"[YourChars]", character(name, "91\t92\t93\t2\t94\t95\t96\t91", "Kite shield", "Katana"),
              "[OppChars]"}),
        kEquipment);
    ASSERT_EQ(entries(w.yourCharacterList), Strings{listed});
    EXPECT_EQ(w.yourCharacterList->itemText(0),
              QString::fromUtf8("\xC3\x85sa \xC3\x96hrstr\xC3\xB6m i \xC3\x84lvdalen \xEF\xBF\xBD"));
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    pick(w.yourCharacterList, listed);
    EXPECT_EQ(w.yourCharacterName, listed);
    EXPECT_EQ(w.yourStrength, 91);
    EXPECT_EQ(w.yourParry, 96);
    EXPECT_EQ(w.yourWeaponName, "Katana");
}

TEST_F(SelectionTest, OneCharacterNameOnBothSidesReadsEachSidesSection) {
    SimulatorDialog& w = open();
    choose(w.yourCharacterList, "Bob");
    choose(w.oppCharacterList, "Bob");
    EXPECT_EQ(w.yourStrength, 100);
    EXPECT_EQ(w.oppStrength, 77);
    EXPECT_EQ(w.oppWeaponName, "Fists");
    EXPECT_EQ(w.oppShieldName, NoneEntry);
    EXPECT_EQ(w.oppSide().combatant.shieldIndex, -1);
    EXPECT_EQ(w.yourSide().combatant.shieldIndex, 0);
    EXPECT_EQ(w.yourWeaponName, "Katana");
}

}  // namespace
}  // namespace skarn
