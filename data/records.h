#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The layout of the data files' entries. Constants and pure functions: any
// thread may use them.
namespace skarn {

// Section names of the two data files.
inline constexpr std::string_view kYourChars = "YourChars";
inline constexpr std::string_view kOppChars = "OppChars";
inline constexpr std::string_view kShields = "Shields";

// The shield-list entry, and the stored shield name, that mean "no shield".
// It is never an entry of "Shields", so looking it up fails.
inline constexpr std::string_view NoneEntry = "- none -";

// WeaponType: index in a weapon-type list, -1 for none.
// 0 Fencing, 1 Mace, 2 Sword, 3 Wrestling.
inline constexpr int kWeaponTypeCount = 4;
inline constexpr std::string_view kWeaponTypeNames[kWeaponTypeCount] = {
    "Fencing", "Mace", "Sword", "Wrestling"};

// The "equifile.cfg" section of a weapon type; the empty name for any value
// outside 0..3, so that lookups in it find nothing.
std::string_view weaponSection(std::int32_t weaponType);

// Field numbers, counted from 1 after the entry's quoted name.
struct CharacterRecord {
    enum Field : int {
        strength = 1, dexterity = 2, weaponSkill = 3, weaponType = 4,
        armorRating = 5, tactics = 6, parry = 7, hitPoints = 8,
        shieldName = 9, weaponName = 10,
    };
};
struct WeaponRecord {
    enum Field : int { speed = 1, diceCount = 2, diceSides = 3, damageBonus = 4, hands = 5 };
};
struct ShieldRecord {
    enum Field : int { absorb = 1 };
};

// The text of a stored character line, without its line end: the quoted
// name, T1 tabs, Str., Dex., W. Skill, weapon type, A.R., Tactics, Parry and
// Str. again as the hit points, tab-separated, a tab, the quoted shield name,
// T2 tabs, the quoted weapon name. T1 = 4 - floor((name length + 2) / 6) and
// T2 = 3 - floor((shield length + 2) / 6), none where that is below 1,
// lengths counted in bytes; only a name or shield name without a blank that
// the rule leaves with none gets one tab, which it needs to read back.
std::string FormatCharacterLine(std::string_view name, std::int32_t strength,
                                std::int32_t dexterity, std::int32_t weaponSkill,
                                std::int32_t weaponType, std::int32_t armorRating,
                                std::int32_t tactics, std::int32_t parry,
                                std::string_view shieldName, std::string_view weaponName);

}  // namespace skarn
