#include "ui/dialog.h"

#include <cmath>
#include <functional>
#include <set>
#include <string>

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "tests/support/ui_testing.h"
#include "tests/ui/test_dialog.h"

namespace skarn {
namespace {

using testing::TestDialog;
namespace ids = testing;

TEST(Dialog, ControlsFollowTheirTemplate) {
    TestDialog dialog;
    ASSERT_EQ(dialog.controls().size(), testing::testTemplate().controls.size());
    std::set<QString> names;
    QWidget* previousFocus = nullptr;
    for (std::size_t i = 0; i < dialog.controls().size(); ++i) {
        QWidget* widget = dialog.controls()[i];
        const ControlTemplate& entry = testing::testTemplate().controls[i];
        EXPECT_EQ(widget->objectName().toStdString(), entry.objectName);
        EXPECT_FALSE(widget->accessibleName().isEmpty()) << entry.objectName;
        EXPECT_TRUE(names.insert(widget->objectName()).second) << "duplicate " << entry.objectName;
        if (entry.id != -1) {
            EXPECT_EQ(dialog.control(entry.id), widget) << entry.objectName;
        }
        if (widget->focusPolicy() == Qt::NoFocus) continue;
        // Tab order is template order.
        if (previousFocus) {
            EXPECT_EQ(previousFocus->nextInFocusChain(), widget) << entry.objectName;
        }
        previousFocus = widget;
    }
    EXPECT_EQ(dialog.control(ids::kStrength)->accessibleName(), "Test Str.");
    EXPECT_EQ(dialog.findChild<QLabel*>("strengthLabel")->accessibleName(), "Str.");
    EXPECT_EQ(dialog.findChild<QGroupBox*>("group")->focusPolicy(), Qt::NoFocus);

    EXPECT_TRUE(dialog.edit(ids::kStrength)->isDigitsOnly());
    EXPECT_FALSE(dialog.edit(ids::kName)->isDigitsOnly());
    EXPECT_TRUE(dialog.edit(ids::kStatus)->isReadOnly());
    EXPECT_TRUE(dialog.comboBox(ids::kSortedList)->isSorted());
    EXPECT_FALSE(dialog.comboBox(ids::kTypeList)->isSorted());
    EXPECT_TRUE(dialog.controlAs<QPushButton>(IDOK)->isDefault());
    EXPECT_FALSE(dialog.controlAs<QPushButton>(IDCANCEL)->isDefault());
    auto* slider = dialog.controlAs<Trackbar>(ids::kSlider);
    EXPECT_EQ(slider->tickPosition(), QSlider::TicksBothSides);
    EXPECT_EQ(slider->tickInterval(), 1);
    auto* progress = dialog.controlAs<ProgressBar>(ids::kProgress);
    EXPECT_FALSE(progress->isTextVisible());
    EXPECT_EQ(progress->minimum(), 0);
    EXPECT_EQ(progress->maximum(), 100);
    EXPECT_EQ(dialog.windowTitle(), "Test Dialog");
}

TEST(Dialog, DialogUnitsFollowTheFontSoTheLayoutKeepsItsProportions) {
    const QFont original = QApplication::font();
    for (int points : {7, 9, 12, 20}) {
        QFont font = original;
        font.setPointSize(points);
        QApplication::setFont(font);
        TestDialog dialog;
        const QFontMetricsF metrics(dialog.font());
        EXPECT_NEAR(dialog.baseUnitY(), metrics.height(), 1e-9) << points << " pt";
        // The dialog and a control, in units of the font.
        const ControlTemplate& entry = testing::testTemplate().controls[2];  // the Str. edit
        const QRect rect = dialog.control(ids::kStrength)->geometry();
        EXPECT_NEAR(dialog.width(), 200 * dialog.baseUnitX() / 4, 0.5) << points << " pt";
        EXPECT_NEAR(dialog.height(), 120 * dialog.baseUnitY() / 8, 0.5) << points << " pt";
        EXPECT_NEAR(rect.x(), entry.x * dialog.baseUnitX() / 4, 0.5) << points << " pt";
        EXPECT_NEAR(rect.width(), entry.width * dialog.baseUnitX() / 4, 1.0) << points << " pt";
        EXPECT_NEAR(rect.height(), entry.height * dialog.baseUnitY() / 8, 1.0) << points << " pt";
        // The caption of a label fits its control at every size.
        auto* label = dialog.findChild<QLabel*>("strengthLabel");
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << points << " pt";
    }
    QApplication::setFont(original);
}

TEST(Dialog, InitialisationAppliesTheListEntriesExchangesAndFocusesTheFirstControl) {
    TestDialog dialog;
    dialog.strength = 42;
    dialog.typeIndex = 2;
    dialog.showModeless();
    EXPECT_EQ(dialog.initCount, 1);
    ComboBox* types = dialog.comboBox(ids::kTypeList);
    ASSERT_EQ(types->count(), 4);
    EXPECT_EQ(types->entry(0), "Fencing");
    EXPECT_EQ(types->entry(3), "Wrestling");
    EXPECT_EQ(types->selectedEntry(), "Sword");
    EXPECT_EQ(dialog.edit(ids::kStrength)->text(), "42");
    EXPECT_EQ(dialog.focusWidget(), dialog.control(ids::kStrength));
    dialog.hide();
    dialog.showModeless();
    EXPECT_EQ(dialog.initCount, 1) << "initialised once";
    EXPECT_EQ(types->count(), 4);
}

TEST(Dialog, NotificationsReachTheirHandlers) {
    TestDialog dialog;
    dialog.showModeless();
    QTest::mouseClick(dialog.controlAs<QPushButton>(ids::kGo), Qt::LeftButton);
    dialog.sendCommand(ids::kGo);
    EXPECT_EQ(dialog.goClicks, 2);

    auto* check = dialog.controlAs<CheckBox>(ids::kCheck);
    QTest::mouseClick(check, Qt::LeftButton);
    EXPECT_EQ(dialog.checkClicks, 1);
    EXPECT_TRUE(check->check()) << "an automatic check box toggles itself";

    // A confirmed choice notifies, also when the same entry is chosen again.
    ComboBox* types = dialog.comboBox(ids::kTypeList);
    types->setFocus();
    types->setCurSel(0);
    QTest::keyClick(types, Qt::Key_Down);
    EXPECT_EQ(types->curSel(), 1);
    EXPECT_EQ(dialog.typeChoices, 1);
    emit types->activated(1);
    EXPECT_EQ(dialog.typeChoices, 2);
    types->setCurSel(2);  // the program's own selection does not notify
    EXPECT_EQ(dialog.typeChoices, 2);
    EXPECT_EQ(dialog.listChoices, 0);
}

// Shows the dialog as the active window, so that its controls take the focus.
void showActive(Dialog& dialog) {
    dialog.showModeless();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
}

// A list or the slider passed over with the wheel on the way elsewhere stays
// as it was; with the focus it follows the wheel, and a list reports the
// choice.
TEST(Dialog, TheWheelChangesOnlyAFocusedListOrSlider) {
    TestDialog dialog;
    showActive(dialog);
    ComboBox* types = dialog.comboBox(ids::kTypeList);
    auto* slider = dialog.controlAs<Trackbar>(ids::kSlider);
    types->setCurSel(1);
    slider->setRange(0, 7);
    slider->setPos(3);

    dialog.edit(ids::kStrength)->setFocus();
    turnWheel(*types, -120);
    turnWheel(*slider, 120);
    EXPECT_EQ(types->curSel(), 1);
    EXPECT_EQ(dialog.typeChoices, 0);
    EXPECT_EQ(slider->pos(), 3);

    types->setFocus();
    turnWheel(*types, -120);
    EXPECT_EQ(types->curSel(), 2);
    EXPECT_EQ(dialog.typeChoices, 1);
    slider->setFocus();
    turnWheel(*slider, 120);
    EXPECT_NE(slider->pos(), 3);
}

// Enter presses the push button or bitmap button that has the focus; from
// any other control it presses the default button, OK.
TEST(Dialog, EnterPressesTheFocusedButtonElseTheDefaultOne) {
    struct Case {
        const char* focus;
        int goClicks, pictureClicks;
        bool ended;  // by OK
    };
    const Case cases[] = {
        {"picture", 0, 1, false},
        {"go", 1, 0, false},
        {"strength", 0, 0, true},
        {"check", 0, 0, true},
    };
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        for (const Case& c : cases) {
            TestDialog dialog;
            showActive(dialog);
            QWidget* focus = dialog.findChild<QWidget*>(c.focus);
            ASSERT_NE(focus, nullptr) << c.focus;
            focus->setFocus();
            QTest::keyClick(focus, key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
            EXPECT_EQ(dialog.goClicks, c.goClicks) << c.focus << " " << key;
            EXPECT_EQ(dialog.pictureClicks, c.pictureClicks) << c.focus << " " << key;
            EXPECT_EQ(dialog.hasEnded(), c.ended) << c.focus << " " << key;
            if (c.ended) {
                EXPECT_EQ(dialog.modalResult(), IDOK) << c.focus;
            }
        }
    }
    // Space presses a bitmap button too; a held Enter presses it once.
    TestDialog dialog;
    showActive(dialog);
    QWidget* picture = dialog.control(ids::kPicture);
    picture->setFocus();
    QTest::keyClick(picture, Qt::Key_Space);
    QTest::keyClick(picture, Qt::Key_Return);
    QTest::keyEvent(QTest::KeyAction::Press, picture, Qt::Key_Return, Qt::NoModifier);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString("\r"), true);
    QApplication::sendEvent(picture, &repeat);
    EXPECT_EQ(dialog.pictureClicks, 3);
    EXPECT_FALSE(dialog.hasEnded());
}

// A check box's handler reacts to its new state: it runs once for every
// change the user makes, however it is made, and never for the program's own
// setCheck.
TEST(Dialog, ACheckBoxHandlerRunsOncePerChangeHoweverItIsMade) {
    TestDialog dialog;
    showActive(dialog);
    auto* check = dialog.controlAs<CheckBox>(ids::kCheck);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(check);
    ASSERT_NE(accessible, nullptr);
    ASSERT_NE(accessible->actionInterface(), nullptr);

    struct Way {
        const char* how;
        std::function<void()> toggle;
    };
    const Way ways[] = {
        {"mouse", [&] { QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2)); }},
        {"Space",
         [&] {
             check->setFocus();
             QTest::keyClick(check, Qt::Key_Space);
         }},
        {"accessibility toggle",
         [&] { accessible->actionInterface()->doAction(QAccessibleActionInterface::toggleAction()); }},
    };
    int changes = 0;
    for (const Way& way : ways) {
        for (int i = 0; i < 2; ++i) {  // on, then off again
            const bool before = check->check();
            way.toggle();
            ++changes;
            EXPECT_NE(check->check(), before) << way.how;
            EXPECT_EQ(dialog.checkClicks, changes) << way.how;
        }
    }
    check->setCheck(true);
    check->setCheck(false);
    EXPECT_EQ(dialog.checkClicks, changes) << "the program's own changes";
}

TEST(Dialog, OkValidatesAndCancelEscapeAndCloseBoxEnd) {
    MessageBoxRecorder messages;
    {
        TestDialog dialog;
        dialog.showModeless();
        dialog.edit(ids::kStrength)->setText("");
        QTest::mouseClick(dialog.controlAs<QPushButton>(IDOK), Qt::LeftButton);
        EXPECT_FALSE(dialog.hasEnded()) << "OK keeps a dialog with a bad value open";
        EXPECT_EQ(messages.shown().size(), 1u);
        dialog.edit(ids::kStrength)->setText("12");
        QTest::mouseClick(dialog.controlAs<QPushButton>(IDOK), Qt::LeftButton);
        EXPECT_TRUE(dialog.hasEnded());
        EXPECT_EQ(dialog.modalResult(), IDOK);
        EXPECT_EQ(dialog.strength, 12);
        EXPECT_FALSE(dialog.isVisible());
    }
    for (const char* how : {"Cancel", "Escape", "close box"}) {
        TestDialog dialog;
        dialog.showModeless();
        dialog.edit(ids::kStrength)->setText("");
        if (std::string(how) == "Cancel")
            QTest::mouseClick(dialog.controlAs<QPushButton>(IDCANCEL), Qt::LeftButton);
        else if (std::string(how) == "Escape")
            QTest::keyClick(dialog.edit(ids::kStrength), Qt::Key_Escape);
        else
            dialog.close();
        EXPECT_TRUE(dialog.hasEnded()) << how;
        EXPECT_EQ(dialog.modalResult(), IDCANCEL) << how;
        EXPECT_FALSE(dialog.isVisible()) << how;
    }
    EXPECT_EQ(messages.shown().size(), 1u) << "cancelling does not validate";
}

TEST(Dialog, ModalRunsAreAnsweredThroughTheHook) {
    MessageBoxRecorder messages;
    ModalRecorder modals;
    modals.setNextAnswer([](Dialog& dialog) {
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.focusWidget(), dialog.control(ids::kStrength));
        dialog.edit(ids::kStrength)->selectAll();
        QTest::keyClicks(dialog.edit(ids::kStrength), "77");
        QTest::mouseClick(dialog.controlAs<QPushButton>(IDOK), Qt::LeftButton);
    });
    modals.setNextAnswer(IDOK);      // OK with a bad value: stays open, then cancelled
    modals.setNextAnswer(IDCANCEL);

    TestDialog first;
    EXPECT_EQ(first.doModal(), IDOK);
    EXPECT_EQ(first.strength, 77);
    EXPECT_FALSE(first.isVisible());

    TestDialog second;
    second.strength = 999;
    EXPECT_EQ(second.doModal(), IDCANCEL);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "Please enter an integer between 0 and 400.");

    TestDialog third, fourth;
    EXPECT_EQ(third.doModal(), IDCANCEL);
    EXPECT_EQ(fourth.doModal(), IDCANCEL) << "a dialog without an answer is cancelled";

    ASSERT_EQ(modals.shown().size(), 4u);
    EXPECT_EQ(modals.shown()[0].templateId, 900);
    EXPECT_EQ(modals.shown()[0].caption, "Test Dialog");
    EXPECT_EQ(modals.shown()[0].result, IDOK);
    EXPECT_EQ(modals.shown()[1].result, IDCANCEL);
}

TEST(Dialog, ModalRunOwnedByTheMainWindowWhenItHasNoParent) {
    ModalRecorder modals;
    TestDialog main;
    Dialog::setMainWindow(&main);
    main.showModeless();
    TestDialog sub;
    QWidget* ownerDuringRun = nullptr;
    modals.setNextAnswer([&](Dialog& dialog) { ownerDuringRun = dialog.parentWidget(); });
    sub.doModal();
    EXPECT_EQ(ownerDuringRun, &main);
    EXPECT_EQ(sub.parentWidget(), nullptr);
    Dialog::setMainWindow(nullptr);
}

TEST(Dialog, RealModalLoopReturnsTheResultTheDialogEndedWith) {
    TestDialog dialog;
    QTimer::singleShot(0, &dialog, [&] {
        EXPECT_TRUE(dialog.isModal());
        dialog.endDialog(IDOK);
    });
    EXPECT_EQ(dialog.doModal(), IDOK);
    EXPECT_EQ(dialog.initCount, 1);
}

TEST(Dialog, WindowMenuItemsReachOnSysCommand) {
    TestDialog dialog;
    dialog.showModeless();
    std::unique_ptr<QMenu> empty(dialog.createContextMenu());
    EXPECT_TRUE(empty->actions().isEmpty());

    dialog.appendWindowMenuItem(16, "&About Test...");
    std::unique_ptr<QMenu> menu(dialog.createContextMenu());
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions()[0]->text(), "&About Test...");
    menu->actions()[0]->trigger();
    EXPECT_EQ(dialog.lastSysCommand, 16u);

    // Right-clicking the dialog pops the same menu up.
    dialog.lastSysCommand = 0;
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), dialog.mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(&dialog, &event);
    auto* popup = dialog.findChild<QMenu*>("windowMenu");
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->isVisible());
    popup->actions()[0]->trigger();
    EXPECT_EQ(dialog.lastSysCommand, 16u);
    popup->close();
}

TEST(MessageBoxRecorder, AnswersInOrderThenOk) {
    MessageBoxRecorder messages;
    messages.setNextAnswer(IDNO);
    EXPECT_EQ(messageBox(nullptr, "Sure?", "Question", MessageIcon::Question, MessageButtons::YesNo), IDNO);
    EXPECT_EQ(messageBox(nullptr, "Done.", "Info", MessageIcon::Information), IDOK);
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[0].caption, "Question");
    EXPECT_EQ(messages.shown()[1].icon, MessageIcon::Information);
    EXPECT_EQ(applicationName(), "skarn_ui_tests");
}

}  // namespace
}  // namespace skarn
