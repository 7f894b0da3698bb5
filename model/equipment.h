#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/section_file.h"

// The statistics of the weapons and shields of "equifile.cfg", and the one
// rule that ties them: a weapon needing more than one hand leaves no hand for
// a shield. The lookups read a SectionFile and use its shared read position:
// call them from the thread that owns the file.
namespace skarn::model {

// The statistics of a weapon entry: WeaponRecord fields 1 to 5.
struct WeaponStats {
    std::int32_t speed = 0;
    std::int32_t diceCount = 0;
    std::int32_t diceSides = 0;
    std::int32_t damageBonus = 0;
    std::int32_t hands = 0;
    bool operator==(const WeaponStats&) const = default;
};

struct WeaponLookup {
    // Fields 1 to 5, read in order up to the first that cannot be read. That
    // one holds what the lookup left in it (0 when it is missing or not a
    // number, the nearest 32-bit value for a number beyond 32 bits); the
    // fields after it are 0.
    WeaponStats stats;
    int unreadField = 0;  // the first field that could not be read; 0 when all five were
    // Why that field could not be read, naming the file, the section, the
    // weapon and the field (see fieldProblem); "" when all five were read.
    std::string problem;

    // Speed, dice and bonus were read: enough to fight. A hands count that
    // cannot be read counts as one hand.
    bool hasStatistics() const { return unreadField == 0 || unreadField > 4; }
};

// Looks up the statistics of weapon `weapon` of `section` (a weapon type's
// section of the equipment file). A missing section or weapon leaves field 1
// unread.
WeaponLookup lookupWeapon(SectionFile& equipment, std::string_view section,
                          std::string_view weapon);

// Field 5 of weapon `weapon` of `section` alone: its hands count.
struct HandsLookup {
    std::int32_t hands = 0;  // as the lookup left it, from 0
    bool read = false;
};
HandsLookup lookupHands(SectionFile& equipment, std::string_view section, std::string_view weapon);

// The two-handed rule: a weapon needing more than one hand rules out a shield.
constexpr bool rulesOutShield(std::int32_t hands) { return hands > 1; }

// The absorb of shield `shield` of "Shields" (ShieldRecord field 1).
struct ShieldLookup {
    std::int32_t absorb = 0;  // when read
    bool read = false;
    // Why it could not be read, naming the file, the section, the shield and
    // the field (see fieldProblem); "" when it was read.
    std::string problem;
};
// Fails for "- none -", which is never a shield, as for any name not in
// "Shields".
ShieldLookup lookupShield(SectionFile& equipment, std::string_view shield);

}  // namespace skarn::model
