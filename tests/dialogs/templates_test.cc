// The program's dialog templates, built into dialogs: names for every
// control, captions that fit at any font size, and the mirrored main window.

#include "resources/templates.h"

#include <iterator>
#include <set>
#include <string>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include "resources/resource_ids.h"
#include "ui/dialog.h"

namespace skarn {
namespace {

const int kTemplateIds[] = {ids::kAboutDialog, ids::kSimulatorDialog, ids::kResultsDialog,
                            ids::kOptionsDialog, ids::kNewCharacterDialog};

TEST(Templates, EveryControlHasAUniqueObjectNameAndAnAccessibleName) {
    for (int id : kTemplateIds) {
        const DialogTemplate* t = findTemplate(id);
        ASSERT_NE(t, nullptr) << id;
        Dialog dialog(*t);
        std::set<QString> names;
        for (QWidget* control : dialog.controls()) {
            const std::string what = std::to_string(id) + " " + control->objectName().toStdString();
            EXPECT_FALSE(control->objectName().isEmpty()) << what;
            EXPECT_TRUE(names.insert(control->objectName()).second) << what << " twice";
            EXPECT_FALSE(control->accessibleName().isEmpty()) << what;
        }
    }
    Dialog main(simulatorTemplate());
    EXPECT_EQ(main.control(ids::simulator::kYourStrength)->accessibleName(), "You Str.");
    EXPECT_EQ(main.control(ids::simulator::kOppWeaponList)->accessibleName(), "Opponent weapon");
    EXPECT_EQ(main.control(ids::simulator::kBegin)->accessibleName(), "Begin");
    EXPECT_EQ(main.control(ids::simulator::kYourStrength)->objectName(), "yourStrength");
}

// The width a control needs to show its caption whole.
int neededWidth(QWidget* control) {
    if (auto* box = qobject_cast<QCheckBox*>(control)) return box->sizeHint().width();
    if (auto* label = qobject_cast<QLabel*>(control)) {
        if (label->text().isEmpty()) return 0;  // a picture
        return label->fontMetrics().horizontalAdvance(label->text());
    }
    if (auto* button = qobject_cast<QPushButton*>(control))
        return button->fontMetrics().horizontalAdvance(button->text()) + 4;
    if (auto* group = qobject_cast<QGroupBox*>(control))
        return group->fontMetrics().horizontalAdvance(group->title());
    return 0;
}

TEST(Templates, CaptionsFitTheirControlsAtEveryFontSize) {
    const QFont original = QApplication::font();
    for (int points : {8, 9, 11, 14, 18}) {
        QFont font = original;
        font.setPointSize(points);
        QApplication::setFont(font);
        for (int id : kTemplateIds) {
            Dialog dialog(*findTemplate(id));
            for (QWidget* control : dialog.controls()) {
                EXPECT_LE(neededWidth(control), control->width())
                    << points << " pt, dialog " << id << ", " << control->objectName().toStdString();
                EXPECT_LE(control->geometry().right(), dialog.width()) << control->objectName().toStdString();
                EXPECT_LE(control->geometry().bottom(), dialog.height()) << control->objectName().toStdString();
            }
        }
    }
    QApplication::setFont(original);
}

// The main window's controls as its layout gives them, written out here
// rather than derived from the shared table, so a wrong number in that table
// shows.
TEST(Templates, TheMainWindowHasItsControlsAtTheirPlaces) {
    using K = ControlKind;
    constexpr unsigned kLabel = kRightAligned | kVerticallyCentered;
    constexpr unsigned kNumber = kBorder | kDigitsOnly | kAutoHScroll;
    constexpr unsigned kList = kSorted | kVScroll;
    struct Expected {
        K kind;
        int id;
        const char* caption;
        int x, y, width, height;
        unsigned style;
    };
    const Expected expected[] = {
        {K::GroupBox, -1, "You", 7, 7, 148, 100, kNoStyle},
        {K::ComboBox, 1001, "", 10, 16, 101, 65, kList},
        {K::BitmapButton, 1004, "NEW", 113, 16, 12, 13, kNoStyle},
        {K::BitmapButton, 1003, "SAVE", 126, 16, 12, 13, kNoStyle},
        {K::BitmapButton, 1005, "DEL", 139, 16, 12, 13, kNoStyle},
        {K::Static, -1, "Str.", 10, 31, 25, 12, kLabel},
        {K::Edit, 1009, "", 37, 31, 18, 12, kNumber},
        {K::Static, -1, "Dex.", 10, 43, 25, 12, kLabel},
        {K::Edit, 1010, "", 37, 43, 18, 12, kNumber},
        {K::Static, -1, "A.R.", 58, 31, 25, 12, kLabel},
        {K::Edit, 1011, "", 85, 31, 17, 12, kNumber},
        {K::Static, -1, "W. Skill", 58, 43, 25, 12, kLabel},
        {K::Edit, 1012, "", 85, 43, 17, 12, kNumber},
        {K::Static, -1, "Tactics", 106, 31, 25, 12, kLabel},
        {K::Edit, 1013, "", 133, 31, 18, 12, kNumber},
        {K::Static, -1, "Parry", 106, 43, 25, 12, kLabel},
        {K::Edit, 1014, "", 133, 43, 18, 12, kNumber},
        {K::Static, -1, "Weapon Type:", 10, 56, 51, 10, kVerticallyCentered},
        {K::ComboBox, 1025, "", 10, 67, 65, 66, kList},
        {K::Static, -1, "Weapon:", 10, 81, 34, 9, kVerticallyCentered},
        {K::ComboBox, 1015, "", 10, 91, 141, 68, kList},
        {K::Static, -1, "Shield:", 82, 57, 27, 9, kVerticallyCentered},
        {K::ComboBox, 1026, "", 82, 67, 69, 66, kList},
    };
    // After both groups.
    const Expected rest[] = {
        {K::Static, -1, "Fast", 7, 120, 14, 8, kNoStyle},
        {K::Trackbar, 1006, "", 26, 111, 80, 19, kAutoTicks | kTicksBothSides},
        {K::Static, -1, "Accurate", 110, 120, 30, 8, kNoStyle},
        {K::PushButton, 1039, "Begin", 157, 115, 50, 14, kDefaultButton},
        {K::PushButton, 1002, "Options", 211, 115, 50, 14, kNoStyle},
        {K::PushButton, 2, "Quit", 265, 115, 50, 14, kNoStyle},
        {K::Edit, 1016, "", 7, 137, 148, 13, kBorder | kReadOnly | kAutoHScroll},
        {K::ProgressBar, 1040, "", 168, 137, 147, 13, kBorder},
    };
    const DialogTemplate& t = simulatorTemplate();
    ASSERT_EQ(t.controls.size(), std::size(expected) * 2 + std::size(rest));
    auto check = [](const ControlTemplate& c, const Expected& e, std::size_t index) {
        EXPECT_EQ(c.kind, e.kind) << index;
        EXPECT_EQ(c.id, e.id) << index;
        EXPECT_EQ(c.caption, e.caption) << index;
        EXPECT_EQ(c.x, e.x) << index;
        EXPECT_EQ(c.y, e.y) << index;
        EXPECT_EQ(c.width, e.width) << index;
        EXPECT_EQ(c.height, e.height) << index;
        EXPECT_EQ(c.style, e.style) << index;
    };
    for (std::size_t i = 0; i < std::size(expected); ++i) check(t.controls[i], expected[i], i);
    for (std::size_t i = 0; i < std::size(rest); ++i) {
        const std::size_t index = 2 * std::size(expected) + i;
        check(t.controls[index], rest[i], index);
    }
}

TEST(Templates, TheOpponentGroupMirrorsTheYouGroup) {
    const DialogTemplate& t = simulatorTemplate();
    EXPECT_EQ(t.caption, "Vexa Combat Simulator v. 2.1");
    EXPECT_EQ(t.width, 322);
    EXPECT_EQ(t.height, 157);
    ASSERT_EQ(t.controls.size(), 54u);
    constexpr std::size_t kGroup = 23;
    const int oppIds[kGroup] = {-1,   1024, 1027, 1028, 1029, -1,   1030, -1,   1031, -1,   1032, -1,
                                1033, -1,   1034, -1,   1035, -1,   1036, -1,   1038, -1,   1037};
    for (std::size_t i = 0; i < kGroup; ++i) {
        const ControlTemplate& you = t.controls[i];
        const ControlTemplate& opp = t.controls[i + kGroup];
        EXPECT_EQ(opp.kind, you.kind) << i;
        EXPECT_EQ(opp.id, oppIds[i]) << i;
        EXPECT_EQ(opp.x, you.x + 160) << i;
        EXPECT_EQ(opp.y, you.y) << i;
        EXPECT_EQ(opp.width, you.width) << i;
        EXPECT_EQ(opp.height, you.height) << i;
        EXPECT_EQ(opp.style, you.style) << i;
        EXPECT_EQ(opp.objectName.substr(0, 3), "opp") << i;
    }
    EXPECT_EQ(t.controls[0].caption, "You");
    EXPECT_EQ(t.controls[kGroup].caption, "Opponent");
    const std::vector<std::string> types = {"Fencing", "Mace", "Sword", "Wrestling"};
    EXPECT_EQ(t.controls[18].items, types);
    EXPECT_EQ(t.controls[18 + kGroup].items, types);
    EXPECT_EQ(loadString(ids::kAboutMenuString), "&About Skarn...");
}

}  // namespace
}  // namespace skarn
