#include "dialogs/results_dialog.h"

#include <cstdlib>
#include <string>

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "resources/resource_ids.h"
#include "tests/support/comma_locale.h"
#include "tests/support/ui_testing.h"
#include "ui/controls.h"

namespace skarn {
namespace {

namespace res = ids::results;

using testing::CommaLocale;

TEST(ResultsDialog, ShowsTheFourValuesAsPrintfGWouldWhateverTheLocale) {
    struct Case {
        double given, taken, time, win;
        const char* shown[4];  // given, taken, time, win %
    };
    const Case cases[] = {
        {0.0, 0.0, 0.0, 0.0, {"0", "0", "0", "0"}},
        {12.5, 3.1, 60.0, 66.6, {"12.5", "3.1", "60", "66.6"}},
        {1234.5, 0.1, 1.0, 100.0, {"1234.5", "0.1", "1", "100"}},
        {-2.5, 1e-5, 123456.0, 33.3, {"-2.5", "1e-05", "123456", "33.3"}},
    };
    CommaLocale comma;
    ASSERT_TRUE(CommaLocale::active()) << "no decimal-comma locale: run scripts/install-deps";
    for (const Case& c : cases) {
        ResultsDialog results;
        results.resultDamageGiven = c.given;
        results.resultDamageTaken = c.taken;
        results.resultTime = c.time;
        results.resultWinPercent = c.win;
        results.showModeless();
        const int ids[] = {res::kDamageGiven, res::kDamageTaken, res::kTime, res::kWinPercent};
        for (int i = 0; i < 4; ++i) {
            Edit* edit = results.edit(ids[i]);
            ASSERT_NE(edit, nullptr) << ids[i];
            EXPECT_EQ(edit->text().toStdString(), c.shown[i]) << "field " << ids[i] << ", case " << c.shown[i];
            EXPECT_TRUE(edit->isReadOnly()) << ids[i];
        }
    }
}

TEST(ResultsDialog, IsTheResultsTemplateWithItsLabels) {
    ResultsDialog results;
    results.showModeless();
    EXPECT_EQ(results.templateId(), ids::kResultsDialog);
    EXPECT_EQ(results.windowTitle(), "Results");
    EXPECT_EQ(results.resultDamageGiven + results.resultDamageTaken + results.resultTime +
                  results.resultWinPercent,
              0.0);
    // Each label stands left of its field, on its line.
    const struct {
        const char* label;
        int id;
    } rows[] = {{"winPercentLabel", res::kWinPercent},
                {"damageTakenLabel", res::kDamageTaken},
                {"damageGivenLabel", res::kDamageGiven},
                {"timeLabel", res::kTime}};
    const char* texts[] = {"Your Win %:", "Damage Taken", "Damage Given", "Time in seconds"};
    for (int i = 0; i < 4; ++i) {
        auto* label = results.findChild<QLabel*>(rows[i].label);
        ASSERT_NE(label, nullptr) << rows[i].label;
        EXPECT_EQ(label->text(), texts[i]);
        EXPECT_EQ(label->geometry().top(), results.edit(rows[i].id)->geometry().top()) << texts[i];
        EXPECT_LT(label->geometry().right(), results.edit(rows[i].id)->geometry().left()) << texts[i];
    }
    EXPECT_TRUE(results.controlAs<QPushButton>(IDOK)->isDefault());
}

TEST(ResultsDialog, EndsWithOkEscapeOrTheCloseBox) {
    ModalRecorder modals;
    modals.setNextAnswer([](Dialog& d) { QTest::mouseClick(d.controlAs<QPushButton>(IDOK), Qt::LeftButton); });
    modals.setNextAnswer([](Dialog& d) { QTest::keyClick(&d, Qt::Key_Return); });
    modals.setNextAnswer([](Dialog& d) { QTest::keyClick(&d, Qt::Key_Escape); });
    modals.setNextAnswer([](Dialog& d) { d.close(); });
    MessageBoxRecorder messages;
    const int expected[] = {IDOK, IDOK, IDCANCEL, IDCANCEL};
    for (int result : expected) {
        ResultsDialog results;
        results.resultWinPercent = 66.6;
        EXPECT_EQ(results.doModal(), result);
        EXPECT_FALSE(results.isVisible());
    }
    EXPECT_TRUE(messages.shown().empty());
}

// The warrior picture is drawn in its place beside the values.
TEST(ResultsDialog, DrawsTheWarriorBesideTheValues) {
    ResultsDialog results;
    results.resultWinPercent = 100.0;
    results.resultDamageTaken = 67.1;
    results.resultDamageGiven = 90.0;
    results.resultTime = 379.0;
    results.showModeless();
    auto* warrior = results.findChild<QLabel*>("warriorPicture");
    ASSERT_NE(warrior, nullptr);
    const QImage image = results.grab().toImage();
    ASSERT_FALSE(image.isNull());
    const QRect area = warrior->geometry();
    int painted = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x * image.devicePixelRatio(), y * image.devicePixelRatio()) !=
                image.pixel(0, 0))
                ++painted;
    EXPECT_GT(painted, area.width() * area.height() / 4) << "the picture covers its area";
    // SKARN_SCREENSHOT_RESULTS=path/to/file.png keeps a copy, for the documentation.
    if (const char* keep = std::getenv("SKARN_SCREENSHOT_RESULTS")) image.save(QString::fromLocal8Bit(keep), "PNG");
}

}  // namespace
}  // namespace skarn
