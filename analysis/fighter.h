#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/section_file.h"
#include "model/fighter.h"

// The functions that read a SectionFile use its shared read position: call
// them from the thread that owns the file. The others are pure.
namespace skarn::analysis {

// The analyses run model fighters.
using model::Fighter;
using model::HitPoints;

// A stored character as loaded from its entry in charfile.cfg, with what
// could not be read.
struct StoredCharacter {
    std::string name;
    std::string_view section;  // "YourChars" or "OppChars"
    std::string fileName;      // of charfile.cfg, for messages
    model::Stats stats;        // fields 1, 2, 3, 5, 6 and 7
    std::int32_t weaponType = -1;  // field 4
    int unreadField = 0;         // the first of fields 1..7 that failed, 0 when all were read
    std::string outOfRangeText;  // that field's text when it is a number beyond 32 bits
    std::string shieldName;      // field 9, read only when fields 1..7 all were
    std::string weaponName;      // field 10
    bool weaponNameRead = false;
    HitPoints hitPoints;              // field 8, else Str.
    std::string hitPointsOutOfRange;  // field 8's text when it is a number beyond 32 bits
};

// Loads character `name` of `section` of charfile.cfg. The name must be one
// the section's listing delivers (listSection); otherwise
// false with `error` naming the file, the section and the name.
bool loadCharacter(SectionFile& characters, std::string_view section, const std::string& name,
                   StoredCharacter& character, std::string& error);

// The fighter of a stored character before it is armed: its statistics,
// hit points, weapon type, and its stored shield as the one it wants.
Fighter unarmedFighter(const StoredCharacter& character);

// Checks that a loaded character can carry a weapon: fields 1 to 7 hold
// numbers within 32 bits, fields 1 to 4 could be read and the weapon type is
// 0 to 3. Notes for the user (a field from 5 to 7 that is not a number) go
// to `warnings`.
bool checkWeaponType(const StoredCharacter& character, std::string& error,
                     std::vector<std::string>& warnings);

// Arms `fighter` with weapon `weapon` of the section of `weaponType`: its
// speed, dice count, dice sides, damage bonus and hands. The name must be
// one the weapon list offers. False, with `error` naming the file, the
// section and the weapon or the field, when the weapon or one of its
// statistics cannot be read; `fighter` is then unchanged.
bool armWeapon(SectionFile& equipment, std::int32_t weaponType, const std::string& weapon,
               Fighter& fighter, std::string& error);

// Gives `fighter` its wanted shield (`wantedShield`; "none" or "- none -"
// for none) unless its weapon needs more than one hand. A shield given by
// the user that is not in "Shields", or whose absorb cannot be read, is an
// error; a stored one means no shield, with a note in `warnings`.
bool armShield(SectionFile& equipment, Fighter& fighter, std::string& error,
               std::vector<std::string>& warnings);

// The whole arming of a loaded character: checkWeaponType, then the stored
// weapon (or `weapon` when given) and the stored shield (or `shield` when
// given).
bool equipFighter(SectionFile& equipment, const StoredCharacter& character,
                  const std::optional<std::string>& weapon,
                  const std::optional<std::string>& shield, Fighter& fighter, std::string& error,
                  std::vector<std::string>& warnings);

// True when `name` asks for no shield: "none" or "- none -".
bool meansNoShield(std::string_view name);

}  // namespace skarn::analysis
