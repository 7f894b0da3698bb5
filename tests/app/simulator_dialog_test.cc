#include "app/simulator_dialog.h"

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "app/program_objects.h"
#include "resources/resource_ids.h"
#include "tests/app/working_directory.h"
#include "tests/support/ui_testing.h"

namespace skarn {
namespace {

namespace sim = ids::simulator;

// The number fields in exchange order, with their upper bounds (all start at 0).
struct NumberField {
    const char* name;
    std::int32_t SimulatorDialog::*member;
    std::int32_t high;
};
const NumberField kNumberFields[] = {
    {"oppArmorRating", &SimulatorDialog::oppArmorRating, 100},
    {"oppParry", &SimulatorDialog::oppParry, 300},
    {"oppWeaponSkill", &SimulatorDialog::oppWeaponSkill, 300},
    {"yourArmorRating", &SimulatorDialog::yourArmorRating, 100},
    {"yourDexterity", &SimulatorDialog::yourDexterity, 400},
    {"oppDexterity", &SimulatorDialog::oppDexterity, 400},
    {"oppTactics", &SimulatorDialog::oppTactics, 300},
    {"oppStrength", &SimulatorDialog::oppStrength, 400},
    {"yourParry", &SimulatorDialog::yourParry, 300},
    {"yourStrength", &SimulatorDialog::yourStrength, 400},
    {"yourTactics", &SimulatorDialog::yourTactics, 300},
    {"yourWeaponSkill", &SimulatorDialog::yourWeaponSkill, 300},
};

const char* const kLists[] = {"yourCharacterList", "yourWeaponTypeList", "yourWeaponList",
                              "yourShieldList",    "oppCharacterList",   "oppWeaponTypeList",
                              "oppWeaponList",     "oppShieldList"};

class SimulatorDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        seededAfter = static_cast<std::uint32_t>(std::time(nullptr));
        dialog.showModeless();
        seededBefore = static_cast<std::uint32_t>(std::time(nullptr));
    }

    Edit* field(const char* name) { return dialog.findChild<Edit*>(name); }
    ComboBox* list(const char* name) { return dialog.findChild<ComboBox*>(name); }

    MessageBoxRecorder messages;
    ModalRecorder modals;
    std::uint32_t seededAfter = 0, seededBefore = 0;
    ProgramObjects objects;
    SimulatorDialog dialog;
};

TEST_F(SimulatorDialogTest, StateRightAfterStart) {
    EXPECT_EQ(dialog.windowTitle(), "Vexa Combat Simulator v. 2.1");
    for (const NumberField& f : kNumberFields) {
        ASSERT_NE(field(f.name), nullptr) << f.name;
        EXPECT_EQ(field(f.name)->text(), "0") << f.name;
        EXPECT_EQ(dialog.*f.member, 0) << f.name;
    }
    for (const char* name : kLists) {
        ASSERT_NE(list(name), nullptr) << name;
        EXPECT_EQ(list(name)->curSel(), -1) << name << " has a selection";
    }
    for (const char* name : {"yourWeaponTypeList", "oppWeaponTypeList"}) {
        ComboBox* types = list(name);
        ASSERT_EQ(types->count(), 4) << name;
        EXPECT_EQ(types->entry(0), "Fencing");
        EXPECT_EQ(types->entry(1), "Mace");
        EXPECT_EQ(types->entry(2), "Sword");
        EXPECT_EQ(types->entry(3), "Wrestling");
    }
    EXPECT_EQ(dialog.yourWeaponList->count(), 0);
    EXPECT_EQ(dialog.oppWeaponList->count(), 0);
    EXPECT_EQ(dialog.yourWeaponType, -1);
    EXPECT_EQ(dialog.oppWeaponType, -1);

    EXPECT_EQ(dialog.fightCountSlider->minimum(), 0);
    EXPECT_EQ(dialog.fightCountSlider->maximum(), 7);
    EXPECT_EQ(dialog.fightCountSlider->pos(), 0);
    EXPECT_EQ(dialog.progressBar->minimum(), 0);
    EXPECT_EQ(dialog.progressBar->maximum(), 100);
    EXPECT_EQ(dialog.progressBar->pos(), 0);
    EXPECT_EQ(dialog.statusLine->text(), "");
    EXPECT_EQ(dialog.statusText, "");
    EXPECT_EQ(dialog.fightMode, DamagePer60Seconds);
    EXPECT_EQ(dialog.focusWidget(), dialog.yourCharacterList);

    // Every control member is bound to its control.
    EXPECT_EQ(dialog.yourShieldList, dialog.comboBox(sim::kYourShieldList));
    EXPECT_EQ(dialog.oppShieldList, dialog.comboBox(sim::kOppShieldList));
    EXPECT_EQ(dialog.yourCharacterList, dialog.comboBox(sim::kYourCharacterList));
    EXPECT_EQ(dialog.oppCharacterList, dialog.comboBox(sim::kOppCharacterList));
    EXPECT_EQ(dialog.oppWeaponList, dialog.comboBox(sim::kOppWeaponList));
    EXPECT_EQ(dialog.yourWeaponList, dialog.comboBox(sim::kYourWeaponList));
    EXPECT_EQ(dialog.statusLine, dialog.edit(sim::kStatusLine));
    EXPECT_EQ(dialog.progressBar, dialog.control(sim::kProgressBar));
    EXPECT_EQ(dialog.fightCountSlider, dialog.control(sim::kFightCountSlider));
    EXPECT_EQ(dialog.yourNewButton, dialog.control(sim::kYourNew));
    EXPECT_EQ(dialog.yourSaveButton, dialog.control(sim::kYourSave));
    EXPECT_EQ(dialog.yourDelButton, dialog.control(sim::kYourDel));
    EXPECT_EQ(dialog.oppNewButton, dialog.control(sim::kOppNew));
    EXPECT_EQ(dialog.oppSaveButton, dialog.control(sim::kOppSave));
    EXPECT_EQ(dialog.oppDelButton, dialog.control(sim::kOppDel));

    // Nothing a run reads is left unset.
    for (std::int32_t value :
         {dialog.yourHitPoints, dialog.oppHitPoints, dialog.yourShieldAbsorb, dialog.yourDiceCount,
          dialog.yourDiceSides, dialog.yourDamageBonus, dialog.yourWeaponSpeed, dialog.oppShieldAbsorb,
          dialog.oppDiceCount, dialog.oppDiceSides, dialog.oppDamageBonus, dialog.oppWeaponSpeed})
        EXPECT_EQ(value, 0);
    EXPECT_EQ(dialog.winCount + dialog.damageTakenSum + dialog.damageGivenSum + dialog.tickSum, 0.0);

    // Seeded once, with the time in seconds.
    const std::uint32_t seed = generator().state();
    EXPECT_GE(seed, seededAfter);
    EXPECT_LE(seed, seededBefore);

    // The window icons: the large icon's 32-pixel image, the small icon's 16.
    EXPECT_TRUE(dialog.largeIcon.availableSizes().contains(QSize(32, 32)));
    EXPECT_TRUE(dialog.largeIcon.availableSizes().contains(QSize(16, 16)));
    EXPECT_TRUE(dialog.smallIcon.availableSizes().contains(QSize(16, 16)));
    EXPECT_TRUE(dialog.windowIcon().availableSizes().contains(QSize(32, 32)));
    EXPECT_TRUE(dialog.windowIcon().availableSizes().contains(QSize(16, 16)));
    EXPECT_EQ(dialog.windowIcon().pixmap(16).toImage(), dialog.smallIcon.pixmap(16).toImage());
}

TEST_F(SimulatorDialogTest, NumberFieldsExchangeBothWaysWithinTheirRanges) {
    for (const NumberField& f : kNumberFields) {
        Edit* edit = field(f.name);
        dialog.*f.member = f.high + 50;  // written without complaint
        dialog.updateData(false);
        EXPECT_EQ(edit->text(), QString::number(f.high + 50)) << f.name;
        EXPECT_TRUE(messages.shown().empty()) << f.name;

        EXPECT_FALSE(dialog.updateData(true)) << f.name;
        ASSERT_EQ(messages.shown().size(), 1u) << f.name;
        EXPECT_EQ(messages.shown()[0].text, QString("Please enter an integer between 0 and %1.").arg(f.high))
            << f.name;
        EXPECT_EQ(dialog.focusWidget(), edit) << f.name;
        messages.clear();

        edit->setText(QString::number(f.high));
        EXPECT_TRUE(dialog.updateData(true)) << f.name;
        EXPECT_EQ(dialog.*f.member, f.high) << f.name;
        edit->setText("0");
        EXPECT_TRUE(dialog.updateData(true)) << f.name;
        EXPECT_EQ(dialog.*f.member, 0) << f.name;
    }
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(SimulatorDialogTest, FieldsAreCheckedInExchangeOrder) {
    for (const NumberField& f : kNumberFields) field(f.name)->clear();
    for (const NumberField& f : kNumberFields) {
        messages.clear();
        EXPECT_FALSE(dialog.updateData(true)) << f.name;
        ASSERT_EQ(messages.shown().size(), 1u) << f.name;
        EXPECT_EQ(messages.shown()[0].text, "Please enter an integer.") << f.name;
        EXPECT_EQ(dialog.focusWidget(), field(f.name)) << "expected the failure at " << f.name;
        field(f.name)->setText("1");
    }
    EXPECT_TRUE(dialog.updateData(true));
}

TEST_F(SimulatorDialogTest, AnEmptiedStrengthFieldStopsTheExchangeThere) {
    dialog.yourCharacterList->addString("Bob");
    dialog.yourCharacterList->addString("bob");
    dialog.yourCharacterName = "Bob";
    dialog.yourTactics = 7;
    dialog.updateData(false);

    dialog.yourCharacterList->setCurSel(dialog.yourCharacterList->findExact("bob"));
    field("oppStrength")->setText("33");  // before Str. in the order
    field("yourTactics")->setText("44");  // after it
    dialog.statusLine->setText("typed");  // before it
    field("yourStrength")->clear();

    EXPECT_FALSE(dialog.updateData(true));
    ASSERT_EQ(messages.shown().size(), 1u);
    const Message& shown = messages.shown()[0];
    EXPECT_EQ(shown.text, "Please enter an integer.");
    EXPECT_EQ(shown.caption, "skarn_app_tests") << "the program file's name";
    EXPECT_EQ(shown.icon, MessageIcon::Exclamation);
    EXPECT_EQ(shown.owner, &dialog);
    EXPECT_EQ(dialog.focusWidget(), field("yourStrength"));

    EXPECT_EQ(dialog.oppStrength, 33);
    EXPECT_EQ(dialog.statusText, "typed");
    EXPECT_EQ(dialog.yourTactics, 7);
    EXPECT_EQ(dialog.yourCharacterName, "Bob") << "the list texts come after the numbers";
}

TEST_F(SimulatorDialogTest, AStoredStrengthOf450IsShownThenRefused) {
    dialog.yourStrength = 450;
    dialog.updateData(false);
    EXPECT_EQ(field("yourStrength")->text(), "450");
    EXPECT_TRUE(messages.shown().empty());

    field("yourTactics")->setText("12");
    EXPECT_FALSE(dialog.updateData(true));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "Please enter an integer between 0 and 400.");
    EXPECT_EQ(dialog.focusWidget(), field("yourStrength"));
    Edit* strength = field("yourStrength");
    EXPECT_EQ(strength->selectedText(), "450");
    EXPECT_EQ(dialog.yourTactics, 0) << "fields after Str. are not taken";
}

TEST_F(SimulatorDialogTest, ListsAndStatusExchangeBothWays) {
    // List index.
    dialog.oppWeaponType = 3;
    dialog.updateData(false);
    EXPECT_EQ(list("oppWeaponTypeList")->selectedEntry(), "Wrestling");
    list("oppWeaponTypeList")->setCurSel(1);
    dialog.updateData(true);
    EXPECT_EQ(dialog.oppWeaponType, 1);

    // Text.
    dialog.statusText = "Information incomplete, can't continue.";
    dialog.updateData(false);
    EXPECT_EQ(dialog.statusLine->text(), "Information incomplete, can't continue.");
    dialog.statusText.clear();
    dialog.updateData(true);
    EXPECT_EQ(dialog.statusText, "Information incomplete, can't continue.");

    // List text: the exact entry first, then the first beginning with the
    // text ignoring case; no match keeps the selection, empty clears it.
    ComboBox* characters = dialog.oppCharacterList;
    for (const char* name : {"Zed", "bob", "Bob", "adam", "Bobby"}) characters->addString(name);
    struct Case {
        std::string member;
        int selectedBefore;
        std::string selected;
    };
    const Case cases[] = {
        {"bob", -1, "bob"}, {"Bob", -1, "Bob"}, {"BOB", -1, "Bob"}, {"bobb", -1, "Bobby"},
        {"ADA", -1, "adam"}, {"Carl", 0, "adam"}, {"Carl", -1, ""}, {"", 2, ""},
    };
    for (const Case& c : cases) {
        characters->setCurSel(c.selectedBefore);
        dialog.oppCharacterName = c.member;
        dialog.updateData(false);
        EXPECT_EQ(characters->selectedEntry(), c.selected) << "member \"" << c.member << '"';
        dialog.updateData(true);
        EXPECT_EQ(dialog.oppCharacterName, c.selected) << "member \"" << c.member << '"';
    }
    EXPECT_EQ(characters->entry(0), "adam") << "sorted ignoring case";
    EXPECT_EQ(characters->entry(4), "Zed");
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(SimulatorDialogTest, AboutIsOfferedInTheWindowMenuAndLeavesTheWindowAsItWas) {
    dialog.yourStrength = 120;
    dialog.updateData(false);
    field("oppParry")->setText("77");  // typed, not yet taken

    std::unique_ptr<QMenu> menu(dialog.createContextMenu());
    ASSERT_FALSE(menu->actions().isEmpty());
    QAction* about = menu->actions().last();
    EXPECT_EQ(about->text(), "&About Skarn...");

    modals.setNextAnswer(IDOK);
    about->trigger();
    ASSERT_EQ(modals.shown().size(), 1u);
    EXPECT_EQ(modals.shown()[0].templateId, ids::kAboutDialog);
    EXPECT_EQ(modals.shown()[0].caption, "About Skarn");
    EXPECT_EQ(modals.shown()[0].result, IDOK);

    EXPECT_FALSE(dialog.hasEnded());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(field("yourStrength")->text(), "120");
    EXPECT_EQ(field("oppParry")->text(), "77");
    EXPECT_EQ(dialog.oppParry, 0);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(SimulatorDialogTest, QuitEscapeAndTheCloseBoxEndTheWindow) {
    QTest::mouseClick(dialog.controlAs<QPushButton>(sim::kQuit), Qt::LeftButton);
    EXPECT_TRUE(dialog.hasEnded());
    EXPECT_EQ(dialog.modalResult(), IDCANCEL);

    for (const char* how : {"Escape", "close box"}) {
        SimulatorDialog other;
        other.showModeless();
        if (std::string(how) == "Escape")
            QTest::keyClick(other.yourCharacterList, Qt::Key_Escape);
        else
            other.close();
        EXPECT_TRUE(other.hasEnded()) << how;
        EXPECT_EQ(other.modalResult(), IDCANCEL) << how;
    }
    EXPECT_TRUE(messages.shown().empty()) << "ending does not validate";
}

TEST_F(SimulatorDialogTest, HelpKeyDoesNothing) {
    field("yourStrength")->setText("5");
    QTest::keyClick(field("yourStrength"), Qt::Key_F1);
    QTest::keyClick(&dialog, Qt::Key_F1);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_TRUE(modals.shown().empty());
    EXPECT_FALSE(dialog.hasEnded());
    EXPECT_EQ(field("yourStrength")->text(), "5");
}

TEST_F(SimulatorDialogTest, BitmapButtonsShowTheirFaces) {
    const struct {
        BitmapButton* button;
        const char* caption;
    } buttons[] = {{dialog.yourNewButton, "NEW"}, {dialog.yourSaveButton, "SAVE"},
                   {dialog.yourDelButton, "DEL"}, {dialog.oppNewButton, "NEW"},
                   {dialog.oppSaveButton, "SAVE"}, {dialog.oppDelButton, "DEL"}};
    for (const auto& b : buttons) {
        BitmapButton* button = b.button;
        EXPECT_EQ(button->text(), b.caption);
        ASSERT_FALSE(button->normalFace().isNull()) << b.caption;
        ASSERT_FALSE(button->pressedFace().isNull()) << b.caption;
        ASSERT_FALSE(button->focusedFace().isNull()) << b.caption;
        EXPECT_EQ(button->normalFace().size(), QSize(18, 21)) << b.caption;
        EXPECT_EQ(button->size().width() % 18, 0) << b.caption;
        EXPECT_EQ(button->size().width() / 18, button->size().height() / 21) << b.caption;
        EXPECT_NE(button->normalFace().toImage(), button->pressedFace().toImage()) << b.caption;

        EXPECT_EQ(&button->currentFace(), &button->normalFace()) << b.caption;
        button->setDown(true);
        EXPECT_EQ(&button->currentFace(), &button->pressedFace()) << b.caption;
        button->setDown(false);
    }
    // The normal face is what is painted.
    const QImage painted = dialog.yourNewButton->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage face = dialog.yourNewButton->normalFace()
                            .toImage()
                            .scaled(painted.size())
                            .convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(painted, face);

    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    dialog.oppDelButton->setFocus();
    EXPECT_EQ(&dialog.oppDelButton->currentFace(), &dialog.oppDelButton->focusedFace());
}

TEST_F(SimulatorDialogTest, RendersToAPicture) {
    // Two of the sample characters, as the window shows them once chosen.
    dialog.yourCharacterList->addString("Brannoc the Bold");
    dialog.yourWeaponList->addString("Longsword");
    dialog.yourShieldList->addString("Kite Shield");
    dialog.oppCharacterList->addString("Orc Brute");
    dialog.oppWeaponList->addString("Club");
    dialog.oppShieldList->addString("Oaken Targe");
    dialog.yourCharacterName = "Brannoc the Bold";
    dialog.yourWeaponName = "Longsword";
    dialog.yourShieldName = "Kite Shield";
    dialog.yourWeaponType = 2;
    dialog.yourStrength = 100, dialog.yourDexterity = 85, dialog.yourWeaponSkill = 100;
    dialog.yourArmorRating = 40, dialog.yourTactics = 100, dialog.yourParry = 90;
    dialog.oppCharacterName = "Orc Brute";
    dialog.oppWeaponName = "Club";
    dialog.oppShieldName = "Oaken Targe";
    dialog.oppWeaponType = 1;
    dialog.oppStrength = 150, dialog.oppDexterity = 40, dialog.oppWeaponSkill = 70;
    dialog.oppArmorRating = 35, dialog.oppTactics = 80, dialog.oppParry = 30;
    dialog.updateData(false);
    dialog.fightCountSlider->setPos(5);
    const QImage image = dialog.grab().toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), dialog.size() * image.devicePixelRatio());
    EXPECT_NE(image.pixel(0, 0), image.pixel(dialog.yourCharacterList->geometry().center()))
        << "controls are drawn";
    const std::string path = (testing::workingDirectory() / "main-window.png").string();
    ASSERT_TRUE(image.save(QString::fromStdString(path), "PNG"));
    EXPECT_EQ(QImage(QString::fromStdString(path)).size(), image.size());
    // SKARN_SCREENSHOT=path/to/file.png keeps a copy, for the documentation.
    if (const char* keep = std::getenv("SKARN_SCREENSHOT")) image.save(QString::fromLocal8Bit(keep), "PNG");
}

}  // namespace
}  // namespace skarn
