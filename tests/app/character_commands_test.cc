// NEW, SAVE and DEL on both sides of the main window, driven as a user does,
// with the New Character dialog answered through the modal hook. Every test
// checks the bytes of "charfile.cfg" afterwards.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <QAbstractButton>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QString>
#include <QTest>

#include <gtest/gtest.h>

#include "app/program_objects.h"
#include "app/simulator_dialog.h"
#include "data/platform_file_system.h"
#include "data/records.h"
#include "data/section_file.h"
#include "resources/resource_ids.h"
#include "tests/app/failing_writes.h"
#include "tests/app/window_fixture.h"
#include "tests/app/working_directory.h"
#include "tests/support/ui_testing.h"

namespace skarn {
namespace {

namespace sim = ids::simulator;
namespace nc = ids::newCharacter;
using testing::crlf;
using testing::FailingWrites;
using testing::readFile;

const std::string kEquipment = crlf({
    "[FencingWeapons]",
    "\"Rapier\"\t30\t1\t8\t2\t1",
    "[MaceWeapons]",
    "[SwordWeapons]",
    "\"Katana\"\t40\t2\t5\t3\t1",
    "[Wrestling]",
    "\"Fists\"\t60\t1\t3\t0\t1",
    "[Shields]",
    "\"Kite shield\"\t5",
    "\"Heavyironkiteshield\"\t7",
});

// Bob's hit points (120) differ from his Str. (100).
const std::string kYourBob =
    "\"Bob\"\t\t\t\t100\t90\t100\t2\t30\t100\t80\t120\t\"Kite shield\"\t\"Katana\"";
const std::string kAnn = "\"Ann\"\t\t\t\t50\t60\t70\t0\t10\t20\t30\t50\t\"- none -\"\t\t\"Rapier\"";
const std::string kOppBob = "\"Bob\"\t\t\t\t77\t66\t55\t3\t44\t33\t22\t77\t\"- none -\"\t\t\"Fists\"";
const std::string kOrc = "\"Orc\"\t\t\t\t200\t100\t100\t0\t50\t50\t50\t200\t\"\"\t\t\t\"Rapier\"";
const std::string kChars = crlf({"[YourChars]", kYourBob, kAnn, "[OppChars]", kOppBob, kOrc});

// The line NEW writes for `name` when only Str. 57 was entered.
std::string plainLine(const std::string& name) {
    return FormatCharacterLine(name, 57, 0, 0, -1, 0, 0, 0, "", "");
}

// What the user enters in the New Character dialog.
struct NewInput {
    std::string name;
    bool cancel = false;
    QString strength = "57";
    std::vector<std::pair<int, QString>> numbers = {};  // further edits: id, text
    const char* weaponType = nullptr;
    const char* weapon = nullptr;
    const char* shield = nullptr;
};

// One side's buttons and members, to run a test on both.
struct SideCase {
    const char* name;
    int newId, saveId, delId;
    ComboBox* SimulatorDialog::*characterList;
    std::string SimulatorDialog::*characterName;
    std::int32_t SimulatorDialog::*strength;
    int strengthId;
};
const SideCase kSides[] = {
    {"You", sim::kYourNew, sim::kYourSave, sim::kYourDel, &SimulatorDialog::yourCharacterList,
     &SimulatorDialog::yourCharacterName, &SimulatorDialog::yourStrength, sim::kYourStrength},
    {"Opponent", sim::kOppNew, sim::kOppSave, sim::kOppDel, &SimulatorDialog::oppCharacterList,
     &SimulatorDialog::oppCharacterName, &SimulatorDialog::oppStrength, sim::kOppStrength},
};
const SideCase& kYou = kSides[0];
const SideCase& kOpp = kSides[1];

class CharacterCommandsTest : public testing::WindowTest {
protected:
    SimulatorDialog& open(const std::string& chars) { return WindowTest::open(chars, kEquipment); }

    // Chooses `name` in a side's character list, as a user does.
    void select(const SideCase& side, const std::string& name) { choose(window().*side.characterList, name); }

    void click(int id) { QTest::mouseClick(window().controlAs<QAbstractButton>(id), Qt::LeftButton); }

    // Clicks NEW on `side` with the New Character dialog answered by `input`.
    void clickNew(const SideCase& side, const NewInput& input) {
        modals.setNextAnswer([input](Dialog& d) {
            auto type = [&d](int id, const QString& text) {
                d.edit(id)->setFocus();
                d.edit(id)->clear();
                QTest::keyClicks(d.edit(id), text);
            };
            type(nc::kName, QString::fromStdString(input.name));
            type(nc::kStrength, input.strength);
            for (const auto& [id, text] : input.numbers) type(id, text);
            if (input.weaponType) choose(d.comboBox(nc::kWeaponTypeList), input.weaponType);
            if (input.weapon) choose(d.comboBox(nc::kWeaponList), input.weapon);
            if (input.shield) choose(d.comboBox(nc::kShieldList), input.shield);
            d.sendCommand(input.cancel ? IDCANCEL : IDOK);
        });
        click(side.newId);
    }

    std::string status() { return window().statusLine->text().toStdString(); }
};

// NEW on each side adds the character after its section's last entry, and
// the side then shows it as stored.
TEST_F(CharacterCommandsTest, NewAppendsAfterTheSidesLastEntryAndSelectsIt) {
    for (const SideCase& side : kSides) {
        open(kChars);
        clickNew(side, {.name = "Cid"});
        const std::string expected =
            side.newId == sim::kYourNew
                ? crlf({"[YourChars]", kYourBob, kAnn, plainLine("Cid"), "[OppChars]", kOppBob, kOrc})
                : crlf({"[YourChars]", kYourBob, kAnn, "[OppChars]", kOppBob, kOrc, plainLine("Cid")});
        EXPECT_EQ(readFile("charfile.cfg"), expected) << side.name;
        ASSERT_FALSE(modals.shown().empty());
        EXPECT_EQ(modals.shown().back().templateId, ids::kNewCharacterDialog);
        EXPECT_EQ(modals.shown().back().result, IDOK);
        EXPECT_TRUE(messages.shown().empty()) << side.name;
        EXPECT_EQ(window().*side.characterName, "Cid") << side.name;
        EXPECT_EQ((window().*side.characterList)->selectedEntry(), "Cid") << side.name;
        EXPECT_EQ(window().*side.strength, 57) << side.name;
        EXPECT_EQ(window().edit(side.strengthId)->text().toStdString(), "57") << side.name;
        EXPECT_EQ(status(), "") << side.name;
    }
}

TEST_F(CharacterCommandsTest, NewWritesEveryValueEnteredInTheStoredLayout) {
    open(kChars);
    clickNew(kYou, {.name = "Sir Cid",
                    .strength = "100",
                    .numbers = {{nc::kDexterity, "90"}, {nc::kWeaponSkill, "99"}, {nc::kArmorRating, "30"},
                                {nc::kTactics, "98"}, {nc::kParry, "80"}},
                    .weaponType = "Sword",
                    .weapon = "Katana",
                    .shield = "Kite shield"});
    const std::string line = "\"Sir Cid\"\t\t\t100\t90\t99\t2\t30\t98\t80\t100\t\"Kite shield\"\t\"Katana\"";
    EXPECT_EQ(readFile("charfile.cfg"), crlf({"[YourChars]", kYourBob, kAnn, line, "[OppChars]", kOppBob, kOrc}));
    EXPECT_EQ(window().yourWeaponType, 2);
    EXPECT_EQ(window().yourWeaponName, "Katana");
    EXPECT_EQ(window().yourShieldName, "Kite shield");
    EXPECT_EQ(window().yourTactics, 98);
}

TEST_F(CharacterCommandsTest, NewWithoutEquipmentStoresNoneChosen) {
    open(kChars);
    clickNew(kOpp, {.name = "Dan"});
    const std::string line = "\"Dan\"\t\t\t\t57\t0\t0\t-1\t0\t0\t0\t57\t\"\"\t\t\t\"\"";
    EXPECT_EQ(readFile("charfile.cfg"), crlf({"[YourChars]", kYourBob, kAnn, "[OppChars]", kOppBob, kOrc, line}));
    EXPECT_EQ(window().oppWeaponType, -1);
}

// Each case starts with Ann selected on the You side, then clicks You's NEW.
TEST_F(CharacterCommandsTest, NewAddsOnlyANewNameAndNeverOverwritesACharacter) {
    const std::string afterEmptyName =
        crlf({"[YourChars]", kAnn, "\"\"\t1\t1\t1\t-1\t1\t1\t1\t1\t\"\"\t\"\"", "\"Cal\"\t5\t5", "[OppChars]"});
    const std::string brokenEve = crlf({"[YourChars]", kAnn, "\"Eve\"\tnot a character", kYourBob, "[OppChars]"});
    struct Case {
        const char* what;
        std::string file;
        NewInput input;
        std::string expected;  // the file afterwards
        bool warned;
        std::string selected;  // the You character afterwards, reloaded or new
    };
    const Case cases[] = {
        {"an empty name", kChars, {.name = ""}, kChars, false, "Ann"},
        {"a taken name", kChars, {.name = "Bob"}, kChars, true, "Ann"},
        {"Cancel with a taken name", kChars, {.name = "Bob", .cancel = true}, kChars, false, "Ann"},
        {"a taken name listed after an entry with an empty name", afterEmptyName, {.name = "Cal"},
         afterEmptyName, true, "Ann"},
        {"a name differing only in case", kChars, {.name = "bob"},
         crlf({"[YourChars]", kYourBob, kAnn, plainLine("bob"), "[OppChars]", kOppBob, kOrc}), false, "bob"},
        {"a name taken only on the other side", kChars, {.name = "Orc"},
         crlf({"[YourChars]", kYourBob, kAnn, plainLine("Orc"), "[OppChars]", kOppBob, kOrc}), false, "Orc"},
        {"a line of that name that is no character", brokenEve, {.name = "Eve"},
         crlf({"[YourChars]", kAnn, plainLine("Eve"), kYourBob, "[OppChars]"}), false, "Eve"},
        {"a section without entries", crlf({"[YourChars]", "[OppChars]", kOrc}), {.name = "Cid"},
         crlf({"[YourChars]", "", plainLine("Cid"), "[OppChars]", kOrc}), false, "Cid"},
    };
    for (const Case& c : cases) {
        open(c.file);
        if (window().yourCharacterList->findExact("Ann") >= 0) select(kYou, "Ann");
        messages.clear();
        clickNew(kYou, c.input);
        EXPECT_EQ(readFile("charfile.cfg"), c.expected) << c.what;
        if (c.warned) {
            ASSERT_EQ(messages.shown().size(), 1u) << c.what;
            EXPECT_EQ(messages.shown()[0].text, "Character already exists.") << c.what;
            EXPECT_EQ(messages.shown()[0].caption, "Warning!") << c.what;
            EXPECT_EQ(messages.shown()[0].icon, MessageIcon::Exclamation) << c.what;
            EXPECT_EQ(messages.shown()[0].buttons, MessageButtons::Ok) << c.what;
        } else {
            EXPECT_TRUE(messages.shown().empty()) << c.what;
        }
        EXPECT_EQ(window().yourCharacterName, c.selected) << c.what;
        EXPECT_EQ(status(), "") << c.what;
    }
}

TEST_F(CharacterCommandsTest, SaveKeepsThePlaceAndWritesStrAsHitPoints) {
    open(kChars);
    select(kYou, "Bob");
    Edit* strength = window().edit(sim::kYourStrength);
    strength->clear();
    QTest::keyClicks(strength, "150");
    click(sim::kYourSave);
    const std::string saved = "\"Bob\"\t\t\t\t150\t90\t100\t2\t30\t100\t80\t150\t\"Kite shield\"\t\"Katana\"";
    EXPECT_EQ(readFile("charfile.cfg"), crlf({"[YourChars]", saved, kAnn, "[OppChars]", kOppBob, kOrc}));
    EXPECT_EQ(window().yourCharacterName, "Bob");
    EXPECT_EQ(window().yourStrength, 150);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(status(), "");
}

// What the status line showed each time it was painted, with the cursor of
// that moment.
class PaintLog : public QObject {
public:
    struct Painted {
        std::string text;
        bool busy;
    };
    std::vector<Painted> painted;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            const QCursor* cursor = QGuiApplication::overrideCursor();
            painted.push_back({static_cast<Edit*>(watched)->text().toStdString(),
                               cursor != nullptr && cursor->shape() == Qt::WaitCursor});
        }
        return false;
    }
};

// While another program holds the lock on the file, SAVE waits for it with a
// busy cursor and says why in the status line, painted before the wait (no
// event loop runs inside the edit); both go when the lock is let go, and the
// save goes ahead.
TEST_F(CharacterCommandsTest, AWaitForAnotherProgramsLockIsShown) {
    open(kChars);
    // As on a screen: a window not yet shown there paints nothing.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    select(kYou, "Bob");
    PlatformFileSystem other;
    std::string path;
    ASSERT_TRUE(other.resolve((testing::workingDirectory() / "charfile.cfg").string(), path));
    std::unique_ptr<LockedFile> held = other.lock(path, std::chrono::milliseconds(0));
    ASSERT_TRUE(held);
    PaintLog log;
    window().statusLine->installEventFilter(&log);
    std::thread letGo([&held] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        held.reset();
    });
    click(sim::kYourSave);
    letGo.join();
    window().statusLine->removeEventFilter(&log);

    const std::string waiting = "waiting for another program to finish with charfile.cfg\u2026";
    ASSERT_FALSE(log.painted.empty());
    EXPECT_EQ(log.painted.front().text, waiting);
    EXPECT_TRUE(log.painted.front().busy);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(status(), "");
    const std::string saved = "\"Bob\"\t\t\t\t100\t90\t100\t2\t30\t100\t80\t100\t\"Kite shield\"\t\"Katana\"";
    EXPECT_EQ(readFile("charfile.cfg"), crlf({"[YourChars]", saved, kAnn, "[OppChars]", kOppBob, kOrc}));
}

TEST_F(CharacterCommandsTest, SaveOrDelWithNothingSelectedLeavesTheFileAlone) {
    // Lone LF line ends: any rewrite of the file would show as CR LF.
    const std::string lf = "[YourChars]\n" + kYourBob + "\n[OppChars]\n" + kOppBob + "\n";
    for (const SideCase& side : kSides) {
        for (int id : {side.saveId, side.delId}) {
            open(lf);
            click(id);
            EXPECT_EQ(readFile("charfile.cfg"), lf) << side.name << " " << id;
            EXPECT_EQ(window().*side.characterName, "") << side.name << " " << id;
            EXPECT_EQ(window().*side.strength, 0) << side.name << " " << id;
            EXPECT_EQ(status(), "") << side.name << " " << id;
            EXPECT_TRUE(messages.shown().empty());
        }
    }
}

TEST_F(CharacterCommandsTest, SaveOfANameGoneFromTheFileAppendsIt) {
    open(kChars);
    select(kYou, "Ann");
    // The file is edited outside the program: Ann is gone.
    testing::writeFile("charfile.cfg", crlf({"[YourChars]", kYourBob, "[OppChars]", kOppBob}));
    click(sim::kYourSave);
    const std::string ann = FormatCharacterLine("Ann", 50, 60, 70, 0, 10, 20, 30, "- none -", "Rapier");
    EXPECT_EQ(readFile("charfile.cfg"), crlf({"[YourChars]", kYourBob, ann, "[OppChars]", kOppBob}));
    EXPECT_EQ(status(), "");
}

// A name the lookups read on a line the edits do not match (an indented one)
// gets no second line: the failure shows in the status line.
TEST_F(CharacterCommandsTest, SaveNeverAddsASecondLineAndSaysSo) {
    const std::string file = crlf({"[YourChars]", "  " + kYourBob, kAnn, "[OppChars]", kOppBob});
    open(file);
    select(kYou, "Bob");
    click(sim::kYourSave);
    EXPECT_EQ(readFile("charfile.cfg"), file);
    EXPECT_EQ(status(), "Could not save \"Bob\" to charfile.cfg.");
    EXPECT_EQ(window().yourStrength, 100) << "the side shows what the file holds";
    EXPECT_TRUE(messages.shown().empty()) << "the status line, not a message box";
}

TEST_F(CharacterCommandsTest, FailedWritesAreReportedNeverShownAsDone) {
    struct Case {
        const char* what;
        std::string file;
        bool writeFails;  // no file can be written (a full disk)
        std::function<void()> command;
        std::string message;
    };
    const Case cases[] = {
        {"NEW without the side's section", crlf({"[OppChars]", kOppBob}), false,
         [this] { clickNew(kYou, {.name = "Cid"}); },
         "Could not add \"Cid\" to charfile.cfg."},
        {"NEW on a full disk", kChars, true,
         [this] { clickNew(kOpp, {.name = "Cid"}); },
         "Could not add \"Cid\" to charfile.cfg."},
        {"SAVE on a full disk", kChars, true,
         [this] {
             select(kOpp, "Orc");
             click(sim::kOppSave);
         },
         "Could not save \"Orc\" to charfile.cfg."},
        {"DEL on a full disk", kChars, true,
         [this] {
             select(kYou, "Ann");
             click(sim::kYourDel);
         },
         "Could not delete \"Ann\" from charfile.cfg."},
    };
    for (const Case& c : cases) {
        open(c.file);
        {
            std::optional<FailingWrites> failing;
            if (c.writeFails) failing.emplace();
            c.command();
        }
        EXPECT_EQ(readFile("charfile.cfg"), c.file) << c.what;
        EXPECT_EQ(status(), c.message) << c.what;
        EXPECT_EQ(firstShownCharacter(*window().statusLine), 0) << c.what << ": the name stays in view";
        EXPECT_EQ(window().statusText, c.message) << c.what;
        EXPECT_TRUE(messages.shown().empty()) << c.what;
        // The lists hold what the file holds.
        EXPECT_EQ(window().yourCharacterList->findExact("Cid"), -1) << c.what;
        EXPECT_EQ(window().oppCharacterList->findExact("Cid"), -1) << c.what;
    }
    // After the failed DEL the file still holds Ann, and deleting her works.
    select(kYou, "Ann");
    click(sim::kYourDel);
    EXPECT_EQ(readFile("charfile.cfg"), crlf({"[YourChars]", kYourBob, "[OppChars]", kOppBob, kOrc}));
    EXPECT_EQ(status(), "");
}

// A NEW that could not write leaves the side on the character it showed: the
// new name is not selected, so the list's prefix rule cannot load another
// character that begins with it.
TEST_F(CharacterCommandsTest, AFailedNewKeepsTheSidesCharacter) {
    open(kChars);
    select(kYou, "Ann");
    {
        FailingWrites failing;
        clickNew(kYou, {.name = "Bo"});
    }
    EXPECT_EQ(readFile("charfile.cfg"), kChars);
    EXPECT_EQ(status(), "Could not add \"Bo\" to charfile.cfg.");
    EXPECT_EQ(window().yourCharacterName, "Ann");
    EXPECT_EQ(window().yourCharacterList->selectedEntry(), "Ann");
    EXPECT_EQ(window().yourStrength, 50);
    EXPECT_EQ(window().edit(sim::kYourStrength)->text(), "50");
}

// Enter on a focused NEW, SAVE or DEL runs that command, as a click does;
// from a number field it still runs Begin, the default button.
TEST_F(CharacterCommandsTest, EnterOnAFocusedCommandButtonRunsThatCommand) {
    const std::string savedBob = "\"Bob\"\t\t\t\t150\t90\t100\t2\t30\t100\t80\t150\t\"Kite shield\"\t\"Katana\"";
    struct Case {
        int focus;
        std::string file;  // afterwards
        bool newDialog;
        std::string status;
    };
    const Case cases[] = {
        {sim::kYourNew, kChars, true, ""},
        {sim::kYourSave, crlf({"[YourChars]", savedBob, kAnn, "[OppChars]", kOppBob, kOrc}), false, ""},
        {sim::kYourDel, crlf({"[YourChars]", kAnn, "[OppChars]", kOppBob, kOrc}), false, ""},
        {sim::kYourStrength, kChars, false, "Information incomplete, can't continue."},
    };
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        for (const Case& c : cases) {
            open(kChars);
            window().activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
            select(kYou, "Bob");
            Edit* strength = window().edit(sim::kYourStrength);
            strength->setFocus();
            strength->selectAll();
            QTest::keyClicks(strength, "150");
            modals.clear();
            QWidget* focus = window().control(c.focus);
            focus->setFocus();
            QTest::keyClick(focus, key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
            const std::string what = std::to_string(c.focus) + " " + std::to_string(key);
            EXPECT_EQ(readFile("charfile.cfg"), c.file) << what;
            EXPECT_EQ(status(), c.status) << what;
            ASSERT_EQ(modals.shown().size(), c.newDialog ? 1u : 0u) << what;
            if (c.newDialog) {
                EXPECT_EQ(modals.shown()[0].templateId, ids::kNewCharacterDialog) << what;
            }
        }
    }
}

// Each command clears the status line first: it then shows only what that
// command reports, whether the command wrote, refused, was cancelled or
// failed in turn.
TEST_F(CharacterCommandsTest, EveryCommandFirstClearsTheStatusLine) {
    struct Case {
        const char* what;
        std::function<void()> command;
        std::string message;  // what the command itself reports
    };
    const Case cases[] = {
        {"a cancelled NEW", [this] { clickNew(kOpp, {.name = "Cid", .cancel = true}); }, ""},
        {"a refused NEW", [this] { clickNew(kOpp, {.name = "Orc"}); }, ""},
        {"a NEW that writes", [this] { clickNew(kOpp, {.name = "Cid"}); }, ""},
        {"a SAVE that writes", [this] { click(sim::kYourSave); }, ""},
        {"a SAVE of nothing", [this] { click(sim::kOppSave); }, ""},
        {"a DEL that writes", [this] { click(sim::kYourDel); }, ""},
        {"a DEL that fails",
         [this] {
             FailingWrites failing;
             click(sim::kYourDel);
         },
         "Could not delete \"Bob\" from charfile.cfg."},
    };
    for (const Case& c : cases) {
        open(kChars);
        select(kYou, "Bob");
        // The failed-write message of an earlier SAVE.
        {
            FailingWrites failing;
            click(sim::kYourSave);
        }
        ASSERT_EQ(status(), "Could not save \"Bob\" to charfile.cfg.") << c.what;

        c.command();
        EXPECT_EQ(status(), c.message) << c.what;
        EXPECT_EQ(window().statusText, c.message) << c.what;
    }
}

// A name of 22 characters or more and a shield name of 16 or more, neither
// with a blank, get one separating tab so that the line reads back.
TEST_F(CharacterCommandsTest, SaveSeparatesLongNamesSoTheLineReadsBack) {
    const std::string name = "Bartholomew_the_Terrible";  // 24 characters
    open(crlf({"[YourChars]", "\"" + name + "\"\t100\t90\t100\t2\t30\t100\t80\t100\t\"Kite shield\"\t\"Katana\"",
               "[OppChars]"}));
    select(kYou, name);
    choose(window().yourShieldList, "Heavyironkiteshield");
    click(sim::kYourSave);
    const std::string line =
        "\"" + name + "\"\t100\t90\t100\t2\t30\t100\t80\t100\t\"Heavyironkiteshield\"\t\"Katana\"";
    EXPECT_EQ(readFile("charfile.cfg"), crlf({"[YourChars]", line, "[OppChars]"}));
    std::string text;
    EXPECT_TRUE(charFile().lookupText(kYourChars, name, CharacterRecord::shieldName, text));
    EXPECT_EQ(text, "Heavyironkiteshield");
    EXPECT_TRUE(charFile().lookupText(kYourChars, name, CharacterRecord::weaponName, text));
    EXPECT_EQ(text, "Katana");
    EXPECT_EQ(window().yourShieldName, "Heavyironkiteshield");
}

TEST_F(CharacterCommandsTest, DelRemovesTheSelectedCharacterAndLeavesTheOtherSidesNamesake) {
    for (const SideCase& side : kSides) {
        open(kChars);
        select(side, "Bob");
        click(side.delId);
        const std::string expected = side.delId == sim::kYourDel
                                         ? crlf({"[YourChars]", kAnn, "[OppChars]", kOppBob, kOrc})
                                         : crlf({"[YourChars]", kYourBob, kAnn, "[OppChars]", kOrc});
        EXPECT_EQ(readFile("charfile.cfg"), expected) << side.name;
        EXPECT_TRUE(messages.shown().empty()) << "no confirmation";
        EXPECT_EQ(window().*side.characterName, "") << side.name;
        EXPECT_EQ((window().*side.characterList)->findExact("Bob"), -1) << side.name;
        EXPECT_EQ(window().*side.strength, 0) << side.name;
        const SideCase& other = side.delId == sim::kYourDel ? kOpp : kYou;
        EXPECT_GE((window().*other.characterList)->findExact("Bob"), 0) << side.name;
        EXPECT_EQ(status(), "") << side.name;
    }
}

}  // namespace
}  // namespace skarn
