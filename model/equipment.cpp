#include "model/equipment.h"

#include "data/records.h"
#include "model/lookup.h"

namespace skarn::model {

namespace {

constexpr const char* kWeaponFieldNames[] = {"", "speed", "diceCount", "diceSides", "damageBonus",
                                             "hands"};

}  // namespace

WeaponLookup lookupWeapon(SectionFile& equipment, std::string_view section,
                          std::string_view weapon) {
    WeaponLookup lookup;
    WeaponStats& s = lookup.stats;
    std::int32_t* const fields[] = {nullptr, &s.speed, &s.diceCount, &s.diceSides, &s.damageBonus,
                                    &s.hands};
    for (int field = WeaponRecord::speed; field <= WeaponRecord::hands; ++field) {
        if (!equipment.lookupInt(section, weapon, field, *fields[field])) {
            lookup.unreadField = field;
            lookup.problem = fieldProblem(equipment, "weapon", section, weapon, field,
                                          kWeaponFieldNames[field], *fields[field]);
            break;
        }
    }
    return lookup;
}

HandsLookup lookupHands(SectionFile& equipment, std::string_view section, std::string_view weapon) {
    HandsLookup lookup;
    lookup.read = equipment.lookupInt(section, weapon, WeaponRecord::hands, lookup.hands);
    return lookup;
}

ShieldLookup lookupShield(SectionFile& equipment, std::string_view shield) {
    ShieldLookup lookup;
    std::int32_t absorb = 0;
    lookup.read = equipment.lookupInt(kShields, shield, ShieldRecord::absorb, absorb);
    if (lookup.read)
        lookup.absorb = absorb;
    else
        lookup.problem =
            fieldProblem(equipment, "shield", kShields, shield, ShieldRecord::absorb, "absorb", absorb);
    return lookup;
}

}  // namespace skarn::model
