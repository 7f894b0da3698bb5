#include "ui/dialog.h"

#include <algorithm>
#include <utility>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include "ui/data_exchange.h"
#include "ui/images.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace skarn {
namespace {

ModalHook& currentModalHook() {
    static ModalHook hook;
    return hook;
}

QWidget*& mainWindowSlot() {
    static QWidget* window = nullptr;
    return window;
}

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A caption as a screen reader should say it: without the '&' that marks a
// keyboard shortcut ("&&" is a literal '&').
QString withoutMnemonic(QString text) {
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text.at(i) == u'&') text.remove(i, 1);  // skips the character after it
    return text;
}

bool takesFocus(ControlKind kind) {
    switch (kind) {
        case ControlKind::Edit:
        case ControlKind::ComboBox:
        case ControlKind::PushButton:
        case ControlKind::BitmapButton:
        case ControlKind::CheckBox:
        case ControlKind::Trackbar:
            return true;
        case ControlKind::GroupBox:
        case ControlKind::Static:
        case ControlKind::Picture:
        case ControlKind::ProgressBar:
            break;
    }
    return false;
}

// The visible height of a drop-down list, in dialog units: the template
// gives the height of its dropped list instead.
constexpr int kComboBoxUnits = 13;
// The height of one entry of a dropped list, in dialog units.
constexpr int kListEntryUnits = 8;

}  // namespace

ModalHook setModalHook(ModalHook hook) {
    return std::exchange(currentModalHook(), std::move(hook));
}

void Dialog::setMainWindow(QWidget* window) { mainWindowSlot() = window; }
QWidget* Dialog::mainWindow() { return mainWindowSlot(); }

Dialog::Dialog(const DialogTemplate& dialogTemplate, QWidget* parent)
    : QDialog(parent), template_(dialogTemplate) {
    Qt::WindowFlags flags = (template_.style & kAppWindow) ? Qt::Window : Qt::Dialog;
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (template_.style & kSystemMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (template_.style & kMinimizeBox) flags |= Qt::WindowMinimizeButtonHint;
    setWindowFlags(flags);
    setObjectName(fromUtf8(template_.objectName));
    setWindowTitle(fromUtf8(template_.caption));
    setAccessibleName(windowTitle());

    // The platform's base units: the average width of the letters, and the
    // height of the font.
    const QFontMetricsF metrics(font());
    baseUnitX_ =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
        52.0;
    baseUnitY_ = metrics.height();

    setFixedSize(unitsToPixelsX(template_.width), unitsToPixelsY(template_.height));
    createControls();
}

Dialog::~Dialog() {
    if (mainWindowSlot() == this) mainWindowSlot() = nullptr;
}

int Dialog::unitsToPixelsX(int units) const { return qRound(units * baseUnitX_ / 4.0); }
int Dialog::unitsToPixelsY(int units) const { return qRound(units * baseUnitY_ / 8.0); }

QRect Dialog::unitsToPixels(int x, int y, int width, int height) const {
    // Both edges from units, so neighbouring controls keep their gaps.
    const int left = unitsToPixelsX(x), top = unitsToPixelsY(y);
    return QRect(left, top, unitsToPixelsX(x + width) - left, unitsToPixelsY(y + height) - top);
}

void Dialog::createControls() {
    QWidget* previousFocus = nullptr;
    for (const ControlTemplate& plan : template_.controls) {
        QWidget* widget = createControl(plan);
        widget->setObjectName(fromUtf8(plan.objectName));
        widget->setAccessibleName(plan.accessibleName.empty() ? withoutMnemonic(fromUtf8(plan.caption))
                                                              : fromUtf8(plan.accessibleName));
        if (!plan.toolTip.empty()) widget->setToolTip(fromUtf8(plan.toolTip));
        if (takesFocus(plan.kind)) {
            widget->setFocusPolicy(Qt::StrongFocus);
            if (previousFocus) QWidget::setTabOrder(previousFocus, widget);
            previousFocus = widget;
        } else {
            widget->setFocusPolicy(Qt::NoFocus);
        }
        controls_.push_back(widget);
        if (plan.id != -1) byId_.emplace(plan.id, widget);
    }
    fitCaptions();
}

void Dialog::fitCaptions() {
    // A font's letters are not all in the same proportion to its average
    // width, and a check box's square does not grow with the font: where a
    // caption would be cut, its control grows toward the free side, up to
    // the next control on its row.
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const ControlTemplate& plan = template_.controls[i];
        QWidget* widget = controls_[i];
        int needed = 0;
        if (plan.kind == ControlKind::CheckBox) needed = widget->sizeHint().width();
        if (plan.kind == ControlKind::Static)
            needed = widget->fontMetrics().horizontalAdvance(static_cast<QLabel*>(widget)->text());
        QRect rect = widget->geometry();
        if (needed <= rect.width()) continue;
        const bool growLeft = plan.kind == ControlKind::Static && (plan.style & kRightAligned);
        int limit = growLeft ? 0 : width();
        for (std::size_t j = 0; j < controls_.size(); ++j) {
            const QRect other = controls_[j]->geometry();
            if (j == i || template_.controls[j].kind == ControlKind::GroupBox) continue;
            if (other.bottom() < rect.top() || other.top() > rect.bottom()) continue;
            if (growLeft && other.right() < rect.left()) limit = std::max(limit, other.right() + 1);
            if (!growLeft && other.left() > rect.right()) limit = std::min(limit, other.left());
        }
        if (growLeft)
            rect.setLeft(std::max(limit, rect.right() + 1 - needed));
        else
            rect.setRight(std::min(limit, rect.left() + needed) - 1);
        widget->setGeometry(rect);
    }
}

QWidget* Dialog::createControl(const ControlTemplate& plan) {
    const QString caption = fromUtf8(plan.caption);
    const QRect rect = unitsToPixels(plan.x, plan.y, plan.width, plan.height);
    const int id = plan.id;
    QWidget* widget = nullptr;
    switch (plan.kind) {
        case ControlKind::GroupBox:
            widget = new GroupBox(caption, this);
            break;
        case ControlKind::Static: {
            auto* label = new QLabel(caption, this);
            label->setTextFormat(Qt::PlainText);
            Qt::Alignment align = (plan.style & kRightAligned) ? Qt::AlignRight
                                  : (plan.style & kCentered)   ? Qt::AlignHCenter
                                                               : Qt::AlignLeft;
            align |= (plan.style & kVerticallyCentered) ? Qt::AlignVCenter : Qt::AlignTop;
            label->setAlignment(align);
            widget = label;
            break;
        }
        case ControlKind::Picture: {
            auto* label = new QLabel(this);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            QPixmap picture;
            if (plan.style & kIcon) {
                picture = loadIcon(plan.caption).pixmap(QSize(32, 32));
            } else {
                picture = loadBitmap(plan.caption);
                // A whole multiple of the picture where the units allow, so
                // it keeps its proportions and stays sharp.
                const QSize size = picture.deviceIndependentSize().toSize();
                if (!size.isEmpty()) {
                    const int scale =
                        std::max(1, std::min(rect.width() / size.width(), rect.height() / size.height()));
                    if (scale > 1) picture = picture.scaled(size * scale, Qt::KeepAspectRatio,
                                                            Qt::FastTransformation);
                }
            }
            label->setPixmap(picture);
            widget = label;
            // The control takes the picture's size, at its place.
            if (!picture.isNull()) {
                label->setGeometry(QRect(rect.topLeft(), picture.deviceIndependentSize().toSize()));
                return label;
            }
            break;
        }
        case ControlKind::Edit: {
            auto* edit = new Edit(plan.style & kDigitsOnly, this);
            edit->setReadOnly(plan.style & kReadOnly);
            edit->setFrame(plan.style & kBorder);
            widget = edit;
            break;
        }
        case ControlKind::ComboBox: {
            auto* list = new ComboBox(plan.style & kSorted, this);
            list->setMaxVisibleItems(std::max(1, (plan.height - kComboBoxUnits) / kListEntryUnits));
            connect(list, &QComboBox::activated, this, [this, id] { notify(Notification::SelEndOk, id); });
            list->setGeometry(unitsToPixels(plan.x, plan.y, plan.width, kComboBoxUnits));
            return list;
        }
        case ControlKind::PushButton: {
            auto* button = new QPushButton(caption, this);
            button->setAutoDefault(true);
            button->setDefault(plan.style & kDefaultButton);
            connect(button, &QPushButton::clicked, this, [this, id] { notify(Notification::Clicked, id); });
            widget = button;
            break;
        }
        case ControlKind::BitmapButton: {
            auto* button = new BitmapButton(this);
            button->setText(caption);
            connect(button, &QAbstractButton::clicked, this, [this, id] { notify(Notification::Clicked, id); });
            widget = button;
            break;
        }
        case ControlKind::CheckBox: {
            auto* box = new CheckBox(caption, this);
            // An automatic check box's handler reacts to its new state, so it
            // runs on every change the user makes, also one without a click
            // (a screen reader's toggle), and once per change.
            connect(box, &CheckBox::userToggled, this, [this, id] { notify(Notification::Clicked, id); });
            widget = box;
            break;
        }
        case ControlKind::Trackbar:
            widget = new Trackbar(plan.style & kTicksBothSides, this);
            break;
        case ControlKind::ProgressBar: {
            auto* bar = new ProgressBar(this);
            if (!(plan.style & kBorder)) bar->setStyleSheet(QStringLiteral("QProgressBar { border: none; }"));
            widget = bar;
            break;
        }
    }
    widget->setGeometry(rect);
    return widget;
}

QWidget* Dialog::control(int id) const {
    const auto it = byId_.find(id);
    return it == byId_.end() ? nullptr : it->second;
}

void Dialog::bind(Notification code, int id, std::function<void()> handler) {
    handlers_[{code, id}] = std::move(handler);
}

void Dialog::notify(Notification code, int id) {
    const auto it = handlers_.find({code, id});
    if (it != handlers_.end()) {
        it->second();
        return;
    }
    if (code != Notification::Clicked) return;
    if (id == IDOK) onOK();
    if (id == IDCANCEL) onCancel();
}

void Dialog::sendCommand(int id) { notify(Notification::Clicked, id); }

bool Dialog::updateData(bool saveAndValidate) {
    DataExchange dx(*this, saveAndValidate);
    doDataExchange(dx);
    return !dx.failed();
}

void Dialog::doDataExchange(DataExchange&) {}

bool Dialog::onInitDialog() {
    for (const ControlTemplate& plan : template_.controls) {
        if (plan.items.empty()) continue;
        if (ComboBox* list = comboBox(plan.id))
            for (const std::string& item : plan.items) list->addString(item);
    }
    updateData(false);
    return true;
}

void Dialog::onOK() {
    if (updateData(true)) endDialog(IDOK);
}

void Dialog::onCancel() { endDialog(IDCANCEL); }

void Dialog::onSysCommand(unsigned, std::int64_t) {}

void Dialog::focusFirstControl() {
    for (QWidget* widget : controls_) {
        if (widget->focusPolicy() != Qt::NoFocus && widget->isEnabled() && !widget->isHidden()) {
            widget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void Dialog::setVisible(bool visible) {
    if (visible) ended_ = false;
    if (visible && !initialized_) {
        initialized_ = true;
        const bool focusFirst = onInitDialog();
        QDialog::setVisible(true);
        if (focusFirst) focusFirstControl();
        return;
    }
    QDialog::setVisible(visible);
}

void Dialog::done(int result) {
    ended_ = true;
    modalResult_ = result;
    QDialog::done(result);
}

void Dialog::endDialog(int result) { done(result); }

void Dialog::showModeless() { show(); }

int Dialog::doModal() {
    // A dialog without a parent belongs to the window it is opened from, so
    // it shows over it and the window waits for it.
    QWidget* owner = nullptr;
    if (!parentWidget()) {
        owner = QApplication::activeModalWidget();
        if (!owner || owner == this) owner = mainWindow();
        if (owner == this) owner = nullptr;
        if (owner) setParent(owner, windowFlags());
    }
    ended_ = false;
    modalResult_ = IDCANCEL;
    if (const ModalHook hook = currentModalHook()) {
        showModeless();
        hook(*this);
        if (!ended_) onCancel();
        if (!ended_) endDialog(IDCANCEL);
    } else {
        exec();
    }
    if (owner) setParent(nullptr, windowFlags());
    return modalResult_;
}

void Dialog::appendWindowMenuItem(unsigned command, const QString& text, const QKeySequence& shortcut) {
    windowMenu_.push_back({command, text, shortcut});
    if (!shortcut.isEmpty()) {
        // The keys work while the menu is closed, through an action of the
        // dialog itself.
        auto* action = new QAction(withoutMnemonic(text), this);
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, [this, command] { onSysCommand(command, 0); });
        addAction(action);
    }
#ifdef Q_OS_WIN
    if (template_.style & kSystemMenu) {
        if (HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(winId()), FALSE)) {
            QString item = text;
            if (!shortcut.isEmpty()) item += u'\t' + shortcut.toString(QKeySequence::NativeText);
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            AppendMenuW(menu, MF_STRING, command, reinterpret_cast<const wchar_t*>(item.utf16()));
            systemMenuUsed_ = true;
        }
    }
#endif
}

QMenu* Dialog::createContextMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("windowMenu"));
    for (const WindowMenuItem& item : windowMenu_) {
        QAction* action = menu->addAction(item.text);
        if (!item.shortcut.isEmpty()) {
            // Shown beside the item; the dialog's own action answers the keys.
            action->setShortcut(item.shortcut);
            action->setShortcutContext(Qt::WidgetShortcut);
            action->setShortcutVisibleInContextMenu(true);
        }
        const unsigned id = item.command;
        connect(action, &QAction::triggered, this, [this, id] { onSysCommand(id, 0); });
    }
    return menu;
}

void Dialog::contextMenuEvent(QContextMenuEvent* event) {
    if (windowMenu_.empty()) {
        event->ignore();
        return;
    }
    QMenu* menu = createContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}

#ifdef Q_OS_WIN
bool Dialog::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    if (eventType == "windows_generic_MSG") {
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->message == WM_SYSCOMMAND) {
            const unsigned command = static_cast<unsigned>(msg->wParam) & 0xFFF0u;
            for (const WindowMenuItem& item : windowMenu_) {
                if (item.command != command) continue;
                onSysCommand(static_cast<unsigned>(msg->wParam), static_cast<std::int64_t>(msg->lParam));
                *result = 0;
                return true;
            }
        }
    }
    return QDialog::nativeEvent(eventType, message, result);
}
#endif

void Dialog::setWindowIcons(const QIcon& largeIcon, const QIcon& smallIcon) {
    // One icon with the large images for the title bar and task switcher,
    // and the small icon's own image wherever a small one is drawn.
    QIcon icon;
    const QList<QSize> smallSizes = smallIcon.availableSizes();
    for (const QSize& size : largeIcon.availableSizes())
        if (!smallSizes.contains(size)) icon.addPixmap(largeIcon.pixmap(size));
    for (const QSize& size : smallSizes) icon.addPixmap(smallIcon.pixmap(size));
    setWindowIcon(icon);
}

}  // namespace skarn
