#include "ui/controls.h"

#include <algorithm>

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleOption>
#include <QWheelEvent>

#include "ui/images.h"
#include "ui/text.h"

namespace skarn {
namespace {

constexpr int kBytesRole = Qt::UserRole;

// Sort order of list entries: case-insensitive on the text shown, then the
// bytes, so that "Bob" and "bob" both have a fixed place.
bool sortsBefore(const QString& aText, std::string_view aBytes, const QString& bText,
                 std::string_view bBytes) {
    const int byText = QString::compare(aText, bText, Qt::CaseInsensitive);
    if (byText != 0) return byText < 0;
    return aBytes < bBytes;
}

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size()) return false;
    return std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char a, char b) { return asciiLower(a) == asciiLower(b); });
}

bool isDigits(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

}  // namespace

// --- ComboBox ---

ComboBox::ComboBox(bool sorted, QWidget* parent) : QComboBox(parent), sorted_(sorted) {
    setInsertPolicy(QComboBox::NoInsert);
}

int ComboBox::addString(std::string_view bytes) {
    const QString text = skarn::displayText(bytes);
    int index = count();
    if (sorted_) {
        // After every entry that does not sort after the new one.
        int low = 0, high = count();
        while (low < high) {
            const int mid = (low + high) / 2;
            if (sortsBefore(text, bytes, itemText(mid), entry(mid)))
                high = mid;
            else
                low = mid + 1;
        }
        index = low;
    }
    const QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
    // QComboBox selects the first entry added to an empty list; a list here
    // keeps no selection until one is made. Inserting before the selected
    // entry keeps that entry selected: QComboBox follows the item.
    const bool hadSelection = currentIndex() >= 0;
    insertItem(index, text, data);
    if (!hadSelection) setCurrentIndex(-1);
    return index;
}

void ComboBox::resetContent() {
    clear();
    setCurrentIndex(-1);
}

std::string ComboBox::entry(int index) const {
    const QByteArray data = itemData(index, kBytesRole).toByteArray();
    return std::string(data.constData(), static_cast<std::size_t>(data.size()));
}

void ComboBox::setCurSel(int index) { setCurrentIndex(index >= 0 && index < count() ? index : -1); }

std::string ComboBox::selectedEntry() const {
    const int index = currentIndex();
    return index < 0 ? std::string() : entry(index);
}

int ComboBox::findExact(std::string_view bytes) const {
    for (int i = 0; i < count(); ++i)
        if (entry(i) == bytes) return i;
    return -1;
}

int ComboBox::findPrefix(std::string_view bytes) const {
    const QString text = skarn::displayText(bytes);
    for (int i = 0; i < count(); ++i) {
        // The bytes, for a stored name cut inside a character; the text
        // shown, for letters beyond ASCII.
        if (startsWithIgnoringAsciiCase(entry(i), bytes) ||
            itemText(i).startsWith(text, Qt::CaseInsensitive))
            return i;
    }
    return -1;
}

int ComboBox::selectString(std::string_view bytes) {
    if (bytes.empty()) {
        setCurrentIndex(-1);
        return -1;
    }
    int index = findExact(bytes);
    if (index < 0) index = findPrefix(bytes);
    if (index >= 0) setCurrentIndex(index);
    return currentIndex();
}

void ComboBox::wheelEvent(QWheelEvent* event) {
    // Ignored, the wheel goes on to the dialog, which does nothing with it.
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    QComboBox::wheelEvent(event);
}

// --- Edit ---

Edit::Edit(bool digitsOnly, QWidget* parent) : QLineEdit(parent), digitsOnly_(digitsOnly) {
    // Setting or replacing the text leaves the cursor after it, which
    // scrolls a long message to its end; a read-only field goes back.
    connect(this, &QLineEdit::textChanged, this, &Edit::showFromStart);
}

void Edit::setBytes(std::string_view bytes) {
    bytes_.assign(bytes);
    shownForBytes_ = skarn::displayText(bytes);
    setText(shownForBytes_);
}

std::string Edit::bytes() const {
    if (text() == shownForBytes_) return bytes_;
    return typedBytes(text());
}

void Edit::setSel(int start, int end) {
    const int length = text().size();
    start = std::clamp(start, 0, length);
    end = end < 0 ? length : std::clamp(end, 0, length);
    setSelection(start, end - start);
}

void Edit::replaceSel(const QString& replacement) {
    // QLineEdit::insert() edits a read-only field too, as the program (not
    // the user) is writing.
    insert(replacement);
}

bool Edit::isTextCut() const {
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this)
                               .marginsRemoved(textMargins());
    // QLineEdit keeps two pixels free on either side of the text, and one
    // more for the cursor.
    constexpr int kInnerMargin = 2;
    return fontMetrics().horizontalAdvance(text()) + 1 > contents.width() - 2 * kInnerMargin;
}

void Edit::showFromStart() {
    if (!isReadOnly()) return;
    setCursorPosition(0);
    const QString whole = isTextCut() ? text() : QString();
    setToolTip(whole);
    setAccessibleDescription(whole);
}

void Edit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    showFromStart();
}

void Edit::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    if (digitsOnly_ && !command && !typed.isEmpty() && typed.at(0).isPrint() && !isDigits(typed)) {
        event->accept();  // refused, as a digits-only field does
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void Edit::inputMethodEvent(QInputMethodEvent* event) {
    if (digitsOnly_ && !isDigits(event->commitString())) {
        QInputMethodEvent refused(event->preeditString(), event->attributes());
        refused.setCommitString(QString());
        QLineEdit::inputMethodEvent(&refused);
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

// --- GroupBox ---

void GroupBox::paintEvent(QPaintEvent*) {
    // The style's own group box keeps the caption above the frame; here the
    // frame's top line runs through the caption's middle, so the controls
    // placed inside the rectangle stay inside the frame.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics metrics = fontMetrics();
    const QRectF frame = QRectF(rect()).adjusted(0.5, metrics.height() / 2 + 0.5, -0.5, -0.5);
    painter.setPen(palette().color(QPalette::Window).darker(140));
    painter.drawRoundedRect(frame, 2, 2);
    if (title().isEmpty()) return;
    const int inset = metrics.averageCharWidth();
    const QRect text(inset, 0, metrics.horizontalAdvance(title()) + inset, metrics.height());
    painter.fillRect(text, palette().window());
    style()->drawItemText(&painter, text, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), isEnabled(),
                          title(), QPalette::WindowText);
}

// --- CheckBox ---

CheckBox::CheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {
    // Every change of state goes through setChecked and toggled, whether it
    // comes from a click, the keyboard or an accessibility action; the
    // program's own changes are marked and left out.
    connect(this, &QAbstractButton::toggled, this, [this] {
        if (!settingCheck_) emit userToggled();
    });
}

void CheckBox::setCheck(bool checked) {
    const bool outer = settingCheck_;
    settingCheck_ = true;
    setChecked(checked);
    settingCheck_ = outer;
}

// --- Trackbar, ProgressBar ---

Trackbar::Trackbar(bool ticksBothSides, QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    QSlider::setRange(0, 100);
    setTickInterval(1);
    setTickPosition(ticksBothSides ? QSlider::TicksBothSides : QSlider::TicksBelow);
    setPageStep(1);
}

ProgressBar::ProgressBar(QWidget* parent) : QProgressBar(parent) {
    setRange(0, 100);
    setValue(0);
    setTextVisible(false);
}

void Trackbar::wheelEvent(QWheelEvent* event) {
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    QSlider::wheelEvent(event);
}

void ProgressBar::setPos(int pos) { setValue(pos); }

// --- BitmapButton ---

BitmapButton::BitmapButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

bool BitmapButton::autoLoad() {
    const std::string base = text().toStdString();
    normal_ = loadBitmap(base + "U");
    pressed_ = loadBitmap(base + "D");
    focused_ = loadBitmap(base + "F");
    disabled_ = loadBitmap(base + "X");
    if (normal_.isNull()) return false;
    const QSize face = normal_.deviceIndependentSize().toSize();
    const int scale = std::max(1, std::min(width() / face.width(), height() / face.height()));
    resize(face * scale);
    updateGeometry();
    update();
    return true;
}

const QPixmap& BitmapButton::currentFace() const {
    if (!isEnabled() && !disabled_.isNull()) return disabled_;
    if (isDown() && !pressed_.isNull()) return pressed_;
    if (hasFocus() && !focused_.isNull()) return focused_;
    return normal_;
}

QSize BitmapButton::sizeHint() const {
    return normal_.isNull() ? QSize(18, 21) : normal_.deviceIndependentSize().toSize();
}

void BitmapButton::keyPressEvent(QKeyEvent* event) {
    // A focused push button takes Enter for itself; passed on, it would
    // press the dialog's default button instead. A held key presses once:
    // DEL asks for no confirmation.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (enter && modifiers == Qt::NoModifier) {
        if (!event->isAutoRepeat()) click();
        event->accept();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void BitmapButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPixmap& face = currentFace();
    if (!face.isNull()) {
        painter.drawPixmap(rect(), face);
        return;
    }
    // No pictures: a plain button with the caption, so it stays usable.
    QStyleOptionButton option;
    option.initFrom(this);
    option.text = text();
    if (isDown()) option.state |= QStyle::State_Sunken;
    style()->drawControl(QStyle::CE_PushButton, &option, &painter, this);
}

}  // namespace skarn
