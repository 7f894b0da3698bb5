#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "combat/combatant.h"
#include "data/section_file.h"
#include "model/equipment.h"
#include "model/stats.h"

// hitPointsOf reads a SectionFile and uses its shared read position: call it
// from the thread that owns the file. The rest is plain values and pure
// functions, for any thread.
namespace skarn::model {

// The hit points a run uses for a fighter.
struct HitPoints {
    std::int32_t value = 0;
    bool stored = false;  // field 8 of the stored character; false: they are its Str.
    bool operator==(const HitPoints&) const = default;
};

// The hit points of character `name` of `section` of charfile.cfg: field 8
// of its entry, or `strength` when that cannot be read (no such section,
// character or field, or not a number within 32 bits).
HitPoints hitPointsOf(SectionFile& characters, std::string_view section, std::string_view name,
                      std::int32_t strength);

// One fighter as both faces know it: who it is, its six statistics, its hit
// points and its gear. Built once, from a stored character or from values
// typed in, and turned into a Combatant (toCombatant) when a fight runs.
struct Fighter {
    std::string name;
    Stats stats;
    // With `stored` false they are the fighter's Str., and follow it when an
    // analysis changes Str.
    HitPoints hitPoints;

    std::int32_t weaponType = -1;  // WeaponType, -1 for none
    std::string weaponName;
    WeaponStats weapon;  // speed, dice count, dice sides, damage bonus, hands

    bool hasShield = false;  // carries a shield: its Combatant's shieldIndex is 0, else -1
    // The shield carried: a "Shields" entry, or "- none -".
    std::string shieldName = "- none -";
    std::int32_t shieldAbsorb = 0;  // of the shield carried; 0 without one
    // The shield asked for: stored with the character or given by the
    // caller. A two-handed weapon drops it, but a one-handed one tried
    // instead (in a ranking) takes it up again.
    std::string wantedShield = "- none -";
    bool shieldGiven = false;            // asked for by the user: a name not found is an error
    bool shieldDroppedForHands = false;  // a shield was wanted but the weapon needs both hands
};

// The member of Combatant that holds `stat`.
std::int32_t Combatant::*combatantMember(Stat stat);

// Copies what a run takes from the fighter into `combatant`: the six
// statistics, the weapon's speed, dice and bonus, and the shield's absorb.
// Leaves the shield flag (shieldIndex) and the state of a fight alone.
void copyInto(const Fighter& fighter, Combatant& combatant);

// The Combatant of a fighter, ready to be run: copyInto a new one, with
// shieldIndex 0 when the fighter carries a shield and -1 when not.
Combatant toCombatant(const Fighter& fighter);

// `fighter` with `stat` at `value`. When Str. changes by d and
// `hitPointsFollow` is set, the hit points change by d too, as they do in
// the game when Str. rises or falls.
Fighter withStat(Fighter fighter, Stat stat, std::int32_t value, bool hitPointsFollow);

}  // namespace skarn::model
