#include "dialogs/about_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "resources/resource_ids.h"
#include "tests/support/ui_testing.h"

namespace skarn {
namespace {

TEST(AboutDialog, ShowsTheIconVersionAndCredits) {
    AboutDialog about;
    about.showModeless();
    EXPECT_EQ(about.templateId(), ids::kAboutDialog);
    EXPECT_EQ(about.windowTitle(), "About Skarn");
    auto* icon = about.findChild<QLabel*>("aboutIcon");
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(icon->pixmap().isNull());
    EXPECT_EQ(about.findChild<QLabel*>("versionText")->text(), "Skarn Version 2.1");
    EXPECT_FALSE(about.findChild<QLabel*>("creditsLine1")->text().isEmpty());
    EXPECT_FALSE(about.findChild<QLabel*>("creditsLine2")->text().isEmpty());
    EXPECT_TRUE(about.controlAs<QPushButton>(IDOK)->isDefault());
    EXPECT_EQ(about.focusWidget(), about.control(IDOK));
}

TEST(AboutDialog, EndsWithOkEscapeOrTheCloseBox) {
    ModalRecorder modals;
    modals.setNextAnswer([](Dialog& d) { QTest::mouseClick(d.controlAs<QPushButton>(IDOK), Qt::LeftButton); });
    modals.setNextAnswer([](Dialog& d) { QTest::keyClick(&d, Qt::Key_Return); });
    modals.setNextAnswer([](Dialog& d) { QTest::keyClick(&d, Qt::Key_Escape); });
    modals.setNextAnswer([](Dialog& d) { d.close(); });
    const int expected[] = {IDOK, IDOK, IDCANCEL, IDCANCEL};
    for (int result : expected) {
        AboutDialog about;
        EXPECT_EQ(about.doModal(), result);
        EXPECT_FALSE(about.isVisible());
    }
}

}  // namespace
}  // namespace skarn
