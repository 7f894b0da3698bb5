#pragma once

#include "app/program_objects.h"
#include "app/simulator_dialog.h"

namespace skarn {

// The application: holds the program-wide objects and runs the main
// window. Not thread-safe: use from the user-interface thread only.
class SimulatorApp {
public:
    // Constructs the program-wide objects, which opens "charfile.cfg" and
    // "equifile.cfg" in the working directory, creating them when missing;
    // they live as long as the application.
    // REQUIRES: a QApplication exists; no other ProgramObjects lives.
    SimulatorApp();

    // Builds the main window, makes it the main window of the dialog layer
    // and runs it modally until the user ends it ("Quit", Escape, the close
    // box). Returns false: the program then ends. Nothing is written on the
    // way out.
    bool initInstance();

    // The main window while initInstance runs, else nullptr.
    SimulatorDialog* mainWindow() const { return mainWindow_; }

private:
    ProgramObjects objects_;
    SimulatorDialog* mainWindow_ = nullptr;
};

// The program: a QApplication, the application with its program-wide
// objects, the main window.
int runSkarn(int argc, char** argv);

}  // namespace skarn
