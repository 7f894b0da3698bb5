// "Options" on the main window: the stop rule changes only when the Options
// dialog ends with OK.

#include <iterator>

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QPoint>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "app/simulator_dialog.h"
#include "dialogs/options_dialog.h"
#include "resources/resource_ids.h"
#include "tests/app/window_fixture.h"

namespace skarn {
namespace {

namespace opt = ids::options;

class OptionsTest : public testing::WindowTest {
protected:
    // Clicks "Options" and, in the dialog, the box `boxId` (none for 0), or
    // toggles it as a screen reader does, then clicks the button `endId`.
    // Returns the mode the dialog opened with.
    FightMode runOptions(int boxId, int endId, bool screenReader = false) {
        FightMode shown = static_cast<FightMode>(-1);
        modals.setNextAnswer([&shown, boxId, endId, screenReader](Dialog& d) {
            auto& options = dynamic_cast<OptionsDialog&>(d);
            shown = options.mode;
            if (boxId != 0) {
                CheckBox* box = d.controlAs<CheckBox>(boxId);
                if (screenReader)
                    QAccessible::queryAccessibleInterface(box)->actionInterface()->doAction(
                        QAccessibleActionInterface::toggleAction());
                else
                    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
            }
            QTest::mouseClick(d.controlAs<QPushButton>(endId), Qt::LeftButton);
        });
        QTest::mouseClick(window().controlAs<QPushButton>(ids::simulator::kOptions), Qt::LeftButton);
        return shown;
    }
};

TEST_F(OptionsTest, OkKeepsTheChoiceAndCancelDropsIt) {
    SimulatorDialog& w = open("", "");
    struct Step {
        const char* what;
        int box;
        int end;
        FightMode after;
        bool screenReader = false;
    };
    const Step steps[] = {
        {"Cancel after a choice", opt::kToTheDeath, IDCANCEL, DamagePer60Seconds},
        {"OK after a choice", opt::kToTheDeath, IDOK, ToTheDeath},
        {"OK after clicking the checked box", opt::kToTheDeath, IDOK, ToTheDeath},
        {"OK with no click", 0, IDOK, ToTheDeath},
        {"OK after another choice", opt::kToDeathOfOpponent, IDOK, ToDeathOfOpponent},
        {"Cancel after a choice", opt::kDamagePer60Seconds, IDCANCEL, ToDeathOfOpponent},
        {"OK after a screen reader's toggle", opt::kDamagePer60Seconds, IDOK, DamagePer60Seconds, true},
        {"OK after a screen reader's toggle of the checked box", opt::kDamagePer60Seconds, IDOK,
         DamagePer60Seconds, true},
    };
    FightMode before = w.fightMode;
    for (const Step& s : steps) {
        EXPECT_EQ(runOptions(s.box, s.end, s.screenReader), before) << s.what << ": opens on the current mode";
        EXPECT_EQ(w.fightMode, s.after) << s.what;
        before = w.fightMode;
    }
    EXPECT_EQ(modals.shown().size(), std::size(steps)) << "a fresh dialog every time";
    EXPECT_EQ(modals.shown().back().templateId, ids::kOptionsDialog);
}

TEST_F(OptionsTest, NeitherReadsNorChecksTheNumberFields) {
    SimulatorDialog& w = open("", "");
    w.findChild<Edit*>("yourStrength")->setText("999");
    runOptions(opt::kToTheDeath, IDOK);
    EXPECT_EQ(w.fightMode, ToTheDeath);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(w.yourStrength, 0);
    EXPECT_EQ(w.findChild<Edit*>("yourStrength")->text(), "999");
}

}  // namespace
}  // namespace skarn
