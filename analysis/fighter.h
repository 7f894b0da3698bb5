#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "combat/combatant.h"
#include "combat/fight.h"
#include "data/section_file.h"
#include "model/fighter.h"
#include "model/run_check.h"

// The functions that read a SectionFile use its shared read position: call
// them from the thread that owns the file. The others are pure.
namespace skarn::analysis {

// A stored character as loaded from its entry in charfile.cfg.
struct StoredCharacter {
    std::string name;
    std::string_view section;  // "YourChars" or "OppChars"
    std::string fileName;      // of charfile.cfg, for messages
    std::int32_t strength = 0;
    std::int32_t dexterity = 0;
    std::int32_t weaponSkill = 0;
    std::int32_t weaponType = -1;
    std::int32_t armorRating = 0;
    std::int32_t tactics = 0;
    std::int32_t parry = 0;
    int unreadField = 0;         // the first of fields 1..7 that failed, 0 when all were read
    std::string outOfRangeText;  // that field's text when it is a number beyond 32 bits
    std::string shieldName;      // field 9, read only when fields 1..7 all were
    std::string weaponName;      // field 10
    bool weaponNameRead = false;
    std::int32_t hitPoints = 0;  // field 8, else Str.
    bool hitPointsStored = false;
    std::string hitPointsOutOfRange;  // field 8's text when it is a number beyond 32 bits
};

// Loads character `name` of `section` of charfile.cfg. The name must be one
// the section's listing delivers (listSection); otherwise
// false with `error` naming the file, the section and the name.
bool loadCharacter(SectionFile& characters, std::string_view section, const std::string& name,
                   StoredCharacter& character, std::string& error);

using model::HitPoints;

// A fighter ready to run: the statistics and the shield flag in
// `combatant`, the hit points, and what it was made from.
struct Fighter {
    std::string name;
    Combatant combatant;  // statistics and shieldIndex; nothing computed yet
    std::int32_t hitPoints = 0;
    bool hitPointsStored = false;  // false: they are Str., and follow it when Str. changes
    std::int32_t weaponType = -1;
    std::string weaponName;
    std::int32_t hands = 0;
    std::string shieldName = "- none -";  // carried: a "Shields" entry, or "- none -"
    // The shield asked for: stored with the character or given by the
    // caller. A two-handed weapon drops it, but a
    // one-handed one tried instead (in a ranking) takes it up again.
    std::string wantedShield = "- none -";
    bool shieldGiven = false;  // asked for by the user: a name not found is an error
    bool shieldDroppedForHands = false;  // a shield was wanted but the weapon needs both hands
};

// A fighter as typed: its values and the statistics of the weapon and
// shield looked up for it.
struct FighterValues {
    std::string name;
    std::int32_t strength = 0;
    std::int32_t dexterity = 0;
    std::int32_t armorRating = 0;
    std::int32_t weaponSkill = 0;
    std::int32_t tactics = 0;
    std::int32_t parry = 0;
    std::int32_t weaponType = -1;
    std::string weaponName;
    std::int32_t weaponSpeed = 0;
    std::int32_t diceCount = 0;
    std::int32_t diceSides = 0;
    std::int32_t damageBonus = 0;
    std::int32_t hands = 1;  // field 5 of the weapon's entry
    bool hasShield = false;  // the side's combatant has shieldIndex >= 0
    std::string shieldName = "- none -";
    std::int32_t shieldAbsorb = 0;
    HitPoints hitPoints;  // hitPointsOf the side's character
};

// Copies the six statistics a character carries (Str., Dex., A.R.,
// Tactics, W. Skill, Parry) between any two of the types that name them as
// Combatant does: a stored character, typed values, a Combatant.
template <class From, class To>
void copyStats(const From& from, To& to) {
    to.strength = from.strength;
    to.dexterity = from.dexterity;
    to.armorRating = from.armorRating;
    to.tactics = from.tactics;
    to.weaponSkill = from.weaponSkill;
    to.parry = from.parry;
}

// The fighter of typed values.
Fighter makeFighter(const FighterValues& values);

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

// The reason the two fighters cannot be run `fights` times in `mode`, as
// findRunFault gives it ("Opponent: weapon speed 0 is out of range (1 to
// 10000)."), or nothing.
std::optional<model::RunFault> runFault(const Fighter& you, const Fighter& opp, FightMode mode,
                                 std::int64_t fights);

}  // namespace skarn::analysis
