// The main of every GUI test program: GoogleTest inside a QApplication on
// Qt's offscreen platform, so the real dialogs run without a screen.

#include <QApplication>
#include <QByteArray>
#include <QFont>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
