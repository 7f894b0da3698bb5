#include "app/simulator_app.h"

#include <QApplication>
#include <QIcon>

#include "resources/resource_ids.h"
#include "resources/templates.h"
#include "ui/images.h"

namespace skarn {

SimulatorApp::SimulatorApp() = default;

bool SimulatorApp::initInstance() {
    SimulatorDialog dialog;
    mainWindow_ = &dialog;
    Dialog::setMainWindow(&dialog);
    dialog.doModal();
    Dialog::setMainWindow(nullptr);
    mainWindow_ = nullptr;
    return false;
}

int runSkarn(int argc, char** argv) {
    QApplication application(argc, argv);
    // The desktop entry and icon installed as "skarn", for the task bar.
    QGuiApplication::setDesktopFileName(QStringLiteral("skarn"));
    initResources();
    QIcon icon = loadIcon(ids::kLargeIcon);
    for (const QSize& size : loadIcon(ids::kSmallIcon).availableSizes())
        icon.addPixmap(loadIcon(ids::kSmallIcon).pixmap(size));
    QApplication::setWindowIcon(icon);

    SimulatorApp app;
    app.initInstance();
    return 0;
}

}  // namespace skarn
