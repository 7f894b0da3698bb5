#pragma once

#include <string_view>

#include <QIcon>
#include <QPixmap>

namespace skarn {

// Pictures are read from the Qt resource system, where resources/ puts them:
// bitmap NAME at ":/skarn/bitmaps/NAME.png" and icon ID, one file per image
// size, at ":/skarn/icons/ID-SIZE.png" (SIZE = 16, 32, ...). Pixmaps and
// icons belong to the GUI thread: call these from it only.

// The bitmap `name`; a null pixmap when there is none.
QPixmap loadBitmap(std::string_view name);

// Icon `id` with every image size it has; a null icon when there is none.
QIcon loadIcon(std::string_view id);

}  // namespace skarn
