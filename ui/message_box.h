#pragma once

#include <functional>

#include <QString>

class QWidget;

// Message boxes and their hook: GUI thread only. The hook is one for the
// whole program.
namespace skarn {

// Results of a modal dialog or a message box: the id of the button that
// ended it. A dialog closed with Escape or its close box ends with IDCANCEL.
enum DialogResult : int {
    IDOK = 1,
    IDCANCEL = 2,
    IDYES = 6,
    IDNO = 7,
};

enum class MessageIcon { None, Information, Question, Exclamation, Stop };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };

// What a message box shows.
struct Message {
    QWidget* owner = nullptr;
    QString text;
    QString caption;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

// Shows a message box owned by `owner` (centred on it; nullptr: the active
// window) and waits for the user. Returns the id of the button pressed;
// closing the box with Escape gives IDCANCEL, or IDOK when OK is the only
// button. Goes through the message-box hook when one is set.
int messageBox(QWidget* owner, const QString& text, const QString& caption,
               MessageIcon icon, MessageButtons buttons = MessageButtons::Ok);

// The same with the application's name as the caption, owned by the active
// window: the framework's own messages, such as a failed validation.
int appMessageBox(const QString& text, MessageIcon icon,
                  MessageButtons buttons = MessageButtons::Ok);

// The application's name: the program file's name without its extension.
QString applicationName();

// A replacement for showing message boxes: gets what would be shown and
// returns the answer. Tests set one to answer without a person.
using MessageBoxHook = std::function<int(const Message&)>;

// Installs `hook` for every following message box and returns the hook it
// replaces. An empty hook restores real message boxes.
MessageBoxHook setMessageBoxHook(MessageBoxHook hook);

}  // namespace skarn
