#pragma once

// A main window opened on data files written by the test, and the user's
// gestures on it. The files go into the working directory of the test
// program and are emptied again after each test.

#include <fstream>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include <QAbstractItemView>
#include <QTest>

#include <gtest/gtest.h>

#include "app/program_objects.h"
#include "app/simulator_dialog.h"
#include "tests/app/working_directory.h"
#include "tests/support/ui_testing.h"

namespace skarn::testing {

// `lines`, each ended with CR LF, as the data files are stored.
inline std::string crlf(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

inline void writeFile(const std::string& name, const std::string& bytes) {
    std::ofstream(workingDirectory() / name, std::ios::binary | std::ios::trunc) << bytes;
}

class WindowTest : public ::testing::Test {
protected:
    void TearDown() override {
        window_.reset();
        // Later tests of this program start from empty data files again.
        writeFile("charfile.cfg", "");
        writeFile("equifile.cfg", "");
    }

    // Writes the data files and opens a fresh main window on them.
    SimulatorDialog& open(const std::string& chars, const std::string& equipment) {
        window_.reset();
        writeFile("charfile.cfg", chars);
        writeFile("equifile.cfg", equipment);
        window_ = std::make_unique<SimulatorDialog>();
        window_->showModeless();
        return *window_;
    }
    SimulatorDialog& window() { return *window_; }

    // Chooses the entry `text` of `list` as a user does: the selection
    // changes and the list reports the choice.
    static void choose(ComboBox* list, const std::string& text) {
        const int index = list->findExact(text);
        ASSERT_GE(index, 0) << '"' << text << "\" is not in " << list->objectName().toStdString();
        list->setCurSel(index);
        emit list->activated(index);
    }

    // Chooses the entry `text` of `list` with the mouse: opens the list with
    // a click and clicks the entry in it.
    static void pick(ComboBox* list, const std::string& text) {
        const int index = list->findExact(text);
        ASSERT_GE(index, 0) << '"' << text << "\" is not in " << list->objectName().toStdString();
        QTest::mouseClick(list, Qt::LeftButton);
        QAbstractItemView* view = list->view();
        ASSERT_TRUE(view->isVisible()) << "the list did not open";
        const QRect entry = view->visualRect(view->model()->index(index, 0));
        // The list takes a release only once the pointer has moved away from
        // where it opened, so that the click that opened it chooses nothing.
        // Of two points 20 pixels apart, one is far enough.
        QTest::mouseMove(view->viewport(), entry.center() + QPoint(20, 0));
        QTest::mouseMove(view->viewport(), entry.center());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, entry.center());
        ASSERT_FALSE(view->isVisible()) << "the list did not close";
    }

    // Every entry of `list`, in its order.
    static std::vector<std::string> entries(const ComboBox* list) {
        std::vector<std::string> all;
        for (int i = 0; i < list->count(); ++i) all.push_back(list->entry(i));
        return all;
    }

    MessageBoxRecorder messages;
    ModalRecorder modals;

private:
    // The fighters, the generator and the data files the windows share, as
    // the application holds them; they outlive every window of the test.
    ProgramObjects objects_;
    std::unique_ptr<SimulatorDialog> window_;
};

}  // namespace skarn::testing
