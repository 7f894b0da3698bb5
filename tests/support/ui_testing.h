#pragma once

#include <deque>
#include <functional>
#include <vector>

#include <QString>

#include "ui/dialog.h"
#include "ui/file_dialog.h"
#include "ui/message_box.h"

class QLineEdit;
class QWidget;

namespace skarn {

// Answers the message boxes shown while it lives and records them, so a
// test runs without a person: it says the next answer before the action
// that shows the box, then reads what was shown.
class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();  // puts back the hook it replaced
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    // Queues the answer to the next message box. Without one, a box is
    // answered IDOK.
    void setNextAnswer(int answer);
    // Every message box shown, in order.
    const std::vector<Message>& shown() const { return shown_; }
    void clear() { shown_.clear(); }

private:
    std::deque<int> answers_;
    std::vector<Message> shown_;
    MessageBoxHook previous_;
};

// Answers the modal dialogs run while it lives and records them.
class ModalRecorder {
public:
    // Drives the dialog as a user would (type, choose, click). A dialog the
    // script leaves open is cancelled afterwards.
    using Script = std::function<void(Dialog&)>;

    struct Shown {
        int templateId = 0;
        QString caption;
        int result = 0;
    };

    ModalRecorder();
    ~ModalRecorder();  // puts back the hook it replaced
    ModalRecorder(const ModalRecorder&) = delete;
    ModalRecorder& operator=(const ModalRecorder&) = delete;

    // Queues the script for the next modal dialog.
    void setNextAnswer(Script script);
    // Queues a plain answer: IDOK clicks OK (its checks run and may keep the
    // dialog open, then cancelled), IDCANCEL clicks Cancel, any other value
    // clicks the control with that id. Without an answer, a dialog is cancelled.
    void setNextAnswer(int buttonId);
    // Every modal dialog run, in order, with the result it ended with.
    const std::vector<Shown>& shown() const { return shown_; }
    void clear() { shown_.clear(); }

private:
    std::deque<Script> scripts_;
    std::vector<Shown> shown_;
    ModalHook previous_;
};

// Answers the save dialogs shown while it lives and records what they
// asked.
class SaveFileRecorder {
public:
    SaveFileRecorder();
    ~SaveFileRecorder();  // puts back the hook it replaced
    SaveFileRecorder(const SaveFileRecorder&) = delete;
    SaveFileRecorder& operator=(const SaveFileRecorder&) = delete;

    // Queues the answer to the next save dialog: `path`, with the type of
    // file `type` (-1: the type the dialog chose at first). Without an
    // answer, a dialog is cancelled.
    void setNextAnswer(const QString& path, int type = -1);
    // Every save dialog shown, in order.
    const std::vector<SaveFileRequest>& shown() const { return shown_; }

private:
    std::deque<SaveFileChoice> answers_;
    std::vector<SaveFileRequest> shown_;
    SaveFileHook previous_;
};

// One notch of the mouse wheel over the middle of `widget`, away from the
// user (angle 120) or toward (-120), delivered as the window system does.
void turnWheel(QWidget& widget, int angle);

// The index of the first character `edit` shows at its left edge, as it is
// painted now: 0 when its text shows from the start, more when the text is
// scrolled. It paints the field (off screen) to lay the text out.
int firstShownCharacter(QLineEdit& edit);

}  // namespace skarn
