// NEW, SAVE and DEL on both sides of the main window: the only commands that
// change "charfile.cfg". Each is one implementation over a side; the named
// handlers below only pick the side and its character handler.

#include <cstdint>
#include <string>
#include <string_view>

#include <QGuiApplication>
#include <QString>

#include "app/program_objects.h"
#include "app/simulator_dialog.h"
#include "data/records.h"
#include "data/section_file.h"
#include "dialogs/new_character_dialog.h"
#include "model/sections.h"
#include "ui/message_box.h"
#include "ui/text.h"

namespace skarn {
namespace {

using Side = SimulatorDialog::Side;
using CharacterHandler = void (SimulatorDialog::*)();

// The last name a listing of `section` delivers; "" when the section has no
// entries or is missing.
std::string FindLastEntryName(SectionFile& file, std::string_view section) {
    return model::lastEntryName(file, section);
}

// Whether the side's section already holds a character of this name: one that
// a lookup reads, or a line that an edit would overwrite whose first field is
// a number. A line of that name without a number there is not a character,
// and a new one may take its place.
bool characterExists(SectionFile& file, std::string_view section, const std::string& name) {
    std::int32_t scratch = 0;
    return file.lookupInt(section, name, CharacterRecord::strength, scratch) ||
           file.editableEntryLines(section, name).numbered > 0;
}

// Whether any line of the section carries the name, as a lookup or an edit
// sees it.
bool holdsName(SectionFile& file, std::string_view section, const std::string& name) {
    return (file.openSection(section) && file.findEntry(name)) ||
           file.editableEntryLines(section, name).count > 0;
}

// Writes `line` for the character `name`: over its line where the edits find
// one, otherwise after the section's last entry, or first in a section
// without entries. True when the file now holds the line.
bool writeCharacter(SectionFile& file, std::string_view section, const std::string& name,
                    const std::string& line) {
    if (file.replaceEntry(section, name, line)) return true;
    // The name may stand on a line the edits cannot match (an indented one,
    // say): another line for it would leave the file with two.
    if (holdsName(file, section, name)) return false;
    const std::string last = FindLastEntryName(file, section);
    return last.empty() ? file.insertFirst(section, line) : file.insertAfter(section, last, line);
}

QString quoted(const std::string& name) { return QStringLiteral("\"%1\"").arg(displayText(name)); }

QString fileShown(const SectionFile& file) { return displayText(file.fileName()); }

// A write that did not happen, in the status line. The exchanged member
// follows, so that an exchange into the controls shows it again.
void reportFailure(SimulatorDialog& dialog, const QString& message) {
    dialog.showStatus(message);
    dialog.statusText = dialog.statusLine->bytes();
}

// While a command lives, an edit that waits for another program's lock on
// the file shows it: a busy cursor, and the status line saying why, painted
// at once, since no event loop runs until the edit ends. Both go when the
// wait does; the command's own report follows.
class LockWaitShown {
public:
    explicit LockWaitShown(SimulatorDialog& dialog)
        : dialog_(dialog), text_(QStringLiteral("waiting for another program to finish with %1\u2026")
                                     .arg(fileShown(charFile()))) {
        LockWaitNotice& notice = programObjects().lockNotice;
        notice.waiting = [this] {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            dialog_.showStatus(text_);
            dialog_.statusLine->repaint();
        };
        notice.waited = [this] {
            QGuiApplication::restoreOverrideCursor();
            if (dialog_.statusLine->text() == text_) dialog_.clearStatus();
        };
    }
    ~LockWaitShown() {
        LockWaitNotice& notice = programObjects().lockNotice;
        notice.waiting = nullptr;
        notice.waited = nullptr;
    }
    LockWaitShown(const LockWaitShown&) = delete;
    LockWaitShown& operator=(const LockWaitShown&) = delete;

private:
    SimulatorDialog& dialog_;
    const QString text_;
};

void newCharacter(SimulatorDialog& dialog, Side& side, CharacterHandler selectCharacter) {
    SectionFile& file = charFile();
    const LockWaitShown lockWait(dialog);
    dialog.clearStatus();
    NewCharacterDialog input(equiFile());  // no parent: it belongs to the active window
    const int result = input.doModal();

    bool failed = false;
    if (result == IDOK && !input.name.empty()) {
        if (characterExists(file, side.characterSection, input.name)) {
            messageBox(&dialog, QStringLiteral("Character already exists."), QStringLiteral("Warning!"),
                       MessageIcon::Exclamation);
        } else {
            const std::string line = FormatCharacterLine(
                input.name, input.strength, input.dexterity, input.weaponSkill, input.weaponType,
                input.armorRating, input.tactics, input.parry, input.shieldName, input.weaponName);
            // Selected only once it is stored: a name the file does not hold
            // would select, by the list's prefix rule, another character that
            // begins with it. A failed NEW reloads what the side showed, as a
            // cancelled one does.
            if (writeCharacter(file, side.characterSection, input.name, line))
                side.characterName = input.name;
            else
                failed = true;
        }
    }

    dialog.FillCharacterLists();
    (dialog.*selectCharacter)();
    if (failed)
        reportFailure(dialog, QStringLiteral("Could not add %1 to %2.")
                                  .arg(quoted(input.name), fileShown(file)));
}

void saveCharacter(SimulatorDialog& dialog, Side& side, CharacterHandler selectCharacter) {
    SectionFile& file = charFile();
    const LockWaitShown lockWait(dialog);
    dialog.clearStatus();
    dialog.updateData(true);  // a failed field has shown its message; save what was taken

    const std::string name = side.characterName;
    bool written = false;
    if (!name.empty()) {
        // The hit points are always saved as the Str. value.
        const std::string line = FormatCharacterLine(
            name, side.strength, side.dexterity, side.weaponSkill, side.weaponType,
            side.armorRating, side.tactics, side.parry, side.shieldName, side.weaponName);
        written = writeCharacter(file, side.characterSection, name, line);
    }

    (dialog.*selectCharacter)();
    // With nothing selected there was nothing to save, and nothing to report.
    if (!name.empty() && !written)
        reportFailure(dialog,
                      QStringLiteral("Could not save %1 to %2.").arg(quoted(name), fileShown(file)));
}

void deleteCharacter(SimulatorDialog& dialog, Side& side, CharacterHandler selectCharacter) {
    SectionFile& file = charFile();
    const LockWaitShown lockWait(dialog);
    dialog.clearStatus();
    dialog.updateData(true);

    const std::string name = side.characterName;
    // With nothing selected there is nothing to remove, and the file is not
    // rewritten at all.
    const bool removed = !name.empty() && file.removeEntry(side.characterSection, name);
    side.characterName.clear();

    dialog.FillCharacterLists();
    (dialog.*selectCharacter)();
    if (!name.empty() && !removed)
        reportFailure(dialog, QStringLiteral("Could not delete %1 from %2.")
                                  .arg(quoted(name), fileShown(file)));
}

}  // namespace

// Each command reloads the side's character, and says so once, after its
// status report.
void SimulatorDialog::OnYourNew() {
    const RunChange change(*this);
    newCharacter(*this, you_, &SimulatorDialog::OnSelectYourCharacter);
}
void SimulatorDialog::OnOppNew() {
    const RunChange change(*this);
    newCharacter(*this, opp_, &SimulatorDialog::OnSelectOppCharacter);
}
void SimulatorDialog::OnYourSave() {
    const RunChange change(*this);
    saveCharacter(*this, you_, &SimulatorDialog::OnSelectYourCharacter);
}
void SimulatorDialog::OnOppSave() {
    const RunChange change(*this);
    saveCharacter(*this, opp_, &SimulatorDialog::OnSelectOppCharacter);
}
void SimulatorDialog::OnYourDel() {
    const RunChange change(*this);
    deleteCharacter(*this, you_, &SimulatorDialog::OnSelectYourCharacter);
}
void SimulatorDialog::OnOppDel() {
    const RunChange change(*this);
    deleteCharacter(*this, opp_, &SimulatorDialog::OnSelectOppCharacter);
}

}  // namespace skarn
