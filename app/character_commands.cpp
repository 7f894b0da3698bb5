// NEW, SAVE and DEL on both sides of the main window: the only commands that
// change "charfile.cfg". Each is one implementation over a side; the named
// handlers below only pick the side and its character handler.

#include <cstdint>
#include <string>
#include <string_view>

#include <QString>
#include <QVariant>

#include "app/simulator_dialog.h"
#include "data/records.h"
#include "data/section_file.h"
#include "dialogs/new_character_dialog.h"
#include "ui/message_box.h"
#include "ui/text.h"

namespace skarn {
namespace {

using Side = SimulatorDialog::Side;
using CharacterHandler = void (SimulatorDialog::*)();

// The dynamic property of the dialog that holds the failed-write message the
// status line shows, so that a later success clears that message and never
// another one.
constexpr const char* kWriteFailureProperty = "skarnWriteFailure";

// The last name a listing of `section` delivers; "" when the section has no
// entries or is missing.
std::string FindLastEntryName(SectionFile& file, std::string_view section) {
    std::string last;
    if (!file.openSection(section)) return last;
    std::string entry;
    while (file.nextEntry(entry)) {
        last = entry;
        file.skipLine();
    }
    return last;
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

// Replaces the status line's text, the way a command reports there, and
// keeps the exchanged member in step with it.
void setStatus(SimulatorDialog& dialog, const QString& text) {
    dialog.statusLine->setSel(0, -1);
    dialog.statusLine->replaceSel(text);
    dialog.statusText = dialog.statusLine->bytes();
}

QString quoted(const std::string& name) { return QStringLiteral("\"%1\"").arg(displayText(name)); }

QString fileShown(const SectionFile& file) { return displayText(file.fileName()); }

void reportFailure(SimulatorDialog& dialog, const QString& message) {
    setStatus(dialog, message);
    dialog.setProperty(kWriteFailureProperty, message);
}

// A command changed the file: a failed-write message still shown goes.
void reportSuccess(SimulatorDialog& dialog) {
    const QVariant shown = dialog.property(kWriteFailureProperty);
    if (!shown.isValid()) return;
    if (dialog.statusLine->text() == shown.toString()) setStatus(dialog, QString());
    dialog.setProperty(kWriteFailureProperty, QVariant());
}

void newCharacter(SimulatorDialog& dialog, Side& side, CharacterHandler selectCharacter) {
    SectionFile& file = charFile();
    NewCharacterDialog input;  // no parent: it belongs to the active window
    const int result = input.doModal();

    enum class Outcome { None, Written, Failed } outcome = Outcome::None;
    if (result == IDOK && !input.name.empty()) {
        if (characterExists(file, side.characterSection, input.name)) {
            messageBox(&dialog, QStringLiteral("Character already exists."), QStringLiteral("Warning!"),
                       MessageIcon::Exclamation);
        } else {
            const std::string line = FormatCharacterLine(
                input.name, input.strength, input.dexterity, input.weaponSkill, input.weaponType,
                input.armorRating, input.tactics, input.parry, input.shieldName, input.weaponName);
            outcome = writeCharacter(file, side.characterSection, input.name, line) ? Outcome::Written
                                                                                     : Outcome::Failed;
            side.characterName = input.name;
        }
    }

    dialog.FillCharacterLists();
    (dialog.*selectCharacter)();
    if (outcome == Outcome::Written) reportSuccess(dialog);
    if (outcome == Outcome::Failed)
        reportFailure(dialog, QStringLiteral("Could not add %1 to %2.")
                                  .arg(quoted(input.name), fileShown(file)));
}

void saveCharacter(SimulatorDialog& dialog, Side& side, CharacterHandler selectCharacter) {
    SectionFile& file = charFile();
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
    if (name.empty()) return;  // nothing selected: nothing to save, nothing to report
    if (written)
        reportSuccess(dialog);
    else
        reportFailure(dialog,
                      QStringLiteral("Could not save %1 to %2.").arg(quoted(name), fileShown(file)));
}

void deleteCharacter(SimulatorDialog& dialog, Side& side, CharacterHandler selectCharacter) {
    SectionFile& file = charFile();
    dialog.updateData(true);

    const std::string name = side.characterName;
    // With nothing selected there is nothing to remove, and the file is not
    // rewritten at all.
    const bool removed = !name.empty() && file.removeEntry(side.characterSection, name);
    side.characterName.clear();

    dialog.FillCharacterLists();
    (dialog.*selectCharacter)();
    if (name.empty()) return;
    if (removed)
        reportSuccess(dialog);
    else
        reportFailure(dialog, QStringLiteral("Could not delete %1 from %2.")
                                  .arg(quoted(name), fileShown(file)));
}

}  // namespace

void SimulatorDialog::OnYourNew() { newCharacter(*this, you_, &SimulatorDialog::OnSelectYourCharacter); }
void SimulatorDialog::OnOppNew() { newCharacter(*this, opp_, &SimulatorDialog::OnSelectOppCharacter); }
void SimulatorDialog::OnYourSave() { saveCharacter(*this, you_, &SimulatorDialog::OnSelectYourCharacter); }
void SimulatorDialog::OnOppSave() { saveCharacter(*this, opp_, &SimulatorDialog::OnSelectOppCharacter); }
void SimulatorDialog::OnYourDel() { deleteCharacter(*this, you_, &SimulatorDialog::OnSelectYourCharacter); }
void SimulatorDialog::OnOppDel() { deleteCharacter(*this, opp_, &SimulatorDialog::OnSelectOppCharacter); }

}  // namespace skarn
