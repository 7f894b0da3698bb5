// Filling the character, weapon and shield lists from the data files, and
// the handlers that run when an entry of them is chosen. Each twin handler is
// one implementation over a side; the named handlers only pick the side.
//
// The handlers nest: a character choice runs the side's weapon-type handler
// and its shield handler, and the shield handler runs the weapon handler
// first, so that the two-handed rule always has the last word on the shield.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/program_objects.h"
#include "app/simulator_dialog.h"
#include "data/records.h"
#include "data/section_file.h"
#include "model/equipment.h"
#include "model/sections.h"

namespace skarn {
namespace {

using Side = SimulatorDialog::Side;

bool isWeaponType(std::int32_t weaponType) { return weaponType >= 0 && weaponType < kWeaponTypeCount; }

// Adds every name of `names` to `list`, in order.
void addNames(ComboBox& list, const std::optional<std::vector<std::string>>& names) {
    if (!names) return;
    for (const std::string& name : *names) list.addString(name);
}

void selectWeaponType(SimulatorDialog& dialog, Side& side) {
    dialog.updateData(true);  // a failed field has shown its message; go on with the rest
    side.weaponList->resetContent();
    if (isWeaponType(side.weaponType)) dialog.FillWeaponList(side, weaponSection(side.weaponType));
    side.weaponName.clear();
    dialog.updateData(false);
}

void selectWeapon(SimulatorDialog& dialog, Side& side) {
    dialog.updateData(true);
    // Fields 1 to 5 in order, up to the first that cannot be read.
    const model::WeaponLookup weapon =
        model::lookupWeapon(equiFile(), weaponSection(side.weaponType), side.weaponName);
    // A weapon must have its speed, dice and bonus; the hands count may be
    // missing (one hand). A weapon that cannot be read is no weapon at all,
    // so that a run never fights with what is left of the one before.
    if (weapon.hasStatistics()) {
        side.weaponSpeed = weapon.stats.speed;
        side.diceCount = weapon.stats.diceCount;
        side.diceSides = weapon.stats.diceSides;
        side.damageBonus = weapon.stats.damageBonus;
    } else {
        side.weaponName.clear();
        side.weaponSpeed = side.diceCount = side.diceSides = side.damageBonus = 0;
    }
    if (model::rulesOutShield(weapon.stats.hands)) {
        side.shieldName = NoneEntry;
        side.combatant.shieldIndex = -1;
    }
    dialog.updateData(false);
}

void selectShield(SimulatorDialog& dialog, Side& side) {
    selectWeapon(dialog, side);  // takes the chosen shield, then the two-handed rule
    const model::ShieldLookup shield = model::lookupShield(equiFile(), side.shieldName);
    if (shield.read) {
        side.shieldAbsorb = shield.absorb;
        side.combatant.shieldIndex = 0;
    } else {
        // "- none -" itself, and any name the file does not hold.
        side.shieldName = NoneEntry;
        side.combatant.shieldIndex = -1;
    }
    dialog.updateData(false);
}

void selectCharacter(SimulatorDialog& dialog, Side& side) {
    dialog.updateData(true);  // takes the chosen name
    SectionFile& file = charFile();

    side.parry = side.tactics = side.armorRating = side.weaponSkill = side.dexterity = side.strength = 0;
    side.weaponType = -1;
    side.weaponName.clear();
    side.shieldName.clear();

    std::int32_t* const numbers[] = {&side.strength,    &side.dexterity, &side.weaponSkill,
                                     &side.weaponType,  &side.armorRating, &side.tactics,
                                     &side.parry};
    bool allRead = true;
    for (int n = 0; n < 7 && allRead; ++n)
        allRead = file.lookupInt(side.characterSection, side.characterName, n + 1, *numbers[n]);
    // A hand-edited type outside the list selects no type, as -1 does; kept
    // as it was, it would pass for a chosen type while no list entry shows it.
    if (!isWeaponType(side.weaponType)) side.weaponType = -1;

    std::string text;
    if (allRead && file.lookupText(side.characterSection, side.characterName, CharacterRecord::shieldName, text))
        side.shieldName = text;
    dialog.updateData(false);

    selectWeaponType(dialog, side);  // refills the weapon list, empties the weapon name

    // The weapon is read whatever happened above.
    if (file.lookupText(side.characterSection, side.characterName, CharacterRecord::weaponName, text))
        side.weaponName = text;
    dialog.updateData(false);

    selectShield(dialog, side);  // settles the weapon, the two-handed rule and the shield
}

}  // namespace

void SimulatorDialog::FillCharacterLists() {
    yourCharacterList->resetContent();
    oppCharacterList->resetContent();
    // Empty names are listed too.
    addNames(*yourCharacterList, model::sectionNames(charFile(), you_.characterSection));
    addNames(*oppCharacterList, model::sectionNames(charFile(), opp_.characterSection));
    updateData(false);  // each list selects its side's character
}

void SimulatorDialog::FillWeaponList(Side& side, std::string_view section) {
    // Without empty names: a weapon without one could never be looked up.
    addNames(*side.weaponList, model::weaponNames(equiFile(), section));
}

void SimulatorDialog::FillShieldLists() {
    // Empty names are listed too. Without a "Shields" section both lists stay
    // empty, without "- none -".
    const auto names = model::sectionNames(equiFile(), kShields);
    if (!names) return;
    for (const std::string& name : *names) {
        oppShieldList->addString(name);
        yourShieldList->addString(name);
    }
    oppShieldList->addString(NoneEntry);
    yourShieldList->addString(NoneEntry);
}

// Each choice changes what a run fights, and says so once it is settled.
void SimulatorDialog::OnSelectYourCharacter() {
    const RunChange change(*this);
    selectCharacter(*this, you_);
}
void SimulatorDialog::OnSelectOppCharacter() {
    const RunChange change(*this);
    selectCharacter(*this, opp_);
}
void SimulatorDialog::OnSelectYourWeaponType() {
    const RunChange change(*this);
    selectWeaponType(*this, you_);
}
void SimulatorDialog::OnSelectOppWeaponType() {
    const RunChange change(*this);
    selectWeaponType(*this, opp_);
}
void SimulatorDialog::OnSelectYourWeapon() {
    const RunChange change(*this);
    selectWeapon(*this, you_);
}
void SimulatorDialog::OnSelectOppWeapon() {
    const RunChange change(*this);
    selectWeapon(*this, opp_);
}
void SimulatorDialog::OnSelectYourShield() {
    const RunChange change(*this);
    selectShield(*this, you_);
}
void SimulatorDialog::OnSelectOppShield() {
    const RunChange change(*this);
    selectShield(*this, opp_);
}

}  // namespace skarn
