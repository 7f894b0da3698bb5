#include "ui/message_box.h"

#include <utility>

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QWidget>

namespace skarn {
namespace {

MessageBoxHook& currentHook() {
    static MessageBoxHook hook;
    return hook;
}

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information: return QMessageBox::Information;
        case MessageIcon::Question: return QMessageBox::Question;
        case MessageIcon::Exclamation: return QMessageBox::Warning;
        case MessageIcon::Stop: return QMessageBox::Critical;
        case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

int showRealMessageBox(const Message& message) {
    QWidget* owner = message.owner ? message.owner : QApplication::activeWindow();
    QMessageBox box(qtIcon(message.icon), message.caption, message.text,
                    QMessageBox::NoButton, owner);
    box.setTextFormat(Qt::PlainText);
    switch (message.buttons) {
        case MessageButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MessageButtons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MessageButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case MessageButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
    }
    switch (box.exec()) {
        case QMessageBox::Ok: return IDOK;
        case QMessageBox::Yes: return IDYES;
        case QMessageBox::No: return IDNO;
        case QMessageBox::Cancel: return IDCANCEL;
        default: break;
    }
    // Closed without a button: Escape or the close box.
    return message.buttons == MessageButtons::Ok ? IDOK : IDCANCEL;
}

}  // namespace

int messageBox(QWidget* owner, const QString& text, const QString& caption, MessageIcon icon,
               MessageButtons buttons) {
    const Message message{owner, text, caption, icon, buttons};
    if (const MessageBoxHook& hook = currentHook()) return hook(message);
    return showRealMessageBox(message);
}

int appMessageBox(const QString& text, MessageIcon icon, MessageButtons buttons) {
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner) owner = QApplication::activeWindow();
    return messageBox(owner, text, applicationName(), icon, buttons);
}

QString applicationName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

MessageBoxHook setMessageBoxHook(MessageBoxHook hook) {
    return std::exchange(currentHook(), std::move(hook));
}

}  // namespace skarn
