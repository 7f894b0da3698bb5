// "Begin" on the main window: the checks before a run, the run itself
// against the combat core, the progress bar and the Results dialog.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QEvent>
#include <QObject>
#include <QPoint>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "app/program_objects.h"
#include "app/simulator_dialog.h"
#include "combat/combatant.h"
#include "combat/fight.h"
#include "combat/random.h"
#include "dialogs/results_dialog.h"
#include "resources/resource_ids.h"
#include "tests/app/failing_writes.h"
#include "tests/app/window_fixture.h"
#include "tests/support/comma_locale.h"
#include "tests/support/scripted_rolls.h"

namespace skarn {
namespace {

namespace sim = ids::simulator;
namespace res = ids::results;
using testing::crlf;

const std::string kEquipment = crlf({
    "[MaceWeapons]",
    "\"Club\"\t25\t2\t4\t1\t1",
    "\"Stick\"\t0\t1\t4\t0\t1",
    "[SwordWeapons]",
    "\"Katana\"\t40\t2\t5\t3\t1",
    "\"Needle\"\t7500\t0\t1\t0\t1",
    "[Shields]",
    "\"Kite shield\"\t5",
});

// Name, then Str., Dex., W. Skill, weapon type, A.R., Tactics, Parry, hit
// points, shield, weapon.
const std::string kChars = crlf({
    "[YourChars]",
    "\"Bob\"\t100\t90\t100\t2\t30\t100\t80\t120\t\"Kite shield\"\t\"Katana\"",
    "\"Twin\"\t100\t100\t100\t2\t20\t100\t50\t1\t\"- none -\"\t\"Needle\"",
    "\"Kit\"\t100\t100\t100\t1\t20\t100\t50\t60\t\"- none -\"\t\"Stick\"",
    "\"Ivy\"\t100\t-100\t100\t2\t20\t100\t50\t60\t\"- none -\"\t\"Katana\"",
    "\"Nob\"\t100\t100\t100\t-1\t20\t100\t50\t60\t\"- none -\"\t\"Katana\"",
    "[OppChars]",
    "\"Orc\"\t200\t100\t99\t1\t50\t51\t52\t250\t\"Kite shield\"\t\"Club\"",
    "\"Twin\"\t100\t100\t100\t2\t20\t100\t50\t1\t\"- none -\"\t\"Needle\"",
    "\"Giant\"\t100\t100\t100\t2\t20\t100\t50\t2000000\t\"- none -\"\t\"Katana\"",
    "\"Nob\"\t100\t100\t100\t-1\t20\t100\t50\t60\t\"- none -\"\t\"Katana\"",
});

// The fighters of the fixture as the combat core takes them.
Combatant fighter(std::int32_t str, std::int32_t dex, std::int32_t skill, std::int32_t ar, std::int32_t tactics,
                  std::int32_t parry, std::int32_t speed, std::int32_t dice, std::int32_t sides,
                  std::int32_t bonus, std::int32_t shieldIndex, std::int32_t absorb) {
    Combatant c;
    c.strength = str, c.dexterity = dex, c.weaponSkill = skill, c.armorRating = ar;
    c.tactics = tactics, c.parry = parry;
    c.weaponSpeed = speed, c.diceCount = dice, c.diceSides = sides, c.damageBonus = bonus;
    c.shieldIndex = shieldIndex, c.shieldAbsorb = absorb;
    return c;
}
Combatant bob() { return fighter(100, 90, 100, 30, 100, 80, 40, 2, 5, 3, 0, 5); }
Combatant orc() { return fighter(200, 100, 99, 50, 51, 52, 25, 2, 4, 1, 0, 5); }
// Swings on every tick (1500000 / (7500 * 200) = 1) with no dice: every
// landed blow does 1, all of its one hit point.
Combatant twin() { return fighter(100, 100, 100, 20, 100, 50, 7500, 0, 1, 0, -1, 0); }

// What the Results dialog showed, and the progress bar while it was open.
struct Shown {
    bool opened = false;
    std::string given, taken, time, win;
    double members[4] = {};  // given, taken, time, win %
    int progressWhileOpen = -1;
    std::string statusWhileOpen;
};

class BeginTest : public testing::WindowTest {
protected:
    SimulatorDialog& open() { return WindowTest::open(kChars, kEquipment); }

    // Chooses a character on each side, the mode and the slider's position.
    // The Opponent comes first: a You character whose values fail their
    // checks would stop the exchange before the Opponent's choice is taken.
    SimulatorDialog& openWith(const char* you, const char* opp, FightMode mode, int slider) {
        SimulatorDialog& w = open();
        choose(w.oppCharacterList, opp);
        choose(w.yourCharacterList, you);
        w.fightMode = mode;
        w.fightCountSlider->setPos(slider);
        return w;
    }

    // Clicks "Begin" and reads the Results dialog, if one opens, which it
    // then closes.
    Shown begin() {
        Shown shown;
        SimulatorDialog* w = &window();
        const ModalHook previous = setModalHook([&shown, w](Dialog& d) {
            auto& results = dynamic_cast<ResultsDialog&>(d);
            shown.opened = true;
            shown.given = d.edit(res::kDamageGiven)->text().toStdString();
            shown.taken = d.edit(res::kDamageTaken)->text().toStdString();
            shown.time = d.edit(res::kTime)->text().toStdString();
            shown.win = d.edit(res::kWinPercent)->text().toStdString();
            shown.members[0] = results.resultDamageGiven;
            shown.members[1] = results.resultDamageTaken;
            shown.members[2] = results.resultTime;
            shown.members[3] = results.resultWinPercent;
            shown.progressWhileOpen = w->progressBar->pos();
            shown.statusWhileOpen = w->statusLine->text().toStdString();
            QTest::mouseClick(d.controlAs<QPushButton>(IDOK), Qt::LeftButton);
        });
        QTest::mouseClick(window().controlAs<QPushButton>(sim::kBegin), Qt::LeftButton);
        setModalHook(previous);
        return shown;
    }

    std::string status() { return window().statusLine->text().toStdString(); }
};

// The incomplete-information message goes straight into the status line,
// in place of what it showed before; nothing else changes, and the hit
// points are still worked out.
TEST_F(BeginTest, AMissingWeaponTypeOrWeaponOnEitherSideStopsTheRun) {
    struct Case {
        const char* what;
        const char* you;
        const char* opp;
        int emptyTypeList;  // a weapon-type list chosen again, which empties the weapon; 0 for none
    };
    const Case cases[] = {
        {"You without a weapon type", "Nob", "Orc", 0},
        {"Opponent without a weapon type", "Bob", "Nob", 0},
        {"You without a weapon", "Bob", "Orc", sim::kYourWeaponTypeList},
        {"Opponent without a weapon", "Bob", "Orc", sim::kOppWeaponTypeList},
    };
    for (const Case& c : cases) {
        SimulatorDialog& w = openWith(c.you, c.opp, ToTheDeath, 2);
        if (c.emptyTypeList != 0) choose(w.comboBox(c.emptyTypeList), "Sword");
        w.statusLine->setText("earlier");
        w.updateData(true);
        w.progressBar->setPos(42);
        w.winCount = 7.0;

        const Shown shown = begin();
        EXPECT_FALSE(shown.opened) << c.what;
        EXPECT_EQ(status(), "Information incomplete, can't continue.") << c.what;
        EXPECT_EQ(w.statusText, "") << c.what << ": cleared, then written in the control, not the member";
        EXPECT_EQ(w.progressBar->pos(), 42) << c.what;
        EXPECT_EQ(w.winCount, 7.0) << c.what;
        EXPECT_EQ(w.yourHitPoints, std::string(c.you) == "Bob" ? 120 : 60) << c.what;
        EXPECT_EQ(w.oppHitPoints, std::string(c.opp) == "Orc" ? 250 : 60) << c.what;
        EXPECT_TRUE(messages.shown().empty()) << c.what;
    }
}

TEST_F(BeginTest, HitPointsComeFromTheStoredCharacterOrElseStr) {
    SimulatorDialog& w = openWith("Bob", "Orc", ToTheDeath, 0);
    begin();
    EXPECT_EQ(w.yourHitPoints, 120);
    EXPECT_EQ(w.oppHitPoints, 250);

    // The Opponent armed by hand, with no character chosen: its Str.
    SimulatorDialog& v = open();
    choose(v.yourCharacterList, "Bob");
    choose(v.comboBox(sim::kOppWeaponTypeList), "Mace");
    choose(v.oppWeaponList, "Club");
    v.findChild<Edit*>("oppStrength")->setText("80");
    const Shown shown = begin();
    EXPECT_TRUE(shown.opened);
    EXPECT_EQ(v.oppHitPoints, 80);
    EXPECT_EQ(v.yourHitPoints, 120);
}

// A run the combat rules cannot take is refused, naming the side and the
// value, in the status line; no fight is fought.
TEST_F(BeginTest, FightersTheRulesCannotTakeAreRefusedByName) {
    struct Case {
        const char* you;
        const char* opp;
        FightMode mode;
        const char* status;  // the sentence up to the allowed range
        std::size_t validationMessages;
        bool wide;  // far wider than the status line
    };
    const Case cases[] = {
        {"Kit", "Orc", DamagePer60Seconds, "You: weapon speed 0 is out of range (", 0, false},
        {"Bob", "Giant", ToTheDeath, "Opponent: hit points 2000000 is out of range (", 0, true},
        {"Ivy", "Orc", DamagePer60Seconds, "You: Dex. -100 is out of range (0 to 400).", 1, false},
    };
    for (const Case& c : cases) {
        SimulatorDialog& w = openWith(c.you, c.opp, c.mode, 3);
        messages.clear();
        w.progressBar->setPos(17);
        const std::uint32_t state = generator().state();
        const Shown shown = begin();
        EXPECT_FALSE(shown.opened) << c.status;
        EXPECT_EQ(status().substr(0, std::string(c.status).size()), c.status);
        EXPECT_EQ(status().back(), '.') << status();
        EXPECT_EQ(w.statusText, "") << c.status;
        EXPECT_EQ(w.progressBar->pos(), 17) << c.status;
        EXPECT_EQ(generator().state(), state) << c.status << ": no dice were rolled";
        EXPECT_EQ(messages.shown().size(), c.validationMessages) << c.status;
        // Shown from the side's name on; when wider than the field, whole in
        // the tool tip.
        EXPECT_EQ(firstShownCharacter(*w.statusLine), 0) << c.status;
        if (c.wide) {
            EXPECT_TRUE(w.statusLine->isTextCut()) << c.status;
            EXPECT_EQ(w.statusLine->toolTip().toStdString(), status()) << c.status;
            EXPECT_EQ(w.statusLine->accessibleDescription().toStdString(), status()) << c.status;
        }
    }
}

// A message from an earlier Begin or command never stands beside the
// results of a later run: each Begin clears the status line first.
TEST_F(BeginTest, ARunClearsWhatTheStatusLineSaidBefore) {
    const char* const earlier[] = {"refused", "incomplete", "a failed write"};
    for (const char* what : earlier) {
        SimulatorDialog& w = openWith("Bob", "Orc", DamagePer60Seconds, 1);
        if (std::string(what) == "refused") {
            // A weapon of speed 0, then the good one again.
            choose(w.comboBox(sim::kOppWeaponTypeList), "Mace");
            choose(w.oppWeaponList, "Stick");
            ASSERT_FALSE(begin().opened);
            choose(w.oppWeaponList, "Club");
        } else if (std::string(what) == "incomplete") {
            choose(w.comboBox(sim::kOppWeaponTypeList), "Mace");
            ASSERT_FALSE(begin().opened);
            choose(w.oppWeaponList, "Club");
        } else {
            testing::FailingWrites failing;
            QTest::mouseClick(w.controlAs<QAbstractButton>(sim::kYourSave), Qt::LeftButton);
        }
        ASSERT_NE(status(), "") << what;

        const Shown shown = begin();
        ASSERT_TRUE(shown.opened) << what;
        EXPECT_EQ(shown.statusWhileOpen, "") << what;
        EXPECT_EQ(status(), "") << what;
        EXPECT_EQ(w.statusText, "") << what;
    }
}

// The fight count is 3^k for the slider's position k: in mode 0 every fight
// lasts 6000 ticks, so the tick total counts the fights.
TEST_F(BeginTest, TheSliderGivesThreeToTheKFightsAndTheBarEndsAtZero) {
    struct Case {
        int slider;
        double fights;
        int progressAtEnd;  // 100 * (N - 1) / N
    };
    const Case cases[] = {{0, 1, 0}, {1, 3, 66}, {7, 2187, 99}};
    for (const Case& c : cases) {
        SimulatorDialog& w = openWith("Bob", "Orc", DamagePer60Seconds, c.slider);
        const Shown shown = begin();
        ASSERT_TRUE(shown.opened) << "slider " << c.slider;
        EXPECT_EQ(w.tickSum, c.fights * 6000) << "slider " << c.slider;
        EXPECT_EQ(shown.time, "60") << "slider " << c.slider;
        EXPECT_EQ(shown.win, "0") << "slider " << c.slider;
        EXPECT_EQ(w.winCount, 0.0) << "slider " << c.slider;
        EXPECT_EQ(shown.progressWhileOpen, c.progressAtEnd) << "slider " << c.slider;
        EXPECT_EQ(w.progressBar->pos(), 0) << "slider " << c.slider;
        EXPECT_EQ(status(), "") << "slider " << c.slider;
    }
}

TEST_F(BeginTest, ARunShowsWhatTheCombatCoreGivesForTheSameSeedAndFighters) {
    struct Case {
        FightMode mode;
        int slider;
    };
    for (const Case c : {Case{ToTheDeath, 3}, Case{ToDeathOfOpponent, 2}, Case{DamagePer60Seconds, 1}}) {
        SimulatorDialog& w = openWith("Bob", "Orc", c.mode, c.slider);
        const std::uint32_t seed = 20240601u + static_cast<std::uint32_t>(c.mode);
        generator().seed(seed);
        const Shown shown = begin();
        ASSERT_TRUE(shown.opened) << "mode " << c.mode;
        const std::uint32_t stateAfter = generator().state();

        Combatant you = bob(), opp = orc();
        Random rng(seed);
        RunTotals totals;
        std::int64_t fights = 1;
        for (int k = 0; k < c.slider; ++k) fights *= 3;
        const RunResults expected = runFights(you, opp, 120, 250, c.mode, fights, totals, {}, rng);

        EXPECT_EQ(shown.members[0], expected.resultDamageGiven) << "mode " << c.mode;
        EXPECT_EQ(shown.members[1], expected.resultDamageTaken) << "mode " << c.mode;
        EXPECT_EQ(shown.members[2], expected.resultTime) << "mode " << c.mode;
        EXPECT_EQ(shown.members[3], expected.resultWinPercent) << "mode " << c.mode;
        EXPECT_EQ(w.winCount, totals.winCount) << "mode " << c.mode;
        EXPECT_EQ(w.damageTakenSum, totals.damageTakenSum) << "mode " << c.mode;
        EXPECT_EQ(w.damageGivenSum, totals.damageGivenSum) << "mode " << c.mode;
        EXPECT_EQ(w.tickSum, totals.tickSum) << "mode " << c.mode;
        EXPECT_EQ(stateAfter, rng.state()) << "mode " << c.mode;
        EXPECT_GT(totals.damageGivenSum, 0.0) << "mode " << c.mode << ": the fixture fights";
    }
}

// Two equal fighters of one hit point, who each swing on every tick, and
// rolls under which You win 2 of 3 fights to the death: twice You land on
// tick 0 (the hit draw, one more, the armour draw) and the Opponent misses,
// then You miss and the Opponent lands. The window shows 66.6, cut and with
// a decimal point.
TEST_F(BeginTest, TwoWinsOutOfThreeShow66Point6WhateverTheLocale) {
    using testing::anyDraw;
    using testing::hit;
    using testing::miss;
    const std::uint32_t seed = testing::stateGiving({hit(50), anyDraw(), anyDraw(), miss(50),  //
                                                     hit(50), anyDraw(), anyDraw(), miss(50),  //
                                                     miss(50), hit(50)});
    {
        Combatant you = twin(), opp = twin();
        Random rng(seed);
        RunTotals totals;
        runFights(you, opp, 1, 1, ToTheDeath, 3, totals, {}, rng);
        ASSERT_EQ(totals.winCount, 2.0) << "the scripted rolls give 2 wins of 3";
    }

    const testing::CommaLocale comma;
    ASSERT_TRUE(testing::CommaLocale::active()) << "no decimal-comma locale: run scripts/install-deps";

    SimulatorDialog& w = open();
    choose(w.yourCharacterList, "Twin");
    choose(w.oppCharacterList, "Twin");
    w.fightCountSlider->setPos(1);
    // The mode is chosen as a user does, through Options.
    modals.setNextAnswer([](Dialog& d) {
        CheckBox* box = d.controlAs<CheckBox>(ids::options::kToTheDeath);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
        QTest::mouseClick(d.controlAs<QPushButton>(IDOK), Qt::LeftButton);
    });
    QTest::mouseClick(w.controlAs<QPushButton>(sim::kOptions), Qt::LeftButton);
    ASSERT_EQ(w.fightMode, ToTheDeath);

    generator().seed(seed);
    const Shown shown = begin();

    ASSERT_TRUE(shown.opened);
    EXPECT_EQ(w.winCount, 2.0);
    EXPECT_EQ(shown.win, "66.6");
    EXPECT_EQ(shown.members[3], 66.6);
}

// While a run goes the progress bar paints its new positions, though the
// thread is busy and no events are processed.
TEST_F(BeginTest, TheProgressBarRepaintsDuringTheRun) {
    SimulatorDialog& w = openWith("Bob", "Orc", DamagePer60Seconds, 4);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

    struct PaintRecorder : QObject {
        std::vector<int> painted;
        ProgressBar* bar = nullptr;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) painted.push_back(bar->pos());
            return false;
        }
    } recorder;
    recorder.bar = w.progressBar;
    w.progressBar->installEventFilter(&recorder);

    std::size_t paintedBeforeResults = 0;
    modals.setNextAnswer([&](Dialog& d) {
        paintedBeforeResults = recorder.painted.size();
        d.sendCommand(IDOK);
    });
    QTest::mouseClick(w.controlAs<QPushButton>(sim::kBegin), Qt::LeftButton);
    w.progressBar->removeEventFilter(&recorder);

    // Positions painted during the run; a paint left over from showing the
    // window would show 0.
    std::vector<int> during;
    for (std::size_t i = 0; i < paintedBeforeResults; ++i)
        if (recorder.painted[i] > 0) during.push_back(recorder.painted[i]);
    ASSERT_GE(during.size(), 10u) << "81 fights move the bar from 0 to 98";
    EXPECT_GE(during.back(), 90) << "the last position, 98, is painted when it shows";
    for (std::size_t i = 1; i < during.size(); ++i) EXPECT_GT(during[i], during[i - 1]);
}

}  // namespace
}  // namespace skarn
