#pragma once

#include "app/simulator_dialog.h"

namespace skarn {

// The application: opens the two data files and runs the main window.
class SimulatorApp {
public:
    // Opens "charfile.cfg" and "equifile.cfg" in the working directory,
    // creating them when missing. REQUIRES: a QApplication exists.
    SimulatorApp();

    // Builds the main window, makes it the main window of the dialog layer
    // and runs it modally until the user ends it ("Quit", Escape, the close
    // box). Returns false: the program then ends. Nothing is written on the
    // way out.
    bool initInstance();

    // The main window while initInstance runs, else nullptr.
    SimulatorDialog* mainWindow() const { return mainWindow_; }

private:
    SimulatorDialog* mainWindow_ = nullptr;
};

// The program: a QApplication, the data files, the main window.
int runSkarn(int argc, char** argv);

}  // namespace skarn
