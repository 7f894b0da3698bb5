#pragma once

#include <QWidget>

#include "ui/dialog.h"

namespace skarn {

// The "About Skarn" box: the icon, the version and two credits lines. It
// ends with OK, Escape or its close box.
class AboutDialog : public Dialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace skarn
