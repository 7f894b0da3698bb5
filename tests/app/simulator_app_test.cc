#include "app/simulator_app.h"

#include <filesystem>

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "app/program_objects.h"
#include "resources/resource_ids.h"
#include "tests/support/files.h"
#include "tests/support/ui_testing.h"

namespace skarn {
namespace {

namespace fs = std::filesystem;

// A fresh empty folder, the working directory while the object lives.
class EmptyWorkingFolder {
public:
    EmptyWorkingFolder() : previous_(fs::current_path()) { fs::current_path(folder_.path()); }
    ~EmptyWorkingFolder() { fs::current_path(previous_); }
    EmptyWorkingFolder(const EmptyWorkingFolder&) = delete;
    EmptyWorkingFolder& operator=(const EmptyWorkingFolder&) = delete;

    const fs::path& path() const { return folder_.path(); }

private:
    testing::TempDir folder_;
    fs::path previous_;
};

TEST(ProgramObjects, FightersStartUnshieldedAndTheFilesOpenInTheWorkingDirectory) {
    const EmptyWorkingFolder folder;
    ProgramObjects objects;
    EXPECT_EQ(yourCombatant().shieldIndex, -1);
    EXPECT_EQ(oppCombatant().shieldIndex, -1);
    EXPECT_EQ(charFile().fileName(), "charfile.cfg");
    EXPECT_EQ(equiFile().fileName(), "equifile.cfg");
    // Created empty at once.
    EXPECT_EQ(testing::readBytes(folder.path() / "charfile.cfg"), "");
    EXPECT_TRUE(fs::is_regular_file(folder.path() / "charfile.cfg"));
    EXPECT_TRUE(fs::is_regular_file(folder.path() / "equifile.cfg"));
}

// In a folder of its own: the other tests of this program leave data files
// in theirs.
TEST(SimulatorApp, OpensBothDataFilesThenRunsTheMainWindowUntilQuit) {
    const EmptyWorkingFolder folder;
    ASSERT_FALSE(fs::exists(folder.path() / "charfile.cfg"));
    ModalRecorder modals;
    SimulatorDialog* shown = nullptr;
    bool shownAsMainWindow = false;
    modals.setNextAnswer([&](Dialog& dialog) {
        shown = dynamic_cast<SimulatorDialog*>(&dialog);
        shownAsMainWindow = Dialog::mainWindow() == &dialog;
        QTest::mouseClick(dialog.controlAs<QPushButton>(ids::simulator::kQuit), Qt::LeftButton);
    });

    SimulatorApp app;
    // Both files exist, created empty, before the window opens.
    EXPECT_TRUE(fs::exists(folder.path() / "charfile.cfg"));
    EXPECT_TRUE(fs::exists(folder.path() / "equifile.cfg"));

    EXPECT_FALSE(app.initInstance());
    EXPECT_NE(shown, nullptr);
    EXPECT_TRUE(shownAsMainWindow);
    ASSERT_EQ(modals.shown().size(), 1u);
    EXPECT_EQ(modals.shown()[0].templateId, ids::kSimulatorDialog);
    EXPECT_EQ(modals.shown()[0].result, IDCANCEL);
    EXPECT_EQ(app.mainWindow(), nullptr);
    EXPECT_EQ(Dialog::mainWindow(), nullptr);

    // Quitting writes nothing.
    EXPECT_EQ(testing::readBytes(folder.path() / "charfile.cfg"), "");
    EXPECT_EQ(testing::readBytes(folder.path() / "equifile.cfg"), "");
    EXPECT_FALSE(fs::exists(folder.path() / "temp.btb"));
}

}  // namespace
}  // namespace skarn
