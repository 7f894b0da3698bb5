#pragma once

#include <string>
#include <string_view>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QSlider>

namespace skarn {

// The controls a dialog template creates (see ControlKind). Each is the Qt
// widget with the few operations the dialogs use added in their own terms.
// A control knows its template id; the dialog looks controls up by it.
// Like every Qt widget, use them from the GUI thread only.

// A drop-down list. Each entry keeps the bytes it was added with and shows
// them as text (displayText); the list hands the same bytes back. A sorted
// list orders its entries ignoring case ("adam" before "Zed"), entries equal
// but for case in byte order. The mouse wheel changes the choice only while
// the list has the focus: turned over a list on the way elsewhere, it leaves
// the choice (and what the choice loaded) alone.
class ComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit ComboBox(bool sorted, QWidget* parent = nullptr);

    bool isSorted() const { return sorted_; }

    // Adds an entry: in its sorted place, or at the end of an unsorted list.
    // Returns its index. The selection stays on the entry it was on.
    int addString(std::string_view bytes);
    // Removes every entry; nothing is selected afterwards.
    void resetContent();

    // The bytes of entry `index`. REQUIRES: 0 <= index < count().
    std::string entry(int index) const;
    // The selected index, or -1.
    int curSel() const { return currentIndex(); }
    // Selects entry `index`, or nothing for -1 (or any index out of range).
    void setCurSel(int index);
    // The bytes of the selected entry, or "" when nothing is selected.
    std::string selectedEntry() const;

    // The first entry whose bytes are exactly `bytes`, or -1.
    int findExact(std::string_view bytes) const;
    // The first entry that begins with `bytes`, ignoring case, or -1.
    int findPrefix(std::string_view bytes) const;
    // Selects the entry for a stored text: the entry with exactly that text,
    // else the first that begins with it ignoring case. With no such entry
    // the selection stays as it was; an empty text clears the selection.
    // Returns the selected index afterwards.
    int selectString(std::string_view bytes);

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    bool sorted_;
};

// A one-line text field. A digits-only field refuses typed characters other
// than digits (pasted text is taken as it is, and checked by the exchange).
// Text set from bytes comes back as the same bytes until the user edits it.
//
// A read-only field is a message the program writes: whatever sets its text,
// it shows the text from its first character, and when the text is wider
// than the field, its tool tip and accessible description hold all of it.
class Edit : public QLineEdit {
    Q_OBJECT
public:
    explicit Edit(bool digitsOnly, QWidget* parent = nullptr);

    bool isDigitsOnly() const { return digitsOnly_; }

    void setBytes(std::string_view bytes);
    // The field's text as bytes: the bytes last set when the text is still
    // what they showed, otherwise the text as UTF-8.
    std::string bytes() const;

    // Limits the text to `maxChars` characters; the user cannot type more.
    void limitText(int maxChars) { setMaxLength(maxChars); }
    // Selects characters from `start` to `end`; end -1 means to the end.
    void setSel(int start, int end);
    // Replaces the selection with `text` (inserts at the cursor when nothing
    // is selected), also in a read-only field.
    void replaceSel(const QString& text);

    // Whether the text is wider than the part of the field that shows text.
    bool isTextCut() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // For a read-only field: back to the first character, and the whole
    // text in the tool tip and description while it is cut.
    void showFromStart();

    bool digitsOnly_;
    std::string bytes_;
    QString shownForBytes_;
};

// A frame with its caption set into the top line, surrounding controls that
// are its siblings, not its children.
class GroupBox : public QGroupBox {
    Q_OBJECT
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// An automatic check box: a click toggles it before its handler runs.
// The program sets it with setCheck; every other change of its state (a
// click, Space, a screen reader's toggle action) is the user's, and emits
// userToggled once.
class CheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit CheckBox(const QString& text, QWidget* parent = nullptr);
    // Checks or clears the box without emitting userToggled.
    void setCheck(bool checked);
    bool check() const { return isChecked(); }

signals:
    void userToggled();

private:
    bool settingCheck_ = false;
};

// A horizontal slider with a tick mark at every position. Like a list, it
// moves on the mouse wheel only while it has the focus.
class Trackbar : public QSlider {
    Q_OBJECT
public:
    explicit Trackbar(bool ticksBothSides, QWidget* parent = nullptr);
    // Sets the range; the position is kept within it.
    void setRange(int min, int max) { QSlider::setRange(min, max); }
    int pos() const { return value(); }
    void setPos(int pos) { setValue(pos); }

protected:
    void wheelEvent(QWheelEvent* event) override;
};

// A progress bar that shows no percentage text. Range 0..100 to begin with.
class ProgressBar : public QProgressBar {
    Q_OBJECT
public:
    explicit ProgressBar(QWidget* parent = nullptr);
    int pos() const { return value(); }
    // Sets the position; the bar repaints at once when the drawn part
    // changes, so it moves even while the caller keeps the thread busy.
    void setPos(int pos);
};

// A push button drawn with pictures: the pressed face while held down,
// otherwise the focused face while it has the focus, otherwise the normal
// face; the disabled face, when there is one, while disabled. Like a focused
// push button, it is pressed by Space and by Enter.
class BitmapButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit BitmapButton(QWidget* parent = nullptr);

    // Loads the faces named base + "U" (normal), "D" (pressed), "F" (focused)
    // and "X" (disabled), base being the button's caption, from the bitmap
    // resources. When the normal face loads, the button takes its size (a
    // whole multiple of it where the dialog's units are large enough, so the
    // faces stay sharp). Returns whether the normal face loaded.
    bool autoLoad();

    const QPixmap& normalFace() const { return normal_; }
    const QPixmap& pressedFace() const { return pressed_; }
    const QPixmap& focusedFace() const { return focused_; }
    // The face painted now.
    const QPixmap& currentFace() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPixmap normal_, pressed_, focused_, disabled_;
};

}  // namespace skarn
