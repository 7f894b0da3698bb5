#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include <QDialog>
#include <QIcon>
#include <QKeySequence>
#include <QRect>
#include <QString>

#include "ui/controls.h"
#include "ui/dialog_template.h"
#include "ui/message_box.h"

class QMenu;

// Dialogs, their message maps and the modal hook: GUI thread only, as every
// Qt widget. The hook is one for the whole program.
namespace skarn {

class DataExchange;
class Dialog;

// The notifications a handler can be bound to.
enum class Notification {
    Clicked,    // a push button or bitmap button was clicked (mouse, Space,
                // Enter while focused); a check box changed its state at the
                // user's hand, by click, Space or an accessibility action
    SelEndOk,   // the user confirmed a choice in a drop-down list, also the
                // entry already selected (QComboBox::activated)
};

// One line of a dialog's message map: notification `code` from control `id`
// runs `handler` of dialog class D.
template <class D>
struct MessageMapEntry {
    Notification code;
    int id;
    void (D::*handler)();
};

// What doModal does instead of running a modal loop: it receives the dialog,
// initialised and shown, drives it as a user would (type, choose, click OK),
// and returns. A dialog the script did not end is then cancelled, as if the
// user had closed it. Tests set one to answer dialogs without a person.
using ModalHook = std::function<void(Dialog&)>;

// Installs `hook` for every following doModal and returns the hook it
// replaces. An empty hook restores real modal loops.
ModalHook setModalHook(ModalHook hook);

// A dialog built from a template: its controls are created at construction
// in template order (which is the tab order), placed in dialog units of the
// dialog's font, and addressed by id.
//
// The first time the dialog is shown, onInitDialog runs: it adds the
// template's initial list entries, exchanges the members into the controls
// and, when it returns true, puts the focus on the first control in tab
// order. Clicks and list choices go to handlers bound by a message map; a
// click on id IDOK with no handler runs onOK, on id IDCANCEL onCancel, and so
// do Escape and the close box (onCancel).
class Dialog : public QDialog {
    Q_OBJECT
public:
    // REQUIRES: `dialogTemplate` outlives the dialog.
    explicit Dialog(const DialogTemplate& dialogTemplate, QWidget* parent = nullptr);
    ~Dialog() override;

    const DialogTemplate& dialogTemplate() const { return template_; }
    int templateId() const { return template_.id; }

    // Runs the dialog modally and returns the result it ended with (IDOK,
    // IDCANCEL, or what endDialog was given). A dialog without a parent is
    // shown over the active modal dialog, or else the main window. Goes
    // through the modal hook when one is set.
    int doModal();
    // Shows the dialog without a modal loop; onInitDialog runs the first time.
    void showModeless();
    // Ends the dialog with `result`: doModal returns it.
    void endDialog(int result);
    // Whether the dialog has ended since it was last shown, and how.
    bool hasEnded() const { return ended_; }
    int modalResult() const { return modalResult_; }

    // Exchanges data between the controls and the members through
    // doDataExchange: true takes the controls' values into the members and
    // validates them, false puts the members into the controls. Returns
    // false when a value failed its check (a message has then been shown).
    bool updateData(bool saveAndValidate = true);

    // The control with `id`, or nullptr.
    QWidget* control(int id) const;
    template <class T>
    T* controlAs(int id) const {
        return dynamic_cast<T*>(control(id));
    }
    ComboBox* comboBox(int id) const { return controlAs<ComboBox>(id); }
    Edit* edit(int id) const { return controlAs<Edit>(id); }
    // Every control in template order.
    const std::vector<QWidget*>& controls() const { return controls_; }

    // Acts as a click on control `id` (push button, bitmap button or check
    // box): runs its handler, or onOK / onCancel for IDOK / IDCANCEL.
    void sendCommand(int id);

    // Dialog units to pixels, from the dialog font's average character
    // width (x) and height (y).
    int unitsToPixelsX(int units) const;
    int unitsToPixelsY(int units) const;
    QRect unitsToPixels(int x, int y, int width, int height) const;
    double baseUnitX() const { return baseUnitX_; }
    double baseUnitY() const { return baseUnitY_; }

    // Adds a separator and an item to the window's menu: the system menu on
    // platforms that have one (Windows), and the context menu of the
    // dialog everywhere. Choosing the item runs onSysCommand(command, 0).
    // With a `shortcut`, the menu shows it beside the item, and the keys
    // choose the item wherever the focus is in the dialog.
    // REQUIRES: command & 0xF is 0, command < 0xF000.
    void appendWindowMenuItem(unsigned command, const QString& text,
                              const QKeySequence& shortcut = {});
    // The dialog's context menu (owned by the caller), as right-clicking the
    // dialog shows it; empty when no item was added.
    QMenu* createContextMenu(QWidget* parent = nullptr);
    // Whether appendWindowMenuItem reached a system menu.
    bool hasSystemMenuItems() const { return systemMenuUsed_; }

    // Sets the window's large and small icon.
    void setWindowIcons(const QIcon& largeIcon, const QIcon& smallIcon);

    // The application's main window, which owns dialogs that have no parent
    // while no modal dialog is active.
    static void setMainWindow(QWidget* window);
    static QWidget* mainWindow();

    void setVisible(bool visible) override;
    void accept() override { onOK(); }
    void reject() override { onCancel(); }
    void done(int result) override;

protected:
    virtual bool onInitDialog();
    virtual void doDataExchange(DataExchange& dx);
    // Takes and validates the values; ends the dialog with IDOK when they pass.
    virtual void onOK();
    // Ends the dialog with IDCANCEL.
    virtual void onCancel();
    // A window-menu command; `command` as chosen, `param` 0 from the context menu.
    virtual void onSysCommand(unsigned command, std::int64_t param);

    // Binds notification `code` of control `id` to `handler`. A later binding
    // of the same pair replaces the earlier one.
    void bind(Notification code, int id, std::function<void()> handler);
    // Binds a whole message map, in order.
    template <class D, std::size_t N>
    void bindMessageMap(const MessageMapEntry<D> (&map)[N]) {
        for (const MessageMapEntry<D>& entry : map) {
            auto handler = entry.handler;
            bind(entry.code, entry.id, [this, handler] { (static_cast<D*>(this)->*handler)(); });
        }
    }

    void contextMenuEvent(QContextMenuEvent* event) override;
#ifdef Q_OS_WIN
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

private:
    void createControls();
    void fitCaptions();
    QWidget* createControl(const ControlTemplate& control);
    void notify(Notification code, int id);
    void focusFirstControl();

    const DialogTemplate& template_;
    double baseUnitX_ = 0;
    double baseUnitY_ = 0;
    std::vector<QWidget*> controls_;
    std::map<int, QWidget*> byId_;
    std::map<std::pair<Notification, int>, std::function<void()>> handlers_;
    struct WindowMenuItem {
        unsigned command;
        QString text;
        QKeySequence shortcut;
    };
    std::vector<WindowMenuItem> windowMenu_;
    bool systemMenuUsed_ = false;
    bool initialized_ = false;
    bool ended_ = false;
    int modalResult_ = 0;
};

}  // namespace skarn
