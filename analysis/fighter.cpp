#include "analysis/fighter.h"

#include <algorithm>

#include "data/records.h"
#include "model/equipment.h"
#include "model/lookup.h"
#include "model/sections.h"

namespace skarn::analysis {

using model::inSection;
using model::numberBeyond32Bits;
using model::outOf32Bits;
using model::quoteName;
using model::Stat;

namespace {

constexpr const char* kCharacterFieldNames[] = {
    "", "strength", "dexterity", "weaponSkill", "weaponType", "armorRating", "tactics", "parry",
    "hitPoints"};

bool contains(const std::vector<std::string>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

bool loadCharacter(SectionFile& characters, std::string_view section, const std::string& name,
                   StoredCharacter& character, std::string& error) {
    const auto names = model::sectionNames(characters, section);
    if (!names) {
        error = characters.fileName() + " has no section [" + std::string(section) + "]";
        return false;
    }
    if (!contains(*names, name)) {
        error = "no character " + quoteName(name) + " " + inSection(section, characters.fileName());
        return false;
    }

    character = StoredCharacter{};
    character.name = name;
    character.section = section;
    character.fileName = characters.fileName();

    // Fields 1 to 7 in file order; the first that cannot be read ends the
    // loading, and the ones after it keep their cleared values.
    model::Stats& stats = character.stats;
    std::int32_t* const targets[] = {nullptr,
                                     &stats[Stat::Strength],
                                     &stats[Stat::Dexterity],
                                     &stats[Stat::WeaponSkill],
                                     &character.weaponType,
                                     &stats[Stat::ArmorRating],
                                     &stats[Stat::Tactics],
                                     &stats[Stat::Parry]};
    for (int field = 1; field <= 7; ++field) {
        std::int32_t value = *targets[field];
        const bool read = characters.lookupInt(section, name, field, value);
        // A field that is there but not a number reads as 0, one beyond 32
        // bits as the nearest 32-bit value, as readInt leaves them.
        *targets[field] = value;
        if (!read) {
            character.unreadField = field;
            character.outOfRangeText = numberBeyond32Bits(characters, section, name, field, value);
            break;
        }
    }
    // The stored shield counts only when all seven numbers were read.
    std::string text;
    if (character.unreadField == 0 &&
        characters.lookupText(section, name, CharacterRecord::shieldName, text))
        character.shieldName = text;
    text.clear();
    if (characters.lookupText(section, name, CharacterRecord::weaponName, text)) {
        character.weaponName = text;
        character.weaponNameRead = true;
    }
    character.hitPoints =
        model::hitPointsOf(characters, section, name, stats[Stat::Strength]);
    if (!character.hitPoints.stored) {
        std::int32_t left = 0;
        characters.lookupInt(section, name, CharacterRecord::hitPoints, left);
        character.hitPointsOutOfRange =
            numberBeyond32Bits(characters, section, name, CharacterRecord::hitPoints, left);
    }
    return true;
}

Fighter unarmedFighter(const StoredCharacter& character) {
    Fighter fighter;
    fighter.name = character.name;
    fighter.stats = character.stats;
    fighter.hitPoints = character.hitPoints;
    fighter.weaponType = character.weaponType;
    fighter.weaponName = character.weaponName;
    fighter.wantedShield = character.shieldName;
    return fighter;
}

bool checkWeaponType(const StoredCharacter& character, std::string& error,
                     std::vector<std::string>& warnings) {
    const std::string who = quoteName(character.name);
    const std::string entry = "its entry " + inSection(character.section, character.fileName);
    const int field = character.unreadField;
    if (field != 0 && !character.outOfRangeText.empty()) {
        error = who + ": field " + std::to_string(field) + " (" + kCharacterFieldNames[field] +
                ") of " + entry + " " + outOf32Bits(character.outOfRangeText);
        return false;
    }
    if (field != 0 && field <= CharacterRecord::weaponType) {
        error = who + " has no weapon type: field " + std::to_string(field) + " (" +
                kCharacterFieldNames[field] + ") of " + entry + " cannot be read";
        return false;
    }
    if (weaponSection(character.weaponType).empty()) {
        error = who + " has no weapon type: field 4 (weaponType) of " + entry + " is " +
                std::to_string(character.weaponType) + ", not 0 to 3";
        return false;
    }
    if (field != 0) {
        warnings.push_back("field " + std::to_string(field) + " (" + kCharacterFieldNames[field] +
                           ") of " + who + " " +
                           inSection(character.section, character.fileName) +
                           " cannot be read: it and the fields after it count as 0, "
                           "and the stored shield is not used");
    }
    return true;
}

bool armWeapon(SectionFile& equipment, std::int32_t weaponType, const std::string& weapon,
               Fighter& fighter, std::string& error) {
    const std::string_view section = weaponSection(weaponType);
    const std::string& path = equipment.fileName();
    // Only names the weapon list offers can be picked.
    const auto weapons = section.empty() ? std::nullopt : model::weaponNames(equipment, section);
    if (!weapons || !contains(*weapons, weapon)) {
        error = "no weapon " + quoteName(weapon) + " " + inSection(section, path);
        if (!weapons) error += " (no such section)";
        return false;
    }
    // A weapon with any of its five statistics unreadable has no defined
    // statistics and cannot fight.
    const model::WeaponLookup lookup = model::lookupWeapon(equipment, section, weapon);
    if (lookup.unreadField != 0) {
        error = lookup.problem;
        return false;
    }
    Fighter armed = fighter;
    armed.weapon = lookup.stats;
    armed.weaponType = weaponType;
    armed.weaponName = weapon;
    fighter = std::move(armed);
    return true;
}

bool armShield(SectionFile& equipment, Fighter& fighter, std::string& error,
               std::vector<std::string>& warnings) {
    const std::string who = quoteName(fighter.name);
    const std::string& path = equipment.fileName();
    const bool given = fighter.shieldGiven && !meansNoShield(fighter.wantedShield);
    const std::string shieldName =
        meansNoShield(fighter.wantedShield) ? std::string(NoneEntry) : fighter.wantedShield;
    const auto shields = model::sectionNames(equipment, kShields);
    const bool listed = shields && !shieldName.empty() && contains(*shields, shieldName);
    if (given && !listed) {
        error = "no shield " + quoteName(shieldName) + " " + inSection(kShields, path);
        if (!shields) error += " (no such section)";
        return false;
    }

    fighter.hasShield = false;
    fighter.shieldAbsorb = 0;
    fighter.shieldDroppedForHands = false;
    if (model::rulesOutShield(fighter.weapon.hands)) {
        if (listed) {
            fighter.shieldDroppedForHands = true;
            if (given) {
                warnings.push_back(quoteName(fighter.weaponName) + " needs " +
                                   std::to_string(fighter.weapon.hands) + " hands: " + who +
                                   " fights without the shield " + quoteName(shieldName));
            }
        }
    } else if (listed) {
        const model::ShieldLookup shield = model::lookupShield(equipment, shieldName);
        if (shield.read) {
            fighter.hasShield = true;
            fighter.shieldAbsorb = shield.absorb;
        } else {
            if (given) {
                error = shield.problem;
                return false;
            }
            warnings.push_back(shield.problem + ": " + who + " fights without a shield");
        }
    } else if (!shieldName.empty() && shieldName != NoneEntry) {
        warnings.push_back("the stored shield " + quoteName(shieldName) + " of " + who + " is not " +
                           inSection(kShields, path) + ": it fights without a shield");
    }
    fighter.shieldName = fighter.hasShield ? shieldName : std::string(NoneEntry);
    return true;
}

bool equipFighter(SectionFile& equipment, const StoredCharacter& character,
                  const std::optional<std::string>& weapon,
                  const std::optional<std::string>& shield, Fighter& fighter, std::string& error,
                  std::vector<std::string>& warnings) {
    if (!checkWeaponType(character, error, warnings)) return false;
    const std::string who = quoteName(character.name);
    const std::string weaponName = weapon ? *weapon : character.weaponName;
    if (!weapon && weaponName.empty()) {
        error = who + " has no weapon: field 10 (weaponName) of its entry " +
                inSection(character.section, character.fileName) +
                (character.weaponNameRead ? " is empty" : " cannot be read");
        return false;
    }
    Fighter armed = unarmedFighter(character);
    if (shield) {
        armed.wantedShield = *shield;
        armed.shieldGiven = true;
    }
    if (!armWeapon(equipment, character.weaponType, weaponName, armed, error) ||
        !armShield(equipment, armed, error, warnings))
        return false;
    if (!character.hitPointsOutOfRange.empty()) {
        warnings.push_back("field 8 (hitPoints) of " + who + " " +
                           inSection(character.section, character.fileName) + " " +
                           outOf32Bits(character.hitPointsOutOfRange) +
                           ": its Str. serves as hit points");
    }
    fighter = std::move(armed);
    return true;
}

bool meansNoShield(std::string_view name) { return name == "none" || name == NoneEntry; }

}  // namespace skarn::analysis
