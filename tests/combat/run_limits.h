#pragma once

#include <cstdint>

#include "combat/combatant.h"
#include "combat/fight.h"

namespace skarn::testing {

// Whether a test's fighters lie within the run limits of combat/fight.h,
// which runFights, PreparedFights, the estimates and the exact odds are made
// for.
inline bool withinRunLimits(const Combatant& you, const Combatant& opponent,
                            std::int32_t yourHitPoints, std::int32_t oppHitPoints, FightMode mode) {
    const auto in = [](std::int64_t value, std::int64_t low, std::int64_t high) {
        return value >= low && value <= high;
    };
    const auto fighter = [&](const Combatant& c) {
        return in(c.strength, 0, 400) && in(c.dexterity, 0, 400) && in(c.armorRating, 0, 100) &&
               in(c.weaponSkill, 0, 300) && in(c.tactics, 0, 300) && in(c.parry, 0, 300) &&
               in(c.weaponSpeed, 1, 10000) && in(c.diceCount, 0, 1000) &&
               (c.diceCount == 0 || in(c.diceSides, 1, 1000)) &&
               in(c.damageBonus, -100000, 100000) &&
               (c.shieldIndex < 0 || in(c.shieldAbsorb, -100000, 100000));
    };
    return in(mode, DamagePer60Seconds, ToTheDeath) && fighter(you) && fighter(opponent) &&
           (mode != ToTheDeath || in(yourHitPoints, -1000000, 1000000)) &&
           (mode == DamagePer60Seconds || in(oppHitPoints, -1000000, 1000000));
}

}  // namespace skarn::testing
