#pragma once

#include <string>
#include <vector>

namespace skarn {

// The kinds of control a dialog template can hold.
enum class ControlKind {
    GroupBox,      // a frame with a caption; holds no controls, only surrounds them
    Static,        // a text label
    Picture,       // an icon or bitmap from the resources; caption = its resource name
    Edit,          // a one-line text field
    ComboBox,      // a drop-down list (the user picks, never types)
    PushButton,
    BitmapButton,  // a push button drawn with pictures; caption = the pictures' base name
    CheckBox,      // an automatic check box: it toggles itself when clicked
    Trackbar,      // a horizontal slider
    ProgressBar,
};

// Style flags of a control; which ones apply depends on the kind.
enum ControlStyle : unsigned {
    kNoStyle = 0,
    kRightAligned = 1u << 0,        // Static: text to the right
    kCentered = 1u << 1,            // Static: text centred
    kVerticallyCentered = 1u << 2,  // Static: text centred vertically
    kNoPrefix = 1u << 3,            // Static: '&' shown as it is
    kBorder = 1u << 4,              // Edit, ProgressBar: a frame
    kDigitsOnly = 1u << 5,          // Edit: typed characters other than digits are refused
    kReadOnly = 1u << 6,            // Edit
    kAutoHScroll = 1u << 7,         // Edit: text longer than the field scrolls
    kSorted = 1u << 8,              // ComboBox: entries kept in case-insensitive order
    kVScroll = 1u << 9,             // ComboBox: the dropped list scrolls
    kDefaultButton = 1u << 10,      // PushButton: pressed by Enter
    kAutoTicks = 1u << 12,          // Trackbar: a tick mark at every position
    kTicksBothSides = 1u << 13,     // Trackbar: tick marks above and below
    kIcon = 1u << 14,               // Picture: an icon (caption = icon id)
    kBitmap = 1u << 15,             // Picture: a bitmap (caption = bitmap name)
};

// One control of a dialog template. Positions and sizes are in dialog units:
// a quarter of the dialog font's average character width horizontally, an
// eighth of its height vertically. A combo box's height is the height of its
// dropped list.
struct ControlTemplate {
    ControlKind kind = ControlKind::Static;
    int id = -1;              // -1: not addressed by id
    std::string caption;      // the text, or the picture's resource name
    int x = 0, y = 0, width = 0, height = 0;
    unsigned style = kNoStyle;
    std::string objectName;      // the member or role the control stands for
    std::string accessibleName;  // what a screen reader says; empty: the caption
    std::string toolTip;
    std::vector<std::string> items;  // initial entries of a combo box, added in order
};

// Window styles of a dialog.
enum DialogStyle : unsigned {
    kPlainDialog = 0,
    kSystemMenu = 1u << 0,   // a window menu and a close box
    kMinimizeBox = 1u << 1,
    kAppWindow = 1u << 2,    // shown in the task bar as the application's window
};

// A dialog template: the window and its controls in template order, which is
// also the tab order. The font named here is the classic platform dialog
// font; the dialog is laid out in the platform's own dialog font instead, so
// the units follow whatever font the user has chosen.
struct DialogTemplate {
    int id = 0;
    std::string caption;
    int width = 0, height = 0;  // client area, in dialog units
    std::string fontName;
    int fontPointSize = 0;
    unsigned style = kPlainDialog;
    std::string objectName;
    std::vector<ControlTemplate> controls;
};

}  // namespace skarn
