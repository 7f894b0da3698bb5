#pragma once

#include "combat/combatant.h"

namespace skarn::testing {

// A fighter's values, typical unless a test says otherwise: a 187-tick swing
// of 2d6 + 2, no shield.
struct FighterValues {
    int strength = 100, dexterity = 100, armorRating = 20, tactics = 100, weaponSkill = 100,
        parry = 100, weaponSpeed = 40, diceCount = 2, diceSides = 6, damageBonus = 2,
        shieldAbsorb = 3, shieldIndex = -1;

    Combatant make() const {
        Combatant c;
        c.strength = strength;
        c.dexterity = dexterity;
        c.armorRating = armorRating;
        c.tactics = tactics;
        c.weaponSkill = weaponSkill;
        c.parry = parry;
        c.weaponSpeed = weaponSpeed;
        c.diceCount = diceCount;
        c.diceSides = diceSides;
        c.damageBonus = damageBonus;
        c.shieldAbsorb = shieldAbsorb;
        c.shieldIndex = shieldIndex;
        return c;
    }
};

}  // namespace skarn::testing
