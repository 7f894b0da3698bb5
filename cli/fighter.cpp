#include "cli/fighter.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "cli/text.h"
#include "data/records.h"

namespace skarn::cli {

namespace {

constexpr const char* kCharacterFieldNames[] = {
    "", "strength", "dexterity", "weaponSkill", "weaponType", "armorRating", "tactics", "parry"};
constexpr const char* kWeaponFieldNames[] = {
    "", "speed", "diceCount", "diceSides", "damageBonus", "hands"};

std::string inSection(std::string_view section, const std::string& path) {
    return "in [" + std::string(section) + "] of " + path;
}

bool contains(const std::vector<std::string>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Checks that `path` is a readable data file; sets `error` otherwise.
bool checkFile(const std::filesystem::path& path, const std::string& shown, std::string& error) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status)) {
        error = "cannot read " + shown + ": no such file";
        return false;
    }
    if (std::filesystem::is_directory(status)) {
        error = "cannot read " + shown + ": it is a folder";
        return false;
    }
    return true;
}

}  // namespace

DataFiles::DataFiles(const std::string& charPath, const std::string& equiPath)
    : charPath(charPath),
      equiPath(equiPath),
      characters(charPath, SectionFile::Mode::ReadOnly),
      equipment(equiPath, SectionFile::Mode::ReadOnly) {}

std::unique_ptr<DataFiles> DataFiles::open(const std::optional<std::string>& dir,
                                           std::string& error) {
    std::filesystem::path folder;
    if (dir) {
        folder = *dir;
        std::error_code ec;
        const auto status = std::filesystem::status(folder, ec);
        if (!std::filesystem::exists(status)) {
            error = "data folder " + quoteName(*dir) + " does not exist";
            return nullptr;
        }
        if (!std::filesystem::is_directory(status)) {
            error = "data folder " + quoteName(*dir) + " is not a folder";
            return nullptr;
        }
    }
    const std::filesystem::path charPath = folder / "charfile.cfg";
    const std::filesystem::path equiPath = folder / "equifile.cfg";
    if (!checkFile(charPath, charPath.string(), error) ||
        !checkFile(equiPath, equiPath.string(), error))
        return nullptr;

    auto files = std::make_unique<DataFiles>(charPath.string(), equiPath.string());
    for (const SectionFile* file : {&files->characters, &files->equipment}) {
        if (!file->isOpen()) {
            error = "cannot read " + file->fileName() + ": permission denied or not readable";
            return nullptr;
        }
    }
    return files;
}

std::optional<std::vector<std::string>> listSection(SectionFile& file, std::string_view section,
                                                    bool skipEmpty) {
    if (!file.openSection(section)) return std::nullopt;
    std::vector<std::string> names;
    std::string name;
    while (file.nextEntry(name)) {
        if (!skipEmpty || !name.empty()) names.push_back(name);
        file.skipLine();
    }
    return names;
}

bool loadCharacter(DataFiles& files, std::string_view section, const std::string& name,
                   StoredCharacter& character, std::string& error) {
    const auto names = listSection(files.characters, section, false);
    if (!names) {
        error = files.charPath + " has no section [" + std::string(section) + "]";
        return false;
    }
    if (!contains(*names, name)) {
        error = "no character " + quoteName(name) + " " + inSection(section, files.charPath);
        return false;
    }

    character = StoredCharacter{};
    character.name = name;
    character.section = section;
    SectionFile& file = files.characters;

    // Fields 1 to 7 in file order; the first that cannot be read ends the
    // loading, and the ones after it keep their cleared values.
    std::int32_t* const targets[] = {nullptr,
                                     &character.strength,
                                     &character.dexterity,
                                     &character.weaponSkill,
                                     &character.weaponType,
                                     &character.armorRating,
                                     &character.tactics,
                                     &character.parry};
    for (int field = 1; field <= 7; ++field) {
        std::int32_t value = *targets[field];
        if (!file.lookupInt(section, name, field, value)) {
            // A field that is there but not a number reads as 0.
            *targets[field] = value;
            character.unreadField = field;
            break;
        }
        *targets[field] = value;
    }
    // The stored shield counts only when all seven numbers were read.
    std::string text;
    if (character.unreadField == 0 &&
        file.lookupText(section, name, CharacterRecord::shieldName, text))
        character.shieldName = text;
    text.clear();
    if (file.lookupText(section, name, CharacterRecord::weaponName, text)) {
        character.weaponName = text;
        character.weaponNameRead = true;
    }
    std::int32_t hitPoints = 0;
    character.hitPointsStored =
        file.lookupInt(section, name, CharacterRecord::hitPoints, hitPoints);
    character.hitPoints = character.hitPointsStored ? hitPoints : character.strength;
    return true;
}

bool meansNoShield(std::string_view name) { return name == "none" || name == NoneEntry; }

bool equipFighter(DataFiles& files, const StoredCharacter& character,
                  const std::optional<std::string>& weapon,
                  const std::optional<std::string>& shield, Fighter& fighter, std::string& error,
                  std::vector<std::string>& warnings) {
    const std::string who = quoteName(character.name);
    const std::string entry = "its entry " + inSection(character.section, files.charPath);

    if (character.unreadField != 0 && character.unreadField <= CharacterRecord::weaponType) {
        error = who + " has no weapon type: field " + std::to_string(character.unreadField) +
                " (" + kCharacterFieldNames[character.unreadField] + ") of " + entry +
                " cannot be read";
        return false;
    }
    const std::string_view section = weaponSection(character.weaponType);
    if (section.empty()) {
        error = who + " has no weapon type: field 4 (weaponType) of " + entry + " is " +
                std::to_string(character.weaponType) + ", not 0 to 3";
        return false;
    }
    if (character.unreadField != 0) {
        warnings.push_back("field " + std::to_string(character.unreadField) + " (" +
                           kCharacterFieldNames[character.unreadField] + ") of " + who + " " +
                           inSection(character.section, files.charPath) +
                           " cannot be read: it and the fields after it count as 0, "
                           "and the stored shield is not used");
    }

    const std::string weaponName = weapon ? *weapon : character.weaponName;
    if (!weapon && weaponName.empty()) {
        error = who + " has no weapon: field 10 (weaponName) of " + entry +
                (character.weaponNameRead ? " is empty" : " cannot be read");
        return false;
    }
    // Only names the weapon list offers can be picked.
    const auto weapons = listSection(files.equipment, section, true);
    if (!weapons || !contains(*weapons, weaponName)) {
        error = "no weapon " + quoteName(weaponName) + " " + inSection(section, files.equiPath);
        if (!weapons) error += " (no such section)";
        return false;
    }

    fighter = Fighter{};
    fighter.name = character.name;
    fighter.weaponType = character.weaponType;
    fighter.hitPoints = character.hitPoints;
    fighter.hitPointsStored = character.hitPointsStored;
    fighter.weaponName = weaponName;
    Combatant& c = fighter.combatant;
    c.strength = character.strength;
    c.dexterity = character.dexterity;
    c.armorRating = character.armorRating;
    c.tactics = character.tactics;
    c.weaponSkill = character.weaponSkill;
    c.parry = character.parry;

    // Statistics 1 to 5 in order; a weapon with any of them unreadable has no
    // defined statistics and cannot fight.
    std::int32_t* const stats[] = {nullptr,        &c.weaponSpeed, &c.diceCount,
                                   &c.diceSides,   &c.damageBonus, &fighter.hands};
    for (int field = 1; field <= 5; ++field) {
        if (!files.equipment.lookupInt(section, weaponName, field, *stats[field])) {
            error = "cannot read field " + std::to_string(field) + " (" +
                    kWeaponFieldNames[field] + ") of weapon " + quoteName(weaponName) + " " +
                    inSection(section, files.equiPath);
            return false;
        }
    }

    const bool shieldGiven = shield && !meansNoShield(*shield);
    std::string shieldName = shield ? (shieldGiven ? *shield : std::string(NoneEntry))
                                    : character.shieldName;
    const auto shields = listSection(files.equipment, kShields, false);
    const bool listed = shields && !shieldName.empty() && contains(*shields, shieldName);
    if (shieldGiven && !listed) {
        error = "no shield " + quoteName(shieldName) + " " + inSection(kShields, files.equiPath);
        if (!shields) error += " (no such section)";
        return false;
    }

    c.shieldIndex = -1;
    c.shieldAbsorb = 0;
    if (fighter.hands > 1) {
        if (listed) {
            fighter.shieldDroppedForHands = true;
            if (shieldGiven) {
                warnings.push_back(quoteName(weaponName) + " needs " +
                                   std::to_string(fighter.hands) + " hands: " + who +
                                   " fights without the shield " + quoteName(shieldName));
            }
        }
        shieldName = NoneEntry;
    } else if (listed) {
        std::int32_t absorb = 0;
        if (files.equipment.lookupInt(kShields, shieldName, ShieldRecord::absorb, absorb)) {
            c.shieldIndex = 0;
            c.shieldAbsorb = absorb;
        } else if (shieldGiven) {
            error = "cannot read field 1 (absorb) of shield " + quoteName(shieldName) + " " +
                    inSection(kShields, files.equiPath);
            return false;
        } else {
            warnings.push_back("cannot read field 1 (absorb) of shield " + quoteName(shieldName) +
                               " " + inSection(kShields, files.equiPath) + ": " + who +
                               " fights without a shield");
        }
    } else if (!shieldName.empty() && shieldName != NoneEntry) {
        warnings.push_back("the stored shield " + quoteName(shieldName) + " of " + who +
                           " is not " + inSection(kShields, files.equiPath) +
                           ": it fights without a shield");
    }
    fighter.shieldName = c.shieldIndex >= 0 ? shieldName : std::string(NoneEntry);
    return true;
}

}  // namespace skarn::cli
