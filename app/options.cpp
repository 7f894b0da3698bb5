// "Options" on the main window: the stop rule of the next runs.

#include "app/simulator_dialog.h"
#include "dialogs/options_dialog.h"

namespace skarn {

void SimulatorDialog::OnOptions() {
    // A fresh dialog on every click; only OK keeps what was chosen in it.
    OptionsDialog options(this);
    options.mode = fightMode;
    if (options.doModal() == IDOK) {
        const RunChange change(*this);
        fightMode = options.mode;
    }
}

}  // namespace skarn
