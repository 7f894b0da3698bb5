#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <QString>

#include "ui/dialog.h"

// The parsing and formatting functions are pure: any thread may call them.
// A DataExchange works on a dialog's controls: GUI thread only.
namespace skarn {

// The framework's validation messages.
QString integerMessage();                             // "Please enter an integer."
QString integerRangeMessage(std::int32_t low, std::int32_t high);
QString numberMessage();                              // "Please enter a number."
QString maxCharsMessage(int maxChars);

// The integer in `text`: leading blanks, an optional sign, then one or more
// digits and nothing else, within the 32-bit range. Nothing otherwise.
std::optional<std::int32_t> parseInteger(const QString& text);
// The number in `text`: leading blanks, then a decimal number ("12", "-0.5",
// "1e3") and nothing else, finite. Nothing otherwise.
std::optional<double> parseNumber(const QString& text);
// `value` as printf's "%.*g" with precision 15 gives it, with a decimal point
// whatever the locale: 66.6 -> "66.6", 60.0 -> "60".
QString formatNumber(double value);

// One run of a dialog's data exchange, in one direction. doDataExchange calls
// the methods below once per member, in the exchange order. Taking values
// from the controls, the first value that fails its check shows the
// framework's message (exclamation icon, the application's name as caption),
// puts the focus on that control with its whole text selected, and stops the
// exchange: every later call does nothing, so the members after it keep their
// values.
class DataExchange {
public:
    DataExchange(Dialog& dialog, bool saveAndValidate);

    Dialog& dialog() const { return dialog_; }
    // True: controls to members, with validation. False: members to controls.
    bool saveAndValidate() const { return save_; }
    bool failed() const { return failed_; }

    // Binds a control member to control `id` the first time (later calls
    // leave it as it is). REQUIRES: the control exists and is a T.
    template <class T>
    void control(int id, T*& member) {
        if (!member) member = dialog_.controlAs<T>(id);
    }

    // A number in an edit. Taken: the text must be an integer ("Please enter
    // an integer."), stored in `value`, then lie in low..high ("Please enter
    // an integer between %1 and %2."). Put: the decimal text, unchecked.
    void number(int id, std::int32_t& value, std::int32_t low, std::int32_t high);
    // A number in an edit, without a range check.
    void number(int id, std::int32_t& value);
    // A decimal number in an edit, shown as formatNumber gives it. Taken: the
    // text must be a number ("Please enter a number.").
    void number(int id, double& value);
    // The selected index of a list, -1 for none, both ways.
    void listIndex(int id, std::int32_t& index);
    // The selected entry of a list. Taken: its bytes, "" with nothing
    // selected. Put: ComboBox::selectString (exact text first, then the first
    // entry beginning with it ignoring case; no match keeps the selection;
    // "" selects nothing).
    void listText(int id, std::string& text);
    // The text of an edit, unchanged both ways.
    void text(int id, std::string& text);
    // The same, at most `maxChars` characters: put limits the field to that,
    // taken fails with "Please enter no more than %1 characters.".
    void text(int id, std::string& text, int maxChars);

    // Fails the exchange at the control exchanged last, with `message`, as a
    // built-in check does. For a dialog's own checks, right after the
    // exchange of the value checked. Does nothing when already failed.
    void fail(const QString& message);

private:
    QWidget* begin(int id);

    Dialog& dialog_;
    bool save_;
    bool failed_ = false;
    QWidget* last_ = nullptr;
};

}  // namespace skarn
