#pragma once

#include <cstdint>

#include "combat/random.h"

namespace skarn {

// One fighter's combat state and the rules of a melee exchange. Plain data:
// the statistics are copied in, the fight loop drives it.
// Not thread-safe: every roll changes the fighter; use each from one thread.
class Combatant {
public:
    virtual ~Combatant() = default;

    std::int32_t strength = 0;
    std::int32_t dexterity = 0;
    std::int32_t armorRating = 0;
    std::int32_t tactics = 0;
    std::int32_t weaponSkill = 0;
    double damageTaken = 0.0;
    std::int32_t swingDelay = 0;
    std::int32_t hitSkill = 0;
    std::int32_t shieldIndex = -1;  // 0 or more: carries a shield
    std::int32_t shieldAbsorb = 0;
    std::int32_t parry = 0;
    std::int32_t weaponSpeed = 0;
    std::int32_t diceCount = 0;
    std::int32_t diceSides = 0;
    std::int32_t damageBonus = 0;
    std::int32_t swingTimer = 0;
    Combatant* target = nullptr;  // not owned; the last defender rolled against

    // swingDelay = 1500000 / (weaponSpeed * (dexterity + 100)), truncated.
    // REQUIRES: weaponSpeed * (dexterity + 100) is non-zero and fits 32 bits.
    void setSwingDelay();
    void setHitSkill();
    void resetSwingTimer();
    // Counts one tick; true when a swing is due (the timer then restarts).
    bool tick();
    // The hit roll against `defender`, drawn from `rng`: one draw on a miss,
    // two on a hit.
    // REQUIRES: defender.hitSkill + 50 != 0.
    bool rollToHit(Combatant& defender, Random& rng);
    // Damage of one landed blow against `target`, drawn from `rng`; at
    // least 1.
    // REQUIRES: target set; diceSides != 0 when diceCount >= 1.
    std::int32_t rollDamage(Random& rng);
    // target->damageTaken += amount.
    void dealDamage(std::int32_t amount);
};

}  // namespace skarn
