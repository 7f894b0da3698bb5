#include "dialogs/about_dialog.h"

#include "resources/templates.h"

namespace skarn {

AboutDialog::AboutDialog(QWidget* parent) : Dialog(aboutTemplate(), parent) {}

}  // namespace skarn
