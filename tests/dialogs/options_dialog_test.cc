#include "dialogs/options_dialog.h"

#include <cstddef>
#include <string>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QPoint>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "resources/resource_ids.h"
#include "tests/support/ui_testing.h"

namespace skarn {
namespace {

namespace opt = ids::options;

// The boxes in mode order: 0, 1, 2.
const int kBoxOfMode[] = {opt::kDamagePer60Seconds, opt::kToDeathOfOpponent, opt::kToTheDeath};

// The ways a user changes a check box: a click on its indicator, Space while
// it has the focus, a screen reader's toggle action (which makes no click).
enum class Toggle { Mouse, Space, Accessibility };

void toggleBox(Dialog& dialog, int id, Toggle how) {
    auto* box = dialog.controlAs<CheckBox>(id);
    ASSERT_NE(box, nullptr) << id;
    switch (how) {
    case Toggle::Mouse:
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
        break;
    case Toggle::Space:
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Space);
        break;
    case Toggle::Accessibility: {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(box);
        ASSERT_NE(accessible, nullptr);
        ASSERT_NE(accessible->actionInterface(), nullptr);
        accessible->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        break;
    }
    }
}

void clickBox(Dialog& dialog, int id) { toggleBox(dialog, id, Toggle::Mouse); }

// Which boxes are checked, in mode order, e.g. "010".
std::string checkedBoxes(const Dialog& dialog) {
    std::string checked;
    for (int id : kBoxOfMode) checked += dialog.controlAs<CheckBox>(id)->check() ? '1' : '0';
    return checked;
}

std::string onlyBox(int mode) {
    std::string checked = "000";
    checked[static_cast<std::size_t>(mode)] = '1';
    return checked;
}

TEST(OptionsDialog, OpensWithTheBoxOfTheCurrentModeChecked) {
    for (FightMode mode : {DamagePer60Seconds, ToDeathOfOpponent, ToTheDeath}) {
        OptionsDialog options;
        options.mode = mode;
        options.showModeless();
        EXPECT_EQ(options.windowTitle(), "Options");
        EXPECT_EQ(checkedBoxes(options), onlyBox(mode)) << "mode " << mode;
        EXPECT_EQ(options.toDeathOfOpponentBox, options.control(opt::kToDeathOfOpponent));
        EXPECT_EQ(options.toTheDeathBox, options.control(opt::kToTheDeath));
        EXPECT_EQ(options.damagePer60SecondsBox, options.control(opt::kDamagePer60Seconds));
    }
}

// Every change leaves exactly the changed box checked, the one already
// checked included, however the box was changed.
TEST(OptionsDialog, TheBoxesBehaveAsOneChoice) {
    for (Toggle how : {Toggle::Mouse, Toggle::Space, Toggle::Accessibility}) {
        for (FightMode start : {DamagePer60Seconds, ToDeathOfOpponent, ToTheDeath}) {
            for (int changed = 0; changed < 3; ++changed) {
                const std::string what = "way " + std::to_string(static_cast<int>(how)) + ", from mode " +
                                         std::to_string(start) + ", box of mode " + std::to_string(changed);
                OptionsDialog options;
                options.mode = start;
                options.showModeless();
                options.activateWindow();
                ASSERT_TRUE(QTest::qWaitForWindowActive(&options));
                toggleBox(options, kBoxOfMode[changed], how);
                EXPECT_EQ(options.mode, changed) << what;
                EXPECT_EQ(checkedBoxes(options), onlyBox(changed)) << what;
                toggleBox(options, kBoxOfMode[changed], how);  // and once more
                EXPECT_EQ(options.mode, changed) << what;
                EXPECT_EQ(checkedBoxes(options), onlyBox(changed)) << what;
            }
        }
    }
}

TEST(OptionsDialog, EndsWithOkOrCancel) {
    struct Case {
        const char* how;
        ModalRecorder::Script script;
        int result;
    };
    const Case cases[] = {
        {"OK", [](Dialog& d) { QTest::mouseClick(d.controlAs<QPushButton>(IDOK), Qt::LeftButton); }, IDOK},
        {"Enter", [](Dialog& d) { QTest::keyClick(&d, Qt::Key_Return); }, IDOK},
        {"Cancel", [](Dialog& d) { QTest::mouseClick(d.controlAs<QPushButton>(IDCANCEL), Qt::LeftButton); },
         IDCANCEL},
        {"Escape", [](Dialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }, IDCANCEL},
        {"close box", [](Dialog& d) { d.close(); }, IDCANCEL},
    };
    for (const Case& c : cases) {
        ModalRecorder modals;
        modals.setNextAnswer([&c](Dialog& d) {
            clickBox(d, opt::kToTheDeath);
            c.script(d);
        });
        OptionsDialog options;
        options.mode = ToDeathOfOpponent;
        EXPECT_EQ(options.doModal(), c.result) << c.how;
        EXPECT_EQ(options.mode, ToTheDeath) << c.how;
        ASSERT_EQ(modals.shown().size(), 1u);
        EXPECT_EQ(modals.shown()[0].templateId, ids::kOptionsDialog);
    }
}

}  // namespace
}  // namespace skarn
