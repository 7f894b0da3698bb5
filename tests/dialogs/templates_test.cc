// The program's dialog templates, built into dialogs: names for every
// control, captions that fit at any font size, and the mirrored main window.

#include "resources/templates.h"

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
