#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "combat/combatant.h"
#include "data/section_file.h"

namespace skarn::cli {

// "charfile.cfg" and "equifile.cfg", opened read-only, with the paths that
// messages name.
class DataFiles {
public:
    // Opens both files in `dir` (the working directory when absent). Returns
    // nothing, with `error` set, when the folder or a file is missing or
    // cannot be read. Never creates, changes or removes a file.
    static std::unique_ptr<DataFiles> open(const std::optional<std::string>& dir,
                                           std::string& error);

    DataFiles(const std::string& charPath, const std::string& equiPath);

    std::string charPath, equiPath;
    SectionFile characters, equipment;
};

// The names a listing of `section` delivers, in file order, stopping where
// the window's lists stop; empty names are dropped when `skipEmpty`.
// Nothing when the section does not exist.
std::optional<std::vector<std::string>> listSection(SectionFile& file, std::string_view section,
                                                    bool skipEmpty);

// A character as the window loads it when it is picked from its list.
struct StoredCharacter {
    std::string name;
    std::string_view section;  // "YourChars" or "OppChars"
    std::int32_t strength = 0;
    std::int32_t dexterity = 0;
    std::int32_t weaponSkill = 0;
    std::int32_t weaponType = -1;
    std::int32_t armorRating = 0;
    std::int32_t tactics = 0;
    std::int32_t parry = 0;
    int unreadField = 0;      // the first of fields 1..7 that failed, 0 when all were read
    std::string shieldName;   // field 9, read only when fields 1..7 all were
    std::string weaponName;   // field 10
    bool weaponNameRead = false;
    std::int32_t hitPoints = 0;  // field 8, else Str.
    bool hitPointsStored = false;
};

// Loads character `name` of `section`. The name must be one the section's
// listing delivers (the names the window can pick); otherwise false with
// `error` naming the file, the section and the name.
bool loadCharacter(DataFiles& files, std::string_view section, const std::string& name,
                   StoredCharacter& character, std::string& error);

// A fighter ready for runFights.
struct Fighter {
    std::string name;
    std::int32_t weaponType = -1;
    std::int32_t hitPoints = 0;
    bool hitPointsStored = false;
    std::string weaponName;
    std::string shieldName;  // a shield entry's name, or "- none -"
    std::int32_t hands = 0;
    bool shieldDroppedForHands = false;  // a shield was wanted but the weapon needs both hands
    Combatant combatant;  // statistics and shieldIndex set; nothing computed yet
};

// Arms a loaded character: the weapon (stored, or `weapon` when given) from
// the section of its weapon type, then the shield (stored, or `shield` when
// given; "none" or "- none -" for none) unless the weapon needs more than one
// hand. A weapon that cannot be resolved (no weapon type, no such entry, a
// statistic unreadable) and a given shield that is not in "Shields" are
// errors; a stored shield that cannot be found means no shield, as in the
// window. Notes for the user go to `warnings`.
bool equipFighter(DataFiles& files, const StoredCharacter& character,
                  const std::optional<std::string>& weapon,
                  const std::optional<std::string>& shield, Fighter& fighter, std::string& error,
                  std::vector<std::string>& warnings);

// True when `name` asks for no shield.
bool meansNoShield(std::string_view name);

}  // namespace skarn::cli
