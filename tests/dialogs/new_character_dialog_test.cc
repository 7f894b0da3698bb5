#include "dialogs/new_character_dialog.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QInputMethodEvent>
#include <QPushButton>
#include <QString>
#include <QTest>

#include <gtest/gtest.h>

#include "data/platform_file_system.h"
#include "data/section_file.h"
#include "resources/resource_ids.h"
#include "tests/support/ui_testing.h"
#include "ui/data_exchange.h"

namespace skarn {
namespace {

namespace nc = ids::newCharacter;
namespace fs = std::filesystem;

// Weapons with one and two hands in every section, a weapon with an empty
// name, and shields in an order their sorting changes.
constexpr const char* kEquipment =
    "[FencingWeapons]\r\n"
    "\"Rapier\"\t30\t1\t8\t2\t1\r\n"
    "\"Dagger\"\t50\t1\t4\t0\t1\r\n"
    "[MaceWeapons]\r\n"
    "\"War Hammer\"\t20\t2\t6\t4\t2\r\n"
    "\"Club\"\t35\t1\t6\t1\t1\r\n"
    "[SwordWeapons]\r\n"
    "\"Katana\"\t40\t2\t5\t3\t1\r\n"
    "\"Halberd\"\t15\t3\t6\t2\t2\r\n"
    "\"\"\t1\t1\t1\t1\t1\r\n"
    "\"Broadsword\"\t25\t2\t6\t2\r\n"
    "[Wrestling]\r\n"
    "\"Grapple\"\t50\t1\t2\t0\t2\r\n"
    "\"Fists\"\t60\t1\t3\t0\t1\r\n"
    "[Shields]\r\n"
    "\"Tower shield\"\t8\r\n"
    "\"buckler\"\t2\r\n"
    "\"\"\t0\r\n"
    "\"Kite shield\"\t5\r\n";

// A fresh directory with an "equifile.cfg" for each test, removed afterwards.
class NewCharacterDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        directory_ = fs::temp_directory_path() / ("skarn_new_character_" + std::to_string(stamp) +
                                                  "_" + std::to_string(counter++));
        fs::create_directories(directory_);
        writeEquipment(kEquipment);
    }
    void TearDown() override {
        equipment_.reset();
        std::error_code ignored;
        fs::remove_all(directory_, ignored);
    }

    void writeEquipment(const std::string& text) {
        equipment_.reset();
        std::ofstream(directory_ / "equifile.cfg", std::ios::binary) << text;
        equipment_ = std::make_unique<SectionFile>((directory_ / "equifile.cfg").string(), files_,
                                                   SectionFile::Mode::ReadOnly);
    }

    // Runs a New Character dialog answered by `script`; returns its result.
    int run(const std::function<void(NewCharacterDialog&)>& script) {
        dialog_ = std::make_unique<NewCharacterDialog>(*equipment_);
        modals_.setNextAnswer([&script](Dialog& d) { script(static_cast<NewCharacterDialog&>(d)); });
        return dialog_->doModal();
    }
    NewCharacterDialog& dialog() { return *dialog_; }

    MessageBoxRecorder messages;

private:
    fs::path directory_;
    PlatformFileSystem files_;
    std::unique_ptr<SectionFile> equipment_;
    std::unique_ptr<NewCharacterDialog> dialog_;
    ModalRecorder modals_;
};

std::vector<std::string> entries(const ComboBox* list) {
    std::vector<std::string> result;
    for (int i = 0; i < list->count(); ++i) result.push_back(list->entry(i));
    return result;
}

// Types `text` into edit `id` over what it held, as a user does; letters
// beyond ASCII come as an input method delivers them.
void type(Dialog& d, int id, const QString& text) {
    Edit* edit = d.edit(id);
    edit->setFocus();
    edit->clear();
    for (QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClicks(edit, QString(c));
        } else {
            QInputMethodEvent event;
            event.setCommitString(QString(c));
            QApplication::sendEvent(edit, &event);
        }
    }
}

// Chooses the entry `text` of list `id`, as a user does: the list notifies.
void choose(Dialog& d, int id, const std::string& text) {
    ComboBox* list = d.comboBox(id);
    const int index = list->findExact(text);
    ASSERT_GE(index, 0) << text << " is not in list " << id;
    list->setCurSel(index);
    emit list->activated(index);
}

void clickOk(Dialog& d) { QTest::mouseClick(d.controlAs<QPushButton>(IDOK), Qt::LeftButton); }

TEST_F(NewCharacterDialogTest, OpensEmptyWithTheFocusOnTheNameAndOkGivesTheDefaults) {
    const int result = run([](NewCharacterDialog& d) {
        EXPECT_EQ(d.templateId(), ids::kNewCharacterDialog);
        EXPECT_EQ(d.windowTitle(), "New Character Info");
        EXPECT_EQ(d.focusWidget(), d.edit(nc::kName));
        EXPECT_EQ(d.edit(nc::kName)->text(), "");
        EXPECT_EQ(d.edit(nc::kName)->maxLength(), 20);
        for (int id : {nc::kStrength, nc::kDexterity, nc::kArmorRating, nc::kWeaponSkill,
                       nc::kTactics, nc::kParry})
            EXPECT_EQ(d.edit(id)->text(), "0") << "edit " << id;

        ComboBox* types = d.comboBox(nc::kWeaponTypeList);
        EXPECT_FALSE(types->isSorted());
        EXPECT_EQ(entries(types), (std::vector<std::string>{"Fencing", "Mace", "Sword", "Wrestling"}));
        EXPECT_EQ(types->curSel(), -1);
        EXPECT_EQ(d.weaponList->count(), 0);
        // Every shield, the empty name included, and "- none -", sorted.
        EXPECT_EQ(entries(d.shieldList),
                  (std::vector<std::string>{"", "- none -", "buckler", "Kite shield", "Tower shield"}));
        EXPECT_EQ(d.shieldList->curSel(), -1);
        clickOk(d);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(messages.shown().empty());
    const NewCharacterDialog& d = dialog();
    EXPECT_EQ(d.name, "");
    for (std::int32_t value : {d.strength, d.dexterity, d.armorRating, d.weaponSkill, d.tactics, d.parry})
        EXPECT_EQ(value, 0);
    EXPECT_EQ(d.weaponType, -1);
    EXPECT_EQ(d.weaponName, "");
    EXPECT_EQ(d.shieldName, "");
}

TEST_F(NewCharacterDialogTest, OkReturnsWhatWasEntered) {
    const int result = run([](NewCharacterDialog& d) {
        type(d, nc::kName, "Sir Bob");
        type(d, nc::kStrength, "100");
        type(d, nc::kDexterity, "90");
        type(d, nc::kArmorRating, "30");
        type(d, nc::kWeaponSkill, "99");
        type(d, nc::kTactics, "98");
        type(d, nc::kParry, "80");
        choose(d, nc::kWeaponTypeList, "Sword");
        choose(d, nc::kWeaponList, "Katana");
        choose(d, nc::kShieldList, "Kite shield");
        clickOk(d);
    });
    ASSERT_EQ(result, IDOK);
    const NewCharacterDialog& d = dialog();
    EXPECT_EQ(d.name, "Sir Bob");
    EXPECT_EQ(d.strength, 100);
    EXPECT_EQ(d.dexterity, 90);
    EXPECT_EQ(d.armorRating, 30);
    EXPECT_EQ(d.weaponSkill, 99);
    EXPECT_EQ(d.tactics, 98);
    EXPECT_EQ(d.parry, 80);
    EXPECT_EQ(d.weaponType, 2);
    EXPECT_EQ(d.weaponName, "Katana");
    EXPECT_EQ(d.shieldName, "Kite shield");
}

TEST_F(NewCharacterDialogTest, CancelEndsWithoutCheckingAnything) {
    const int result = run([](NewCharacterDialog& d) {
        type(d, nc::kArmorRating, "101");
        QTest::mouseClick(d.controlAs<QPushButton>(IDCANCEL), Qt::LeftButton);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(NewCharacterDialogTest, TheNameTakesNoMoreThanTwentyCharacters) {
    run([](NewCharacterDialog& d) {
        type(d, nc::kName, "abcdefghijklmnopqrstuvwxyz");
        EXPECT_EQ(d.edit(nc::kName)->text(), "abcdefghijklmnopqrst");
    });
}

// One field made invalid at a time: OK keeps the dialog open with the field's
// message and the focus on it. The bounds themselves pass.
TEST_F(NewCharacterDialogTest, OkChecksEveryField) {
    struct Case {
        const char* what;
        int id;
        QString text;
        QString message;  // empty: accepted
    };
    const QString e = QString::fromUtf8("\xC3\xA9");  // two bytes in UTF-8
    const Case cases[] = {
        {"A.R. above its range", nc::kArmorRating, "101", integerRangeMessage(0, 100)},
        {"Dex. above its range", nc::kDexterity, "401", integerRangeMessage(0, 400)},
        {"Parry above its range", nc::kParry, "301", integerRangeMessage(0, 300)},
        {"Str. above its range", nc::kStrength, "401", integerRangeMessage(0, 400)},
        {"Tactics above its range", nc::kTactics, "301", integerRangeMessage(0, 300)},
        {"W. Skill above its range", nc::kWeaponSkill, "301", integerRangeMessage(0, 300)},
        {"empty Str.", nc::kStrength, "", integerMessage()},
        {"A.R. at its bound", nc::kArmorRating, "100", ""},
        {"Dex. at its bound", nc::kDexterity, "400", ""},
        {"Parry at its bound", nc::kParry, "300", ""},
        {"Str. at its bound", nc::kStrength, "400", ""},
        {"Tactics at its bound", nc::kTactics, "300", ""},
        {"W. Skill at its bound", nc::kWeaponSkill, "300", ""},
        {"name with a double quote", nc::kName, "Bob \"the\" Bold",
         "Please enter a name without double quotes or line breaks."},
        {"15 two-byte letters: 30 bytes", nc::kName, e.repeated(15),
         "Please enter a name of no more than 29 bytes in UTF-8."},
        {"14 two-byte letters: 28 bytes", nc::kName, e.repeated(14), ""},
        {"9 two-byte letters and 11 ASCII: 29 bytes", nc::kName, e.repeated(9) + "abcdefghijk", ""},
        {"20 ASCII letters", nc::kName, "abcdefghijklmnopqrst", ""},
    };
    for (const Case& c : cases) {
        messages.clear();
        std::string typedName;
        const int result = run([&](NewCharacterDialog& d) {
            type(d, c.id, c.text);
            clickOk(d);
            if (!c.message.isEmpty()) {
                EXPECT_FALSE(d.hasEnded()) << c.what;
                EXPECT_EQ(d.focusWidget(), d.edit(c.id)) << c.what;
                EXPECT_EQ(d.edit(c.id)->selectedText(), d.edit(c.id)->text()) << c.what;
            }
        });
        if (c.message.isEmpty()) {
            EXPECT_EQ(result, IDOK) << c.what;
            EXPECT_TRUE(messages.shown().empty()) << c.what;
            if (c.id == nc::kName) {
                EXPECT_EQ(dialog().name, c.text.toStdString()) << c.what;
            }
        } else {
            EXPECT_EQ(result, IDCANCEL) << c.what << ": the dialog stayed open until closed";
            ASSERT_EQ(messages.shown().size(), 1u) << c.what;
            EXPECT_EQ(messages.shown()[0].text, c.message) << c.what;
            EXPECT_EQ(messages.shown()[0].icon, MessageIcon::Exclamation) << c.what;
        }
    }
}

TEST_F(NewCharacterDialogTest, APastedLineBreakInTheNameIsRefused) {
    run([this](NewCharacterDialog& d) {
        d.edit(nc::kName)->insert("Bob\nAl");
        clickOk(d);
        EXPECT_FALSE(d.hasEnded());
        EXPECT_EQ(d.focusWidget(), d.edit(nc::kName));
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_EQ(messages.shown()[0].text, "Please enter a name without double quotes or line breaks.");
    });
}

// With every field invalid, each OK reports the first failing field in
// exchange order; correcting it moves the report to the next.
TEST_F(NewCharacterDialogTest, SeveralInvalidFieldsAreReportedInExchangeOrder) {
    run([this](NewCharacterDialog& d) {
        type(d, nc::kArmorRating, "101");
        type(d, nc::kDexterity, "");
        type(d, nc::kName, "A\"B");
        type(d, nc::kParry, "301");
        type(d, nc::kStrength, "401");
        type(d, nc::kTactics, "999");
        type(d, nc::kWeaponSkill, "301");
        struct Step {
            int failing;
            QString message;
            QString correction;
        };
        const Step steps[] = {
            {nc::kArmorRating, integerRangeMessage(0, 100), "10"},
            {nc::kDexterity, integerMessage(), "20"},
            {nc::kName, "Please enter a name without double quotes or line breaks.", "AB"},
            {nc::kParry, integerRangeMessage(0, 300), "30"},
            {nc::kStrength, integerRangeMessage(0, 400), "40"},
            {nc::kTactics, integerRangeMessage(0, 300), "50"},
            {nc::kWeaponSkill, integerRangeMessage(0, 300), "60"},
        };
        for (const Step& step : steps) {
            messages.clear();
            clickOk(d);
            ASSERT_EQ(messages.shown().size(), 1u) << "edit " << step.failing;
            EXPECT_EQ(messages.shown()[0].text, step.message) << "edit " << step.failing;
            EXPECT_EQ(d.focusWidget(), d.edit(step.failing));
            type(d, step.failing, step.correction);
        }
        messages.clear();
        clickOk(d);
        EXPECT_TRUE(messages.shown().empty());
        EXPECT_TRUE(d.hasEnded());
    });
    EXPECT_EQ(dialog().modalResult(), IDOK);
    EXPECT_EQ(dialog().name, "AB");
    EXPECT_EQ(dialog().weaponSkill, 60);
}

TEST_F(NewCharacterDialogTest, AWeaponTypeFillsItsWeaponsAndClearsTheWeaponChoice) {
    struct Case {
        const char* type;
        std::vector<std::string> weapons;  // sorted, without empty names
    };
    const Case cases[] = {
        {"Fencing", {"Dagger", "Rapier"}},
        {"Mace", {"Club", "War Hammer"}},
        {"Sword", {"Broadsword", "Halberd", "Katana"}},
        {"Wrestling", {"Fists", "Grapple"}},
    };
    run([&](NewCharacterDialog& d) {
        for (const Case& c : cases) {
            choose(d, nc::kWeaponTypeList, c.type);
            EXPECT_EQ(entries(d.weaponList), c.weapons) << c.type;
            choose(d, nc::kWeaponList, c.weapons.front());
            EXPECT_EQ(d.weaponName, c.weapons.front()) << c.type;
            // Choosing the same type again asks for the weapon again.
            choose(d, nc::kWeaponTypeList, c.type);
            EXPECT_EQ(d.weaponName, "") << c.type;
            EXPECT_EQ(d.weaponList->curSel(), -1) << c.type;
            EXPECT_EQ(entries(d.weaponList), c.weapons) << c.type << " refilled, not added to";
        }
        clickOk(d);
    });
    EXPECT_EQ(dialog().weaponType, 3);
    EXPECT_EQ(dialog().weaponName, "");
}

TEST_F(NewCharacterDialogTest, ATwoHandedWeaponLeavesNoShield) {
    struct Case {
        const char* type;
        const char* weapon;
        bool twoHanded;
    };
    const Case cases[] = {
        {"Sword", "Halberd", true},
        {"Mace", "War Hammer", true},
        {"Wrestling", "Grapple", true},
        {"Sword", "Katana", false},
        {"Fencing", "Rapier", false},
        {"Sword", "Broadsword", false},  // no hands field: counts as none
    };
    for (const Case& c : cases) {
        const int result = run([&](NewCharacterDialog& d) {
            choose(d, nc::kShieldList, "Kite shield");
            choose(d, nc::kWeaponTypeList, c.type);
            choose(d, nc::kWeaponList, c.weapon);
            const std::string afterWeapon = c.twoHanded ? "- none -" : "Kite shield";
            EXPECT_EQ(d.shieldName, afterWeapon) << c.weapon;
            EXPECT_EQ(d.shieldList->selectedEntry(), afterWeapon) << c.weapon;
            // A shield chosen afterwards snaps back for a two-handed weapon.
            choose(d, nc::kShieldList, "Tower shield");
            const std::string afterShield = c.twoHanded ? "- none -" : "Tower shield";
            EXPECT_EQ(d.shieldList->selectedEntry(), afterShield) << c.weapon;
            clickOk(d);
        });
        ASSERT_EQ(result, IDOK) << c.weapon;
        EXPECT_EQ(dialog().shieldName, c.twoHanded ? "- none -" : "Tower shield") << c.weapon;
        EXPECT_EQ(dialog().weaponName, c.weapon);
    }
}

TEST_F(NewCharacterDialogTest, AShieldWithoutAWeaponTypeStays) {
    run([](NewCharacterDialog& d) {
        choose(d, nc::kShieldList, "buckler");
        EXPECT_EQ(d.shieldName, "buckler");
        EXPECT_EQ(d.shieldList->selectedEntry(), "buckler");
    });
}

// A list handler runs its exchange first: an invalid number shows its
// message, and the lists, exchanged after it, keep their earlier values.
TEST_F(NewCharacterDialogTest, AListChoiceWithAnInvalidNumberKeepsTheEarlierChoices) {
    run([this](NewCharacterDialog& d) {
        choose(d, nc::kWeaponTypeList, "Sword");
        choose(d, nc::kWeaponList, "Katana");
        type(d, nc::kStrength, "401");
        messages.clear();
        choose(d, nc::kWeaponTypeList, "Mace");
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_EQ(messages.shown()[0].text, integerRangeMessage(0, 400));
        EXPECT_EQ(d.weaponType, 2);
        EXPECT_EQ(d.comboBox(nc::kWeaponTypeList)->selectedEntry(), "Sword");
        EXPECT_EQ(entries(d.weaponList), (std::vector<std::string>{"Broadsword", "Halberd", "Katana"}));
    });
}

TEST_F(NewCharacterDialogTest, MissingSectionsLeaveTheirListsEmpty) {
    writeEquipment("[FencingWeapons]\r\n\"Rapier\"\t30\t1\t8\t2\t1\r\n");
    run([](NewCharacterDialog& d) {
        EXPECT_EQ(d.shieldList->count(), 0) << "no \"- none -\" without shields";
        choose(d, nc::kWeaponTypeList, "Mace");
        EXPECT_EQ(d.weaponList->count(), 0);
        choose(d, nc::kWeaponTypeList, "Fencing");
        EXPECT_EQ(entries(d.weaponList), std::vector<std::string>{"Rapier"});
    });
}

}  // namespace
}  // namespace skarn
